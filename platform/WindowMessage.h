#pragma once
// Window messages between the module and the host's windows: a synchronous Qt
// event that carries the Windows message number and its two parameters, and
// a result the receiver may set.
#include <QEvent>
#include <QtGlobal>
#include <functional>

class QObject;

namespace platform {

using WPARAM = quintptr;
using LPARAM = qintptr;
using LRESULT = qintptr;

constexpr unsigned WM_COMMAND = 0x0111;
constexpr unsigned WM_USER = 0x0400;

class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(unsigned message, WPARAM wParam, LPARAM lParam);

    static QEvent::Type eventType();

    unsigned message() const { return m_message; }
    WPARAM wParam() const { return m_wParam; }
    LPARAM lParam() const { return m_lParam; }
    LRESULT result() const { return m_result; }
    void setResult(LRESULT result) { m_result = result; }

private:
    unsigned m_message;
    WPARAM m_wParam;
    LPARAM m_lParam;
    LRESULT m_result = 0;
};

using WindowMessageHandler = std::function<LRESULT(QObject* target, unsigned message, WPARAM, LPARAM)>;

// Delivers the message at once and returns the receiver's result; 0 for a
// null target or a receiver that does not handle it.
LRESULT SendMessage(QObject* target, unsigned message, WPARAM wParam = 0, LPARAM lParam = 0);

// The delivery itself, for a stand-in that records and still delivers.
LRESULT DeliverMessage(QObject* target, unsigned message, WPARAM wParam, LPARAM lParam);

// Stands another handler in for delivery; an empty one restores it. Returns the previous one.
WindowMessageHandler SetWindowMessageHandler(WindowMessageHandler handler);

}  // namespace platform
