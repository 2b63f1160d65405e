// The least Win32 and WGL work that glinspect's start-up and drag steps
// cannot avoid, for the benchmark to measure the program against:
// a hidden probe window with a temporary context and one
// wglChoosePixelFormatARB call, then a window with a child view, its
// format and context, the four strings and the WGL extension string, and the
// view's first paint. The frame is the program's own DrawScene with the state
// its view sets up.
//
// The view handles a drag as glinspect's view must, so that the benchmark can
// drive both the same way from another process: the press captures the mouse,
// each move turns the cube by view/drag_math.h's half-degree steps and
// invalidates and updates the view at once, and the frame is drawn in
// WM_PAINT.
//
//   glinspect_bench_floor.exe WIDTH HEIGHT RESULTS
//
// WIDTH x HEIGHT is the view's client size (the program's view); the view is
// the control kViewId of the window captioned "floor", which shows once the
// view's context is current. A posted WM_APP with wparam N draws N frames
// straight from this process, each timed, writes the frequency and the N tick
// counts of QueryPerformanceCounter to RESULTS, one a line, and sets the
// caption "floor done": the frame alone, for reference. WM_CLOSE ends it.
#include "platform/windows_headers.h"
#include "view/drag_math.h"
#include "view/scene.h"

namespace {

const char kClassName[] = "glinspect_bench_floor";
const char kViewClassName[] = "glinspect_bench_floor_view";
// The same control id as glinspect's view.
const int kViewId = 1001;

struct Floor {
    HWND window;
    HWND child;
    HDC childDc;
    HGLRC context;
    const char* resultsPath;
    ViewRotation rotation;
    // Keeps the strings' reads from being optimised away.
    unsigned checksum;
};

Floor floorState;

int ParseInt(const char* text)
{
    int value = 0;
    while (*text >= '0' && *text <= '9')
        value = value * 10 + (*text++ - '0');
    return value;
}

PIXELFORMATDESCRIPTOR PlainRequest()
{
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    request.cDepthBits = 32;
    request.cStencilBits = 8;
    return request;
}

// The hidden window, its temporary context and one wglChoosePixelFormatARB
// call with the view's attributes. Returns the multisampled format, or 0.
int ProbeFormat()
{
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                  nullptr);
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR request = PlainRequest();
    SetPixelFormat(dc, ChoosePixelFormat(dc, &request), &request);
    HGLRC temporary = wglCreateContext(dc);
    wglMakeCurrent(dc, temporary);
    auto choose = reinterpret_cast<PFNWGLCHOOSEPIXELFORMATARBPROC>(
        reinterpret_cast<void (*)()>(wglGetProcAddress("wglChoosePixelFormatARB")));
    const int attributes[] = {
        WGL_DRAW_TO_WINDOW_ARB, 1,
        WGL_SUPPORT_OPENGL_ARB, 1,
        WGL_ACCELERATION_ARB, WGL_FULL_ACCELERATION_ARB,
        WGL_COLOR_BITS_ARB, 24,
        WGL_ALPHA_BITS_ARB, 8,
        WGL_DEPTH_BITS_ARB, 16,
        WGL_STENCIL_BITS_ARB, 0,
        WGL_DOUBLE_BUFFER_ARB, 1,
        WGL_SAMPLE_BUFFERS_ARB, 1,
        WGL_SAMPLES_ARB, 4,
        0, 0,
    };
    const FLOAT noFloats[2] = {0.0f, 0.0f};
    int format = 0;
    UINT count = 0;
    if (choose == nullptr || !choose(dc, attributes, noFloats, 1, &format, &count) || count < 1)
        format = 0;
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(temporary);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    return format;
}

unsigned Sum(const char* text)
{
    unsigned sum = 0;
    if (text != nullptr)
        while (*text)
            sum += static_cast<unsigned char>(*text++);
    return sum;
}

// The view's state: viewport, projection, lighting, depth test, multisampling.
void SetUpState(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / (height > 0 ? height : 1), 1.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_MULTISAMPLE_ARB);
    glClearColor(0.75f, 0.75f, 0.75f, 1.0f);
}

void Frame(double angle)
{
    DrawScene(angle, angle * 0.5);
    SwapBuffers(floorState.childDc);
}

void TimedFrames(int count)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    HANDLE file = CreateFileA(floorState.resultsPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    char line[32];
    DWORD written = 0;
    int length = wsprintfA(line, "%lu\n", static_cast<unsigned long>(frequency.LowPart));
    WriteFile(file, line, length, &written, nullptr);
    for (int i = 0; i < count; ++i) {
        LARGE_INTEGER before, after;
        QueryPerformanceCounter(&before);
        Frame(i * 3.0);
        QueryPerformanceCounter(&after);
        length = wsprintfA(line, "%lu\n",
                           static_cast<unsigned long>(after.QuadPart - before.QuadPart));
        WriteFile(file, line, length, &written, nullptr);
    }
    CloseHandle(file);
    SetWindowTextA(floorState.window, "floor done");
}

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_APP:
        TimedFrames(static_cast<int>(wparam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

LRESULT CALLBACK ViewWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    ViewRotation& rotation = floorState.rotation;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        DrawScene(rotation.angleX, rotation.angleY);
        SwapBuffers(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        SetCapture(window);
        rotation.dragging = 1;
        rotation.lastX = PackedX(lparam);
        rotation.lastY = PackedY(lparam);
        return 0;
    case WM_MOUSEMOVE:
        if (rotation.dragging != 1)
            return 0;
        ApplyDragStep(rotation, PackedX(lparam), PackedY(lparam));
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        rotation.dragging = 0;
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // WIDTH HEIGHT RESULTS
    const char* cursor = commandLine;
    const int width = ParseInt(cursor);
    while (*cursor && *cursor != ' ')
        ++cursor;
    while (*cursor == ' ')
        ++cursor;
    const int height = ParseInt(cursor);
    while (*cursor && *cursor != ' ')
        ++cursor;
    while (*cursor == ' ')
        ++cursor;
    floorState.resultsPath = cursor;

    const int multisampled = ProbeFormat();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FloorWindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    WNDCLASSA viewClass = {};
    viewClass.lpfnWndProc = ViewWindowProc;
    viewClass.hInstance = instance;
    viewClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    viewClass.lpszClassName = kViewClassName;
    RegisterClassA(&viewClass);

    RECT frame = {0, 0, width + 40, height + 40};
    AdjustWindowRect(&frame, WS_CAPTION | WS_SYSMENU, FALSE);
    floorState.window = CreateWindowExA(0, kClassName, "floor", WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                        30, 30, frame.right - frame.left, frame.bottom - frame.top,
                                        nullptr, nullptr, instance, nullptr);
    floorState.child = CreateWindowExA(0, kViewClassName, "", WS_CHILD | WS_VISIBLE, 20, 20, width,
                                       height, floorState.window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kViewId)),
                                       instance, nullptr);
    floorState.childDc = GetDC(floorState.child);
    PIXELFORMATDESCRIPTOR request = PlainRequest();
    const int format = multisampled != 0 ? multisampled : ChoosePixelFormat(floorState.childDc, &request);
    SetPixelFormat(floorState.childDc, format, &request);
    floorState.context = wglCreateContext(floorState.childDc);
    wglMakeCurrent(floorState.childDc, floorState.context);

    floorState.checksum = Sum(reinterpret_cast<const char*>(glGetString(GL_VENDOR))) +
                          Sum(reinterpret_cast<const char*>(glGetString(GL_RENDERER))) +
                          Sum(reinterpret_cast<const char*>(glGetString(GL_VERSION))) +
                          Sum(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
    auto getExtensions = reinterpret_cast<PFNWGLGETEXTENSIONSSTRINGARBPROC>(
        reinterpret_cast<void (*)()>(wglGetProcAddress("wglGetExtensionsStringARB")));
    if (getExtensions != nullptr)
        floorState.checksum += Sum(getExtensions(floorState.childDc));

    SetUpState(width, height);
    // The first frame is the view's first paint, as in the program.
    ShowWindow(floorState.window, SW_SHOW);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(floorState.context);
    ReleaseDC(floorState.child, floorState.childDc);
    return static_cast<int>(floorState.checksum & 0);
}
