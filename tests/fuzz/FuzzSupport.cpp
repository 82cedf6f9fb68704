#include "tests/fuzz/FuzzSupport.h"

#include "platform/MessageBox.h"
#include "platform/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace fuzz {
namespace {

std::unique_ptr<QTemporaryDir>& scratchDir()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}

QString& scratchPath()
{
    static QString path;
    return path;
}

int& boxes()
{
    static int count = 0;
    return count;
}

// Qt's warnings about an input (a bad document, a missing file) are expected by the thousand
void quiet(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "qFatal: %s\n", qPrintable(text));
        std::abort();
    }
}

}  // namespace

void Initialize(const char* target, bool application)
{
    QHashSeed::setDeterministicGlobalSeed();
    qInstallMessageHandler(quiet);
    if (application) {
        static int argc = 1;
        static char name[] = "zvnfuzz";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
    scratchDir() = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zvnfuzz-%1-XXXXXX").arg(QLatin1String(target)));
    if (!scratchDir()->isValid())
        Fail("the scratch folder can be made", QDir::tempPath());
    scratchPath() = QFileInfo(scratchDir()->path()).canonicalFilePath();
    // nothing an input makes reaches the user's own settings or temporary folder
    const QByteArray settings = QFile::encodeName(scratchPath() + QStringLiteral("/settings.ini"));
    setenv("ZVN_SETTINGS_FILE", settings.constData(), 1);
    platform::SetTempPath(scratchPath() + QStringLiteral("/temp"));
    platform::SetMessageBoxHandler([](QWidget*, const QString&, unsigned style) {
        ++boxes();
        return platform::DefaultButton(style);
    });
}

const QString& Scratch() { return scratchPath(); }

void Clear()
{
    const QStringList entries = QDir(Scratch()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString& name : entries) {
        const QString path = Scratch() + u'/' + name;
        const QFileInfo info(path);
        const bool removed = info.isDir() && !info.isSymLink() ? QDir(path).removeRecursively() : QFile::remove(path);
        Check(removed, "the scratch folder can be emptied", path);
    }
}

QStringList Snapshot(const QString& folder)
{
    QStringList lines;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            continue;
        QString line = path.mid(folder.size());
        if (S_ISLNK(st.st_mode))
            line += QStringLiteral(" l");
        else if (S_ISDIR(st.st_mode))
            line += QStringLiteral(" d");
        else
            line += QStringLiteral(" f %1 %2").arg(st.st_size).arg(qHash(ReadFile(path)));
        lines.append(line);
    }
    lines.sort();
    return lines;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Exists(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

int MessageBoxCount() { return boxes(); }

void Fail(const char* promise, const QString& detail)
{
    std::fprintf(stderr, "\n==zvnfuzz== broken: %s\n%s\n", promise, qPrintable(detail));
    std::abort();
}

}  // namespace fuzz
