// The view control's window procedure: paints the scene and turns it by dragging.
#pragma once

#include "platform/windows_headers.h"
#include "view/drag_math.h"

// The two angles of the cube and the state of a drag.
extern ViewRotation viewRotation;

// The view control's own procedure, saved when it was subclassed; every
// message the view does not handle goes there.
extern WNDPROC previousViewWindowProc;

LRESULT CALLBACK ViewWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
