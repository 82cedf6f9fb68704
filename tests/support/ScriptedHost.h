#pragma once
// A host control that answers each command text from a table and records
// every command it receives, in order. A command with no answer in the table
// gets an empty text (what the host answers to an assignment).
#include "frame/CorZnt.h"

#include <QHash>
#include <QList>
#include <QStringList>

class ScriptedHost : public CCorZnt {
public:
    ScriptedHost& Answer(const QString& command, const QString& result);
    // answers that change: the first call gets the first, and so on; the last repeats
    ScriptedHost& AnswerInTurn(const QString& command, const QStringList& results);

    QString ExecCommand(const QString& command) override;

    const QStringList& Commands() const { return m_commands; }

private:
    QHash<QString, QStringList> m_answers;
    QStringList m_commands;
};
