#pragma once
/// \file
/// What the host tells the platform layer about itself at start-up: its main
/// window (the target of help commands and program notices) and its name (the
/// title of every message box).
#include <QString>

class QWidget;

namespace platform {

/// Registers the host's main window: WM_COMMAND ID_HELP, WM_PRGZSFNOTFOUND and
/// WM_PRGCANCELLED go to it, and a dialog with no parent opens centred on it
/// when no modal dialog is open.
/// The frame watches the window: once it is destroyed, MainWindow() is null.
void SetMainWindow(QWidget* window);
QWidget* MainWindow();  ///< null until the host registers one, or after it is gone

/// Registers the host's name, the title of every message box the module shows.
void SetApplicationName(const QString& name);
QString ApplicationName();  ///< the registered name, else the application's display name

/// The window the user is working in, seen from `near`: the nearest shown window
/// among `near` and its parents, else the topmost modal dialog, else the host's
/// main window; null when none of them is shown. A box or dialog asked for while
/// its own dialog is still being set up (not yet shown) opens over this one.
QWidget* WorkingWindow(QWidget* near);

/// Places the top-level `window` with its centre on `owner`'s (the screen's when
/// `owner` is null), kept inside the screen's available area.
void CentreOn(QWidget* window, const QWidget* owner);

}  // namespace platform
