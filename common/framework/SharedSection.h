#pragma once
// Data shared by every running instance of one program: a variable marked ZORVANE_SHARED lives in the
// program's ".shared" section, which the loader maps once for all its processes. It must be initialised.
//
//   ZORVANE_SHARED HWND g_hSharedMainWnd = nullptr;
//
// Only plain values belong there (a window handle is valid in every process); each process sees the other's
// writes at once, so a value written by one instance is read by the next one as it starts.
#define ZORVANE_SHARED __attribute__((section(".shared"), shared))
