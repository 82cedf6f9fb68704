#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/TempFolder.h"
#include "platform/WaitCursor.h"
#include "platform/WindowMessage.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWidget>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace platform;

TEST(MessageBoxSeam, ScriptAnswersEachBoxInOrder)
{
    MessageBoxScript script;
    script.Expect("first", MB_YESNO | MB_ICONQUESTION, IDNO).ExpectDefault("second", MB_RETRYCANCEL);
    EXPECT_EQ(IDNO, MessageBox(nullptr, "first", MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(IDRETRY, MessageBox(nullptr, "second", MB_RETRYCANCEL));
    EXPECT_EQ(2, script.Shown().size());
}

TEST(MessageBoxSeam, DefaultButtonFollowsTheStyle)
{
    EXPECT_EQ(IDOK, DefaultButton(MB_OK));
    EXPECT_EQ(IDYES, DefaultButton(MB_YESNO));
    EXPECT_EQ(IDNO, DefaultButton(MB_YESNO | MB_DEFBUTTON2));
    EXPECT_EQ(IDCANCEL, DefaultButton(MB_YESNOCANCEL | MB_DEFBUTTON3));
    EXPECT_EQ(IDCANCEL, DefaultButton(MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONEXCLAMATION));
    EXPECT_EQ(IDOK, DefaultButton(MB_OK | MB_DEFBUTTON3));  // no third button: the first
}

static void showUnexpectedBox()
{
    MessageBoxScript script;
    MessageBox(nullptr, "nobody expected this", MB_OK);
}

static void showWrongText()
{
    MessageBoxScript script;
    script.Expect("right", MB_OK, IDOK);
    MessageBox(nullptr, "wrong", MB_OK);
}

static void showWrongStyle()
{
    MessageBoxScript script;
    script.Expect("text", MB_OK | MB_ICONHAND, IDOK);
    MessageBox(nullptr, "text", MB_OK | MB_ICONEXCLAMATION);
}

static void showNothing()
{
    MessageBoxScript script;
    script.Expect("never shown", MB_OK, IDOK);
}

TEST(MessageBoxSeam, ScriptFailsTheTestOnAnyBoxItDidNotExpect)
{
    EXPECT_NONFATAL_FAILURE(showUnexpectedBox(), "unexpected message box: \"nobody expected this\"");
    EXPECT_NONFATAL_FAILURE(showWrongText(), "message box text");
    EXPECT_NONFATAL_FAILURE(showWrongStyle(), "message box style");
    EXPECT_NONFATAL_FAILURE(showNothing(), "expected message box was not shown: \"never shown\"");
}

namespace {

class HostWindow : public QWidget {
public:
    QList<unsigned> received;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != WindowMessageEvent::eventType())
            return QWidget::event(e);
        auto* message = static_cast<WindowMessageEvent*>(e);
        received.append(message->message());
        message->setResult(static_cast<LRESULT>(message->wParam() + message->lParam()));
        return true;
    }
};

}  // namespace

TEST(WindowMessageSeam, DeliversSynchronouslyWithParametersAndResult)
{
    HostWindow window;
    EXPECT_EQ(7, SendMessage(&window, WM_USER + 1080, 3, 4));
    EXPECT_EQ(QList<unsigned>{2104}, window.received);
    EXPECT_EQ(0, SendMessage(nullptr, WM_COMMAND, 57670, 0));
    QWidget plain;  // a window that does not handle the message answers 0
    EXPECT_EQ(0, SendMessage(&plain, 2045, 1, 2));
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

TEST(TempFolder, IsTheUsersOwnFolderMadeAnewWhenGoneAndFollowsTheTestFolder)
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
    {
        TempEnvironment env;
        EXPECT_EQ(env.TempFolder(), GetTempPath());
    }
    EXPECT_EQ(second, GetTempPath());
}

TEST(WaitCursor, ShownForItsLifetimeOnly)
{
    EXPECT_EQ(nullptr, QGuiApplication::overrideCursor());
    {
        CWaitCursor wait;
        ASSERT_NE(nullptr, QGuiApplication::overrideCursor());
        EXPECT_EQ(Qt::WaitCursor, QGuiApplication::overrideCursor()->shape());
    }
    EXPECT_EQ(nullptr, QGuiApplication::overrideCursor());
}
