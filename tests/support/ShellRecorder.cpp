#include "tests/support/ShellRecorder.h"

ShellRecorder::ShellRecorder(qintptr result)
{
    m_previous = platform::SetShellHandler([this, result](QWidget*, const QString& verb, const QString& file,
                                                          const QString& parameters, const QString& directory,
                                                          int show) {
        m_calls.append(Call{verb, file, parameters, directory, show});
        return result;
    });
}

ShellRecorder::~ShellRecorder() { platform::SetShellHandler(std::move(m_previous)); }
