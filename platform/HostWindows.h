#pragma once
// What the host tells the platform layer about itself at start-up: its main
// window (the target of help commands and program notices) and its name (the
// title of every message box).
#include <QString>

class QWidget;

namespace platform {

void SetMainWindow(QWidget* window);
QWidget* MainWindow();  // null until the host registers one, or after it is gone

void SetApplicationName(const QString& name);
QString ApplicationName();  // the registered name, else the application's display name

}  // namespace platform
