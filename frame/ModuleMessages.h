#pragma once
/// \file
/// The window messages the module sends and receives, with their Windows numbers.
/// Each goes as a platform::WindowMessageEvent (platform::SendMessage), delivered at once.
#include "platform/WindowMessage.h"

/// To a dialog's parent: the user program list changed (wParam 1, lParam 0).
/// The program dialog sends it after a delete, the content library after it
/// installed a program, so that a host that shows the lists reads them again.
constexpr unsigned WM_PRGLISTCHANGED = platform::WM_USER + 1080;  // 2104
/// From the progress dialog to the library dialog: it closed (wParam 0, lParam 0),
/// by its button (Cancel while the download runs, close after it) or after a
/// failed download. The library dialog takes input again; a download still
/// running stops.
constexpr unsigned WM_CLDOWNLOADCLOSE = platform::WM_USER + 1012;  // 2036
/// To the main window: the chosen program's scene file is missing (wParam, lParam: kind and short kind texts).
/// Both are pointers to a `const QString` that lives as long as the call
/// ("プラネタリウム番組" and "プラネタリウム", or "88星座ガイド" and "星座ガイド");
/// the host tells the user, and the program dialog stays open.
constexpr unsigned WM_PRGZSFNOTFOUND = 2045;
/// To the main window: the program dialog was cancelled (wParam 0, lParam 0),
/// by its close button, Esc or the window's close box, just before it ends with 2.
constexpr unsigned WM_PRGCANCELLED = 2034;
/// WM_COMMAND with this id opens the help. A dialog's help button sends it to the
/// application's main window (platform::MainWindow): wParam 57670 (code 0 in the
/// high word), lParam 0.
constexpr int ID_HELP = 57670;
