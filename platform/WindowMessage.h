#pragma once
/// \file
/// Window messages between the module and the host's windows: a synchronous Qt
/// event that carries the Windows message number and its two parameters, and
/// a result the receiver may set.
#include <QEvent>
#include <QtGlobal>
#include <functional>

class QObject;

/// The small layer standing in for the Windows facilities the module was
/// written against: window messages, the host's windows, dialog templates, the
/// internet classes.
namespace platform {

/// A message's first parameter: an unsigned number as wide as a pointer.
using WPARAM = quintptr;
/// A message's second parameter: a signed number as wide as a pointer.
using LPARAM = qintptr;
/// What the receiver of a message answers (0 when it does not handle it).
using LRESULT = qintptr;

/// A command: wParam MAKEWPARAM(id, code), the control or command id in the low
/// word and the notification code in the high word (0 for a button click); lParam 0.
constexpr unsigned WM_COMMAND = 0x0111;
constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;  ///< a double-click: wParam the key flags, lParam x (low word) and y (high word)
/// The first number of the messages a program defines for itself (WM_USER + n).
constexpr unsigned WM_USER = 0x0400;

/// \name Messages of the standard controls
/// Messages of the standard controls, with their Windows numbers. A dialog's
/// controls answer them (see CZntDialog); image and icon "handles" are
/// pointers to a QImage that stays the sender's.
/** @{ */
constexpr unsigned BM_SETSTYLE = 0x00F4;               ///< wParam 1: the default push button, 0: a plain one
constexpr unsigned STM_SETICON = 0x0170;               ///< 368: wParam the icon
constexpr unsigned STM_SETIMAGE = 0x0172;              ///< 370: wParam IMAGE_BITMAP or IMAGE_ICON, lParam the image
constexpr unsigned EM_SETBKGNDCOLOR = WM_USER + 67;    ///< 1091: lParam the colour as 0x00BBGGRR
/// STM_SETIMAGE's wParam: the image is a bitmap.
constexpr int IMAGE_BITMAP = 0;
/// STM_SETIMAGE's wParam: the image is an icon.
constexpr int IMAGE_ICON = 1;
/// BM_SETSTYLE's wParam: a plain push button.
constexpr int BS_PUSHBUTTON = 0;
/// BM_SETSTYLE's wParam: the default push button, which Enter presses.
constexpr int BS_DEFPUSHBUTTON = 1;
/** @} */

/// \name The system's icons
/// the system's icons, as LoadIcon(id) finds them
/** @{ */
/// The stop sign of an error.
constexpr int IDI_HAND = 32513;
/// The question mark.
constexpr int IDI_QUESTION = 32514;
/// The exclamation mark of a warning.
constexpr int IDI_EXCLAMATION = 32515;
/// The information mark.
constexpr int IDI_INFORMATION = 32516;
/** @} */

/// A window message as a Qt event, sent at once (QCoreApplication::sendEvent)
/// to the receiving window, which reads the message and its parameters in its
/// event handler and may set a result. Every window message has the one event
/// type eventType().
class WindowMessageEvent : public QEvent {
public:
    /// The event of `message` with its two parameters; the result starts at 0.
    WindowMessageEvent(unsigned message, WPARAM wParam, LPARAM lParam);

    /// The event type of every window message, registered with Qt once.
    static QEvent::Type eventType();

    /// The Windows message number.
    unsigned message() const { return m_message; }
    /// The first parameter.
    WPARAM wParam() const { return m_wParam; }
    /// The second parameter.
    LPARAM lParam() const { return m_lParam; }
    /// The result the receiver set, 0 unless it set one.
    LRESULT result() const { return m_result; }
    /// The receiver's answer, which SendMessage() returns.
    void setResult(LRESULT result) { m_result = result; }

private:
    unsigned m_message;
    WPARAM m_wParam;
    LPARAM m_lParam;
    LRESULT m_result = 0;
};

/// What SendMessage() hands every message to when one is set: a stand-in that
/// records the messages (tests), and may deliver them through DeliverMessage().
using WindowMessageHandler = std::function<LRESULT(QObject* target, unsigned message, WPARAM, LPARAM)>;

/// Delivers the message at once and returns the receiver's result; 0 for a
/// null target or a receiver that does not handle it.
LRESULT SendMessage(QObject* target, unsigned message, WPARAM wParam = 0, LPARAM lParam = 0);

/// The delivery itself, for a stand-in that records and still delivers.
LRESULT DeliverMessage(QObject* target, unsigned message, WPARAM wParam, LPARAM lParam);

/// Stands another handler in for delivery; an empty one restores it. Returns the previous one.
WindowMessageHandler SetWindowMessageHandler(WindowMessageHandler handler);

}  // namespace platform
