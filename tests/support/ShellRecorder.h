#pragma once
// Records what the code asks the desktop to open, and opens nothing.
#include "platform/Shell.h"

#include <QList>
#include <QString>

class ShellRecorder {
public:
    explicit ShellRecorder(qintptr result = 42);  // the answer to give: above 32 is success
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    struct Call {
        QString verb;
        QString file;
        QString parameters;
        QString directory;
        int show;
    };
    const QList<Call>& Calls() const { return m_calls; }

private:
    QList<Call> m_calls;
    platform::ShellHandler m_previous;
};
