#pragma once
// Records every window message the code sends, in order, and still delivers it.
#include "platform/WindowMessage.h"

#include <QList>
#include <QPointer>

class WindowMessageRecorder {
public:
    WindowMessageRecorder();
    ~WindowMessageRecorder();
    WindowMessageRecorder(const WindowMessageRecorder&) = delete;
    WindowMessageRecorder& operator=(const WindowMessageRecorder&) = delete;

    struct Message {
        QObject* target;
        unsigned message;
        platform::WPARAM wParam;
        platform::LPARAM lParam;
    };
    const QList<Message>& Messages() const { return m_messages; }
    // the messages with this number, in order
    QList<Message> Sent(unsigned message) const;

private:
    QList<Message> m_messages;
    platform::WindowMessageHandler m_previous;
};
