// The main dialog: its controls, its initialisation and its window procedure.
#pragma once

#include "platform/windows_headers.h"

struct DialogControls {
    HWND dialog;
    HWND view;
    HWND infoText;
    HWND glExtensionList;
    HWND wglExtensionList;
    HWND driverList;

    // Finds the five controls of dialog and puts the view window procedure on the view.
    void LookUpControls();
};

extern DialogControls dialogControls;
extern HINSTANCE appInstance;
// The four-way arrow shown over the view.
extern HCURSOR dragCursor;

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
