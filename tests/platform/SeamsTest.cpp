#include "platform/FileRead.h"
#include "platform/FileReplace.h"
#include "platform/HostWindows.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/TempFolder.h"
#include "platform/WaitCursor.h"
#include "tests/support/TempEnvironment.h"

#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QUrl>
#include <climits>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace platform;

TEST(MessageBoxSeam, DefaultButtonFollowsTheStyle)
{
    EXPECT_EQ(IDYES, DefaultButton(MB_YESNO));
    EXPECT_EQ(IDNO, DefaultButton(MB_YESNO | MB_DEFBUTTON2));
    EXPECT_EQ(IDCANCEL, DefaultButton(MB_YESNOCANCEL | MB_DEFBUTTON3));
    EXPECT_EQ(IDOK, DefaultButton(MB_OK | MB_DEFBUTTON3));  // no third button: the first
}

TEST(ShellSeam, RealShellRefusesWhatItCannotOpenWithoutOpeningAnything)
{
    // these paths end before the desktop is asked
    TempEnvironment env;
    EXPECT_EQ(SE_ERR_NOASSOC, ShellExecute(nullptr, "print", env.Root()));
    EXPECT_EQ(SE_ERR_FNF, ShellExecute(nullptr, "Open", env.Path("missing.txt")));
    ASSERT_TRUE(TempEnvironment::WriteBytes(env.Path("file.txt"), "x"));
    EXPECT_EQ(SE_ERR_FNF, ShellExecute(nullptr, "explore", env.Path("file.txt")));  // a file is no folder
}

namespace {

// stands in for the desktop's programs of a URL scheme, through Qt's own seam
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

}  // namespace

TEST(ShellSeam, WhatTheDesktopOpensIsASuccessAboveThirtyTwo)
{
    TempEnvironment env;
    UrlCatcher desktop;
    for (const char* scheme : {"file", "https", "mailto"})
        QDesktopServices::setUrlHandler(scheme, &desktop, "open");
    QDir().mkpath(env.Path("folder"));
    EXPECT_GT(ShellExecute(nullptr, "explore", env.Path("folder")), 32);
    EXPECT_GT(ShellExecute(nullptr, "Open", "https://127.0.0.1:9/page"), 32);
    EXPECT_GT(ShellExecute(nullptr, "", "mailto:?body=x"), 32);
    EXPECT_EQ(QList<QUrl>({QUrl::fromLocalFile(env.Path("folder")), QUrl("https://127.0.0.1:9/page"), QUrl("mailto:?body=x")}),
              desktop.opened);
    for (const char* scheme : {"file", "https", "mailto"})
        QDesktopServices::unsetUrlHandler(scheme);
}

// A window centred on its owner stays on the owner's screen: moved in from an edge it would
// cross, the top-left edges first when it is larger than the screen.
TEST(Placement, AWindowCentresOnItsOwnerWithinTheScreen)
{
    QWidget owner, window;
    const QRect area = owner.screen()->availableGeometry();
    const QSize size(300, 200);
    window.resize(size);
    const struct {
        QRect owner;
        QRect expected;
    } rows[] = {
        {QRect(area.center() - QPoint(50, 20), QSize(100, 40)), QRect(QPoint(), size).translated(area.center() - QPoint(150, 100))},
        {QRect(area.topLeft(), QSize(100, 40)), QRect(area.topLeft(), size)},
        {QRect(area.bottomRight() - QPoint(99, 39), QSize(100, 40)), QRect(area.bottomRight() - QPoint(299, 199), size)},
    };
    for (const auto& row : rows) {
        owner.setGeometry(row.owner);
        CentreOn(&window, &owner);
        EXPECT_EQ(row.expected, window.geometry()) << row.owner.x() << "," << row.owner.y();
    }
    window.resize(area.size() + QSize(40, 40));
    CentreOn(&window, &owner);
    EXPECT_EQ(area.topLeft(), window.geometry().topLeft());
}

// The private temporary folder is the user's own (0700, no link), in the first
// place that can hold one: the system's temporary folder (also one that passes
// its group on), else the runtime folder, else the cache. The same all along the
// process; made anew once gone.
TEST(TempFolder, IsTheUsersOwnInTheFirstPlaceThatCanHoldIt)
{
    TempEnvironment env;
    SetTempPath({});
    const QString plain = env.Path("tmp-plain"), shared = env.Path("tmp-shared"), file = env.Path("tmp-file");
    const QString runtime = env.Path("runtime"), cache = env.Path("cache");
    QDir().mkpath(plain);
    QDir().mkpath(shared);
    ::chmod(QFile::encodeName(shared).constData(), 02755);
    TempEnvironment::WriteBytes(file, "not a folder");
    QDir().mkpath(runtime);
    env.SetVariable("XDG_CACHE_HOME", QFile::encodeName(cache));
    const auto ownPrivateFolderIn = [](const QString& path, const QString& parent) {
        const QFileInfo info(path.chopped(1));
        return path.endsWith('/') && info.isDir() && !info.isSymLink() && info.absolutePath() == parent && info.ownerId() == ::geteuid()
               && (TempEnvironment::Mode(path) & 0777) == 0700;
    };
    const struct { const char* what; QString tmp; bool runtime; QString expected; } rows[] = {
        {"the system's folder", plain, true, plain},
        {"a system folder that passes its group on", shared, true, shared},
        {"a system folder that is a file", file, true, runtime},
        {"and no runtime folder", file, false, cache},
    };
    for (const auto& row : rows) {
        env.SetVariable("TMPDIR", QFile::encodeName(row.tmp));
        env.SetVariable("XDG_RUNTIME_DIR", row.runtime ? QFile::encodeName(runtime) : QByteArray());
        const QString first = GetTempPath();
        // checked before it is removed: a shared folder answered here must never be emptied
        ASSERT_TRUE(ownPrivateFolderIn(first, row.expected)) << row.what << ": " << first.toStdString();
        EXPECT_EQ(first, GetTempPath()) << row.what;  // once per process
        ASSERT_TRUE(QDir(first).removeRecursively());
        const QString second = GetTempPath();
        EXPECT_TRUE(ownPrivateFolderIn(second, row.expected)) << row.what << ": " << second.toStdString();
        EXPECT_NE(first, second) << row.what;
        ASSERT_TRUE(QDir(second).removeRecursively());
    }
}

// The wait cursor is shown for its lifetime only, and a box asked meanwhile shows the arrow.
TEST(WaitCursor, ShownForItsLifetimeOnlyAndNeverOverABox)
{
    {
        CWaitCursor wait;
        ASSERT_NE(nullptr, QGuiApplication::overrideCursor());
        EXPECT_EQ(Qt::WaitCursor, QGuiApplication::overrideCursor()->shape());
        Qt::CursorShape whileAsked = Qt::WaitCursor;
        const MessageBoxHandler previous = SetMessageBoxHandler([&](QWidget*, const QString&, unsigned) {
            whileAsked = QGuiApplication::overrideCursor()->shape();
            return IDOK;
        });
        MessageBox(nullptr, QStringLiteral("?"), MB_OK);
        SetMessageBoxHandler(previous);
        EXPECT_EQ(Qt::ArrowCursor, whileAsked);
        EXPECT_EQ(Qt::WaitCursor, QGuiApplication::overrideCursor()->shape());
    }
    EXPECT_EQ(nullptr, QGuiApplication::overrideCursor());
}

TEST(Files, AreReadUpToTheirLimitAndReplacedOnlyWhenTheyCanBe)
{
    TempEnvironment env;
    const QString path = env.Path("list.lst");
    ASSERT_TRUE(ReplaceFile(path, "12345"));
    WholeFile file;
    ASSERT_EQ(WholeFile::Read, file.read(path, 5));
    EXPECT_EQ("12345", file.bytes());
    EXPECT_EQ(WholeFile::Refused, file.read(path, 4));
    EXPECT_EQ(WholeFile::Missing, file.read(env.Path("missing.lst"), 5));
    // a file of the longest name a folder takes: no temporary name fits beside it to replace it
    const QString longest = env.Path(QString(NAME_MAX, u'n'));
    ASSERT_TRUE(TempEnvironment::WriteBytes(longest, "old"));
    EXPECT_FALSE(ReplaceFile(longest, "new"));
    EXPECT_EQ("old", TempEnvironment::ReadBytes(longest));
}

#include "SeamsTest.moc"
