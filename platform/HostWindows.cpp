#include "platform/HostWindows.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
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

QWidget* WorkingWindow(QWidget* near)
{
    for (QWidget* w = near; w; w = w->parentWidget())
        if (w->window()->isVisible())
            return w->window();
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible())
        return modal;
    QWidget* main = MainWindow();
    return main && main->isVisible() ? main : nullptr;
}

void CentreOn(QWidget* window, const QWidget* owner)
{
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    // the client areas' centres meet, and so do the frames' when both wear the same
    // one; Qt's own centring guesses a frame where the window manager may draw none
    const QRect around = owner ? owner->geometry() : area;
    QRect placed(QPoint(), window->size());
    placed.moveCenter(around.center());
    if (area.isValid()) {  // never off the screen's edges, the top-left first
        placed.moveRight(qMin(placed.right(), area.right()));
        placed.moveBottom(qMin(placed.bottom(), area.bottom()));
        placed.moveLeft(qMax(placed.left(), area.left()));
        placed.moveTop(qMax(placed.top(), area.top()));
    }
    window->setGeometry(placed);
}

}  // namespace platform
