#include "platform/FileRead.h"
#include "platform/FileReplace.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/TempFolder.h"
#include "platform/WaitCursor.h"
#include "tests/support/TempEnvironment.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
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

TEST(TempFolder, IsTheUsersOwnFolderMadeAnewWhenGone)
{
    const auto ownPrivateFolder = [](const QString& path) {
        const QFileInfo info(path.chopped(1));
        return path.endsWith('/') && info.isDir() && !info.isSymLink() && info.absolutePath() == QDir::tempPath()
               && info.ownerId() == ::geteuid()
               && info.permissions() == (QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    };
    const QString first = GetTempPath();
    // checked before it is removed: a shared folder answered here must never be emptied
    ASSERT_TRUE(ownPrivateFolder(first)) << first.toStdString();
    EXPECT_EQ(first, GetTempPath());  // once per process
    ASSERT_TRUE(QDir(first).removeRecursively());
    const QString second = GetTempPath();
    EXPECT_TRUE(ownPrivateFolder(second)) << second.toStdString();
    EXPECT_NE(first, second);
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
