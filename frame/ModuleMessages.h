#pragma once
// The window messages the module sends and receives, with their Windows numbers.
#include "platform/WindowMessage.h"

// to a dialog's parent: the user program list changed (wParam 1)
constexpr unsigned WM_PRGLISTCHANGED = platform::WM_USER + 1080;  // 2104
// from the progress dialog to the library dialog: it closed
constexpr unsigned WM_CLDOWNLOADCLOSE = platform::WM_USER + 1012;  // 2036
// to the main window: the chosen program's scene file is missing (wParam, lParam: kind and short kind texts)
constexpr unsigned WM_PRGZSFNOTFOUND = 2045;
// to the main window: the program dialog was cancelled
constexpr unsigned WM_PRGCANCELLED = 2034;
// WM_COMMAND with this id opens the help
constexpr int ID_HELP = 57670;
