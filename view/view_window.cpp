#include "view/view_window.h"

#include "platform/wgl_binding.h"
#include "view/gl_view.h"
#include "view/scene.h"

ViewRotation viewRotation;
WNDPROC previousViewWindowProc = nullptr;

static void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC deviceContext = BeginPaint(window, &paint);
    DrawScene(viewRotation.angleX, viewRotation.angleY);
    wgl.swapBuffers(deviceContext);
    EndPaint(window, &paint);
}

static void OnSize(HWND window, WPARAM sizeType, LPARAM size)
{
    if (sizeType != SIZE_RESTORED && sizeType != SIZE_MAXIMIZED)
        return;
    glView.SetupView(PackedWidth(size), PackedHeight(size), -1.0);
    InvalidateRect(window, nullptr, FALSE);
}

static void OnLButtonDown(HWND window, LPARAM position)
{
    SetCapture(window);
    viewRotation.dragging = 1;
    viewRotation.lastX = PackedX(position);
    viewRotation.lastY = PackedY(position);
}

static void OnMouseMove(HWND window, LPARAM position)
{
    if (viewRotation.dragging != 1)
        return;
    ApplyDragStep(viewRotation, PackedX(position), PackedY(position));
    // Repaint before returning, so the cube follows the pointer step by step.
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

static void OnLButtonUp()
{
    ReleaseCapture();
    viewRotation.dragging = 0;
}

LRESULT CALLBACK ViewWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_ERASEBKGND:
        // The scene covers the whole control.
        return 1;
    case WM_SIZE:
        OnSize(window, wparam, lparam);
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(window, lparam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(window, lparam);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp();
        return 0;
    default:
        return CallWindowProcA(previousViewWindowProc, window, message, wparam, lparam);
    }
}
