#include "platform/hidden_window.h"

HWND CreateHiddenWindow(int width, int height)
{
    return CreateWindowExA(0, "STATIC", "", 0, 0, 0, width, height, nullptr, nullptr, nullptr, nullptr);
}

HiddenWindow::HiddenWindow(int width, int height) : window_(CreateHiddenWindow(width, height))
{
    if (window_ != nullptr)
        deviceContext_ = GetDC(window_);
}

HiddenWindow::~HiddenWindow()
{
    if (deviceContext_ != nullptr)
        ReleaseDC(window_, deviceContext_);
    if (window_ != nullptr)
        DestroyWindow(window_);
}
