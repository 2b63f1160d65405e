// Resource and control numbers, shared by the resource script and the code.
#pragma once

#define IDD_MAIN_DIALOG 103
#define IDI_GLINSPECT 130

#define IDC_VIEW 1001
#define IDC_GL_EXTENSIONS 1003
#define IDC_INFO_TEXT 1004
#define IDC_DRIVER_LIST 1005
#define IDC_WGL_EXTENSIONS 1006
