#pragma once
// Stands in for the user at message boxes: each box the code shows must be
// the next one the test expects (text and style), and gets the scripted
// answer. A box nobody expected, or an expected box that never came, fails
// the test.
#include "platform/MessageBox.h"

#include <QList>
#include <QString>
#include <functional>

class QWidget;

class MessageBoxScript {
public:
    MessageBoxScript();
    ~MessageBoxScript();  // fails the test for every expected box that was not shown
    MessageBoxScript(const MessageBoxScript&) = delete;
    MessageBoxScript& operator=(const MessageBoxScript&) = delete;

    MessageBoxScript& Expect(const QString& text, unsigned style, int answer);
    // A box whose text begins so (the rest comes from outside, an error text say).
    MessageBoxScript& ExpectStartingWith(const QString& prefix, unsigned style, int answer);
    // The box the user answers with Enter: its default button.
    MessageBoxScript& ExpectDefault(const QString& text, unsigned style);
    // What the user does while the last expected box is up, before answering it.
    MessageBoxScript& Then(std::function<void()> action);

    struct Box {
        QString text;
        unsigned style;
        QWidget* owner;
    };
    const QList<Box>& Shown() const { return m_shown; }

private:
    int answer(QWidget* owner, const QString& text, unsigned style);

    struct Step {
        QString text;
        unsigned style;
        int answer;
        bool prefix = false;
        std::function<void()> then;
    };
    QList<Step> m_expected;
    QList<Box> m_shown;
    platform::MessageBoxHandler m_previous;
};
