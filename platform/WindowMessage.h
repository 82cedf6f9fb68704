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
constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;  // wParam the key flags, lParam x (low word) and y (high word)
constexpr unsigned WM_USER = 0x0400;

// Messages of the standard controls, with their Windows numbers. A dialog's
// controls answer them (see CZntDialog); image and icon "handles" are
// pointers to a QImage that stays the sender's.
constexpr unsigned BM_SETSTYLE = 0x00F4;               // wParam 1: the default push button, 0: a plain one
constexpr unsigned STM_SETICON = 0x0170;               // 368: wParam the icon
constexpr unsigned STM_SETIMAGE = 0x0172;              // 370: wParam IMAGE_BITMAP or IMAGE_ICON, lParam the image
constexpr unsigned EM_SETBKGNDCOLOR = WM_USER + 67;    // 1091: lParam the colour as 0x00BBGGRR
constexpr int IMAGE_BITMAP = 0;
constexpr int IMAGE_ICON = 1;
constexpr int BS_PUSHBUTTON = 0;
constexpr int BS_DEFPUSHBUTTON = 1;
// the system's icons, as LoadIcon(id) finds them
constexpr int IDI_HAND = 32513;
constexpr int IDI_QUESTION = 32514;
constexpr int IDI_EXCLAMATION = 32515;
constexpr int IDI_INFORMATION = 32516;

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
