#include "tests/support/ScriptedHost.h"

ScriptedHost& ScriptedHost::Answer(const QString& command, const QString& result)
{
    m_answers[command] = QStringList{result};
    return *this;
}

ScriptedHost& ScriptedHost::AnswerInTurn(const QString& command, const QStringList& results)
{
    m_answers[command] = results;
    return *this;
}

QString ScriptedHost::ExecCommand(const QString& command)
{
    m_commands.append(command);
    auto it = m_answers.find(command);
    if (it == m_answers.end() || it->isEmpty())
        return {};
    return it->size() > 1 ? it->takeFirst() : it->first();
}
