// The start of both programs, in place of the C run-time's own start-up code,
// which brings thread-local storage, pseudo-relocation and exception-filter
// machinery (about 8 KB and a dozen imports) that neither program uses.
#pragma once

// Runs the static objects' constructors; their destructors, registered with
// atexit, run when the process ends through exit().
void RunStaticConstructors();

// What MSVCRT is told the program is; it decides where MSVCRT's own run-time
// errors go: standard error for a console program, a message box otherwise.
constexpr int kConsoleApp = 1;  // _CONSOLE_APP
constexpr int kGuiApp = 2;      // _GUI_APP
extern "C" void __set_app_type(int type);
