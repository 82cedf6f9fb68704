#include "frame/ModuleMessages.h"
#include "platform/HostWindows.h"
#include "program/DlgProgram.h"
#include "tests/program/ListFiles.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempEnvironment.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QFileInfo>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using listfiles::header;
using listfiles::section;

namespace {

// the host's main window: keeps the texts of message 2045 while they live
class MainWindow : public QWidget {
public:
    QStringList missingKinds;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == platform::WindowMessageEvent::eventType()) {
            auto* m = static_cast<platform::WindowMessageEvent*>(e);
            if (m->message() == WM_PRGZSFNOTFOUND)
                missingKinds << *reinterpret_cast<const QString*>(m->wParam()) << *reinterpret_cast<const QString*>(m->lParam());
            return true;
        }
        return QWidget::event(e);
    }
};

struct ProgramLists {
    TempEnvironment env;
    QString system = env.Path("data/System/zvnprg.lst");
    QString user = env.Path("data/Contents/Prg/zvnprg.lst");
    MainWindow main;
    ScriptedHost host;

    ProgramLists(int userPrograms = 2)
    {
        TempEnvironment::WriteBytes(system, header("1.0", "ZentorinLite", 3) + section(1, "Today", QString::fromUtf8("今日の星空"), "pln.zsf")
                                                + section(2, "Program", QString::fromUtf8("冬の大三角"), "winter.zsf", 1500)
                                                + section(3, "BGV", "Piano", "piano.zsf"));
        TempEnvironment::WriteBytes(env.Path("data/PRG/winter/winter.zsf"), "scene");
        QByteArray users = header("1.0", "ZentorinLite", userPrograms);
        for (int n = 1; n <= userPrograms; ++n) {
            users += section(n, "Program", QString("User %1").arg(n), QString("user%1.zsf").arg(n), 60 * n);
            TempEnvironment::WriteBytes(env.Path(QString("data/Contents/Prg/user%1/user%1.zsf").arg(n)), "scene");
        }
        if (userPrograms > 0)
            TempEnvironment::WriteBytes(user, users);
        host.Answer("? LST(time)", "LST AD2026/1/15 03:42:17");
        platform::SetMainWindow(&main);
    }
    ~ProgramLists() { platform::SetMainWindow(nullptr); }
};

QListWidget* listOf(CDlgProgram& dialog) { return qobject_cast<QListWidget*>(dialog.GetDlgItem(1015)); }

int run(CDlgProgram& dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, &dialog, action);
    return dialog.DoModal();
}

}  // namespace

TEST(DlgProgram, OpensOnTheFirstProgramWithoutPresetsAndReportsTheChoice)
{
    ProgramLists lists;
    CDlgProgram dialog(lists.system, lists.user, &lists.host, nullptr);
    const int result = run(dialog, [&] {
        EXPECT_EQ(0, listOf(dialog)->currentRow());
        EXPECT_EQ(5, listOf(dialog)->count());
        EXPECT_EQ(QString::fromUtf8("西暦2026年1月15日"), dialog.GetDateText());
        listOf(dialog)->setCurrentRow(1);  // as a click would
        listOf(dialog)->setFocus();
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(QString::fromUtf8("冬の大三角"), dialog.GetProgTitle());
    EXPECT_EQ("Program", dialog.GetProgType());
    EXPECT_EQ("winter.zsf", dialog.GetZsfName());
    EXPECT_EQ("NO", dialog.GetProgJimaku());
    EXPECT_EQ(1500, dialog.GetPlayTime());
    EXPECT_EQ(1, dialog.GetIsSystem());
    EXPECT_EQ(1, dialog.GetProgNum());
    EXPECT_EQ(lists.env.Path("data/System/../PRG/winter/winter.zsf"), dialog.GetZsfActualPath());
    EXPECT_EQ(QStringList{"? LST(time)"}, lists.host.Commands());
}

TEST(DlgProgram, PresetsOutsideTheListFallBackToTheFirstEntry)
{
    ProgramLists lists;
    CDlgProgram kept(lists.system, lists.user, nullptr);
    kept.SetProgNum(3);
    kept.SetScrlPos(2);
    run(kept, [&] {
        EXPECT_EQ(3, listOf(kept)->currentRow());
        kept.OnCancel();
    });
    CDlgProgram reset(lists.system, lists.user, nullptr);
    reset.SetProgNum(3);
    reset.SetScrlPos(-1);  // a scroll position of -1 resets the selection too
    run(reset, [&] {
        EXPECT_EQ(0, listOf(reset)->currentRow());
        reset.OnCancel();
    });
    EXPECT_EQ("", reset.GetDateText());  // no host control: no date
}

TEST(DlgProgram, EnterIsRoutedByTheFocus)
{
    ProgramLists lists;
    WindowMessageRecorder messages;
    CDlgProgram closing(lists.system, lists.user, nullptr);
    EXPECT_EQ(2, run(closing, [&] {
        closing.GetDlgItem(1019)->setFocus();
        QTest::keyClick(&closing, Qt::Key_Return);
    }));
    EXPECT_EQ(1, messages.Sent(WM_PRGCANCELLED).size());

    CDlgProgram help(lists.system, lists.user, nullptr);
    EXPECT_EQ(2, run(help, [&] {
        help.GetDlgItem(57670)->setFocus();
        QTest::keyClick(&help, Qt::Key_Return);
        EXPECT_TRUE(help.isVisible());
        QTest::keyClick(&help, Qt::Key_Escape);
    }));
    const auto commands = messages.Sent(platform::WM_COMMAND);
    ASSERT_EQ(1, commands.size());
    EXPECT_EQ(&lists.main, commands[0].target);
    EXPECT_EQ(57670u, commands[0].wParam);

    // the scene file of the Today program is not there: the host is told, the dialog stays
    CDlgProgram missing(lists.system, lists.user, nullptr);
    EXPECT_EQ(2, run(missing, [&] {
        missing.DispatchCommand(0, 1018);
        EXPECT_TRUE(missing.isVisible());
        missing.OnCancel();
    }));
    EXPECT_EQ(QStringList({QString::fromUtf8("プラネタリウム番組"), QString::fromUtf8("プラネタリウム")}), lists.main.missingKinds);
}

TEST(DlgProgram, DeletingAUserProgramRewritesTheListAndTellsTheParent)
{
    ProgramLists lists(2);
    QWidget parent;
    WindowMessageRecorder messages;
    MessageBoxScript boxes;
    CDlgProgram dialog(lists.system, lists.user, &parent);
    run(dialog, [&] {
        listOf(dialog)->setCurrentRow(1);  // a system program: nothing to delete
        EXPECT_FALSE(dialog.GetDlgItem(1020)->isEnabled());
        dialog.OnBnClickedPrgBtnDelete();

        listOf(dialog)->setCurrentRow(3);
        EXPECT_TRUE(dialog.GetDlgItem(1020)->isEnabled());
        boxes.Expect(QString::fromUtf8("次の番組ファイルを削除します。\n\n\u3000「User 1」"), platform::MB_OKCANCEL | platform::MB_ICONASTERISK,
                     platform::IDCANCEL);
        dialog.OnBnClickedPrgBtnDelete();  // cancelled: nothing changes
        EXPECT_EQ(5, listOf(dialog)->count());

        boxes.Expect(QString::fromUtf8("次の番組ファイルを削除します。\n\n\u3000「User 1」"), platform::MB_OKCANCEL | platform::MB_ICONASTERISK,
                     platform::IDOK);
        dialog.OnBnClickedPrgBtnDelete();
        EXPECT_EQ(4, listOf(dialog)->count());
        EXPECT_EQ(2, listOf(dialog)->currentRow());
        EXPECT_EQ("User 2", listOf(dialog)->item(3)->text());
        dialog.OnCancel();
    });
    EXPECT_EQ(header("1.0", "ZentorinLite", 1) + "\r\n" + section(1, "Program", "User 2", "user2.zsf", 120).mid(2),
              TempEnvironment::ReadBytes(lists.user));
    EXPECT_FALSE(QFileInfo::exists(lists.env.Path("data/Contents/Prg/user1")));
    EXPECT_TRUE(QFileInfo::exists(lists.env.Path("data/Contents/Prg/user2/user2.zsf")));
    const auto changed = messages.Sent(WM_PRGLISTCHANGED);
    ASSERT_EQ(1, changed.size());
    EXPECT_EQ(&parent, changed[0].target);
    EXPECT_EQ(1u, changed[0].wParam);
}

TEST(DlgProgram, DeletingTheLastUserProgramRemovesTheUserFolder)
{
    ProgramLists lists(1);
    // no system programs, so the user program stands at index 0 and stays selected
    TempEnvironment::WriteBytes(lists.system, header());
    MessageBoxScript boxes;
    boxes.ExpectDefault(QString::fromUtf8("次の番組ファイルを削除します。\n\n\u3000「User 1」"), platform::MB_OKCANCEL | platform::MB_ICONASTERISK);
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    run(dialog, [&] {
        EXPECT_EQ(0, listOf(dialog)->currentRow());
        dialog.OnBnClickedPrgBtnDelete();
        EXPECT_EQ(0, listOf(dialog)->count());
        EXPECT_EQ(-1, dialog.GetProgNum());  // nothing left to select: the list answers "no selection"
        dialog.OnCancel();
    });
    EXPECT_FALSE(QFileInfo::exists(lists.env.Path("data/Contents/Prg")));
}

TEST(DlgProgram, ListsThatCannotBeLoadedEndTheDialogBeforeItShows)
{
    ProgramLists lists;
    TempEnvironment::WriteBytes(lists.user, header("2.0"));
    MessageBoxScript boxes;
    boxes.Expect(QString::fromUtf8("番組リストファイルの形式が不正です。"), platform::MB_OK | platform::MB_ICONHAND, platform::IDOK);
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    EXPECT_EQ(2, dialog.DoModal());
}

TEST(DlgProgram, EraOtherThanAdGivesBeforeTheCommonEra)
{
    ProgramLists lists;
    lists.host.Answer("? LST(time)", "LST BC1234/5/6x 00:00:00");
    CDlgProgram dialog(lists.system, lists.user, &lists.host, nullptr);
    run(dialog, [&] { dialog.OnCancel(); });
    EXPECT_EQ(QString::fromUtf8("紀元前1234年5月6日"), dialog.GetDateText());
}

TEST(DlgProgram, ADoubleClickOnAnEmptyListSaysWhereItLanded)
{
    ProgramLists lists(0);
    TempEnvironment::WriteBytes(lists.system, header());
    MessageBoxScript boxes;
    boxes.Expect("bOut = 0, uClicked = 0", platform::MB_OK, platform::IDOK);
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    run(dialog, [&] {
        QListWidget* list = listOf(dialog);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        dialog.OnCancel();
    });
}

TEST(DlgProgram, ADoubleClickOnAnEntryOpensIt)
{
    ProgramLists lists;
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    const int result = run(dialog, [&] {
        QListWidget* list = listOf(dialog);
        const QRect second = list->visualItemRect(list->item(1));
        dialog.OnLButtonDblClk(0, list->viewport()->mapTo(&dialog, second.center()));
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(QString::fromUtf8("冬の大三角"), dialog.GetProgTitle());
}
