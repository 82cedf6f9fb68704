#pragma once
// What the benchmarks share: the process's memory figures, best and median of
// timed runs, the "figure NAME VALUE" lines scripts/bench gathers into
// docs/performance.md, and a local service run as its own process.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace bench {

// a "Vm...:" line of /proc/self/status, in KiB
inline qint64 StatusKiB(const char* name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').first().toLongLong();
    return 0;
}

// the peak resident size (VmHWM) starts again from the present size
inline void ResetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

inline double Best(QList<double> values) { return values.isEmpty() ? 0 : *std::min_element(values.begin(), values.end()); }

inline double Median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// offscreen unless the caller chose a platform; before the application is made
inline void Offscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// the settings in a file of the benchmark's own, never the user's
inline void KeepSettingsIn(const QString& folder) { qputenv("ZVN_SETTINGS_FILE", QFile::encodeName(folder + QStringLiteral("/settings.ini"))); }

// what a benchmark of the library dialog does before its application is made: offscreen,
// its settings in `folder`, the browser engine's flags
inline void PrepareLibraryBench(const QString& folder)
{
    Offscreen();
    KeepSettingsIn(folder);
}

// the count of runs the first argument asks for, at least 1
inline int Runs(int argc, char** argv, int fallback) { return argc > 1 ? std::max(1, std::atoi(argv[1])) : fallback; }

// one line for scripts/bench; the human lines around it say what it means
inline void Figure(const QByteArray& name, double value) { std::printf("figure %s %.6g\n", name.constData(), value); }

// A local service started as its own process; it prints the line saying where it
// listens, and is stopped by its process id when this object goes.
class ServiceProcess {
public:
    bool Start(const QString& program, const QStringList& arguments)
    {
        m_process.setStandardErrorFile(QProcess::nullDevice());  // its log of every request
        m_process.start(program, arguments);
        if (!m_process.waitForReadyRead(30000))
            return false;
        m_line = QString::fromUtf8(m_process.readLine());
        return true;
    }
    // the n-th port of the listening line
    int Port(int n = 0) const
    {
        auto it = QRegularExpression(QStringLiteral(R"(127\.0\.0\.1:(\d+))")).globalMatch(m_line);
        for (int i = 0; it.hasNext(); ++i) {
            const auto match = it.next();
            if (i == n)
                return match.captured(1).toInt();
        }
        return 0;
    }
    ~ServiceProcess()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(m_process.processId()), SIGTERM);
        m_process.waitForFinished(30000);
    }

private:
    QProcess m_process;
    QString m_line;
};

}  // namespace bench
