#include "platform/HostWindows.h"

#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

namespace platform {
namespace {

QPointer<QWidget>& mainWindow()
{
    static QPointer<QWidget> window;
    return window;
}

QString& applicationName()
{
    static QString name;
    return name;
}

}  // namespace

void SetMainWindow(QWidget* window) { mainWindow() = window; }

QWidget* MainWindow() { return mainWindow().data(); }

void SetApplicationName(const QString& name) { applicationName() = name; }

QString ApplicationName()
{
    if (!applicationName().isEmpty())
        return applicationName();
    return QGuiApplication::applicationDisplayName();
}

}  // namespace platform
