#include "platform/WindowMessage.h"

#include <QCoreApplication>

namespace platform {
namespace {

WindowMessageHandler& handler()
{
    static WindowMessageHandler h;
    return h;
}

}  // namespace

WindowMessageEvent::WindowMessageEvent(unsigned message, WPARAM wParam, LPARAM lParam)
    : QEvent(eventType()), m_message(message), m_wParam(wParam), m_lParam(lParam)
{
}

QEvent::Type WindowMessageEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

LRESULT DeliverMessage(QObject* target, unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (!target)
        return 0;
    WindowMessageEvent event(message, wParam, lParam);
    QCoreApplication::sendEvent(target, &event);
    return event.result();
}

LRESULT SendMessage(QObject* target, unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (handler())
        return handler()(target, message, wParam, lParam);
    return DeliverMessage(target, message, wParam, lParam);
}

WindowMessageHandler SetWindowMessageHandler(WindowMessageHandler h)
{
    WindowMessageHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

}  // namespace platform
