#include "tests/support/WindowMessageRecorder.h"

WindowMessageRecorder::WindowMessageRecorder()
{
    m_previous = platform::SetWindowMessageHandler(
        [this](QObject* target, unsigned message, platform::WPARAM w, platform::LPARAM l) {
            m_messages.append(Message{target, message, w, l});
            return platform::DeliverMessage(target, message, w, l);
        });
}

WindowMessageRecorder::~WindowMessageRecorder() { platform::SetWindowMessageHandler(std::move(m_previous)); }

QList<WindowMessageRecorder::Message> WindowMessageRecorder::Sent(unsigned message) const
{
    QList<Message> result;
    for (const Message& m : m_messages)
        if (m.message == message)
            result.append(m);
    return result;
}
