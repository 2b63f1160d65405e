// Windows that are never shown: for questions to the driver that need a
// window of their own (a window's pixel format can be set only once), and
// for the companion's controls.
#pragma once

#include "platform/windows_headers.h"

// A top-level STATIC window without style bits, so never shown; null when it
// cannot be made.
HWND CreateHiddenWindow(int width, int height);

// A hidden window and its device context, both freed when it goes.
class HiddenWindow {
public:
    HiddenWindow(int width, int height);
    ~HiddenWindow();
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;

    // Null when the window or its device context could not be had.
    HDC DeviceContext() const { return deviceContext_; }

private:
    HWND window_;
    HDC deviceContext_ = nullptr;
};
