#include "frame/ModuleMessages.h"
#include "platform/HostWindows.h"
#include "program/DlgProgram.h"
#include "program/ZntTpListBox.h"
#include "tests/program/ListFiles.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempEnvironment.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWindow>
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
    // a dialog the action failed to end ends the test, not the run
    QTimer::singleShot(20000, &dialog, [&] { ADD_FAILURE() << "the dialog did not end"; dialog.EndDialog(-1); });
    return dialog.DoModal();
}

// the user clicks an entry: only that notifies the dialog of a new selection
void clickEntry(QListWidget* list, int row)
{
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
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
        clickEntry(listOf(dialog), 1);
        listOf(dialog)->setFocus();
        QTest::keyClick(listOf(dialog), Qt::Key_Return);  // the list has the focus and passes Enter on
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
        clickEntry(listOf(dialog), 1);  // a system program: nothing to delete
        EXPECT_FALSE(dialog.GetDlgItem(1020)->isEnabled());
        dialog.OnBnClickedPrgBtnDelete();

        clickEntry(listOf(dialog), 3);
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

TEST(DlgProgram, ADoubleClickOnNoEntrySaysWhereItLanded)
{
    ProgramLists lists;
    MessageBoxScript boxes;
    boxes.Expect("bOut = 1, uClicked = 4", platform::MB_OK, platform::IDOK);  // below the last of five
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    EXPECT_EQ(2, run(dialog, [&] {
        QListWidget* list = listOf(dialog);
        const QPoint below = list->visualItemRect(list->item(4)).center() + QPoint(0, list->visualItemRect(list->item(4)).height());
        ASSERT_TRUE(list->viewport()->rect().contains(below));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
        EXPECT_TRUE(dialog.isVisible());  // nothing was opened
        dialog.OnCancel();
    }));

    ProgramLists empty(0);
    TempEnvironment::WriteBytes(empty.system, header());
    boxes.Expect("bOut = 1, uClicked = 0", platform::MB_OK, platform::IDOK);
    CDlgProgram none(empty.system, empty.user, nullptr);
    run(none, [&] {
        QTest::mouseDClick(listOf(none)->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        none.OnCancel();
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

TEST(DlgProgram, ADeleteRemovesOnlyThatProgramsOwnFolder)
{
    // a script that names no folder of its own would name the whole user folder
    for (const char* script : {"", ".", ".."}) {
        ProgramLists lists(1);
        const QByteArray list = header("1.0", "ZentorinLite", 2) + section(1, "Program", "User 1", "user1.zsf")
                                + section(2, "Program", "Odd", script);
        TempEnvironment::WriteBytes(lists.user, list);
        MessageBoxScript boxes;
        boxes.ExpectDefault(QString::fromUtf8("次の番組ファイルを削除します。\n\n\u3000「Odd」"), platform::MB_OKCANCEL | platform::MB_ICONASTERISK);
        boxes.Expect(QString::fromUtf8("番組リストファイルの処理に失敗しました。"), platform::MB_OK | platform::MB_ICONEXCLAMATION, platform::IDOK);
        CDlgProgram dialog(lists.system, lists.user, nullptr);
        run(dialog, [&] {
            clickEntry(listOf(dialog), 4);
            dialog.OnBnClickedPrgBtnDelete();
            dialog.OnCancel();
        });
        EXPECT_EQ(list, TempEnvironment::ReadBytes(lists.user)) << script;
        EXPECT_TRUE(QFileInfo::exists(lists.env.Path("data/Contents/Prg/user1/user1.zsf"))) << script;
    }
}

TEST(DlgProgram, TheScrollPositionRoundTripsTheHostsView)
{
    // the host's round trip: select, scroll away, cancel, reopen with both presets
    const struct { int users, prog, scroll, top; } cases[] = {
        {77, 30, 10, 10},  // 80 entries, the selection off the first page shown
        {2, 4, 3, 0},      // 5 entries: the list cannot scroll, and says so
    };
    for (const auto& c : cases) {
        ProgramLists lists(c.users);
        CDlgProgram dialog(lists.system, lists.user, nullptr);
        dialog.SetProgNum(c.prog);
        dialog.SetScrlPos(c.scroll);
        run(dialog, [&] {
            EXPECT_EQ(c.prog, listOf(dialog)->currentRow());
            EXPECT_EQ(c.top, listOf(dialog)->indexAt(QPoint(5, 5)).row());  // the first entry shown
            EXPECT_EQ(c.top, dialog.GetListBox().FlatScrollBar()->Pos());
            dialog.OnCancel();
        });
        EXPECT_EQ(c.top, dialog.GetScrlPos()) << c.users;
        EXPECT_EQ(c.prog, dialog.GetProgNum());
    }
}

TEST(DlgProgram, DraggingTheSurfaceMovesTheWindowOnTop)
{
    ProgramLists lists;
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    run(dialog, [&] {
        const QPoint start = dialog.pos();
        const QPoint grip(dialog.width() - 5, 5);  // the frame, away from every control
        QTest::mousePress(&dialog, Qt::LeftButton, {}, grip);
        QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(30, 40)), QPointF(dialog.mapToGlobal(grip + QPoint(30, 40))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&dialog, &move);
        QTest::mouseRelease(&dialog, Qt::LeftButton, {}, grip + QPoint(30, 40));
        EXPECT_EQ(start + QPoint(30, 40), dialog.pos());
        EXPECT_TRUE(dialog.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
        EXPECT_TRUE(dialog.isVisible());
        dialog.OnCancel();
    });
}

TEST(DlgProgram, TheInfoTextsSayWhatTheListSays)
{
    ProgramLists lists(0);
    const QString user = QString::fromUtf8(
        "\r\n[Prog1]\r\nType=Program\r\nTitle=星めぐり\r\nSubTitle=春の夜\r\nScript=spring.zsf\r\n"
        "Summary=一行目\\r\\n二行目\r\nYear=2009\r\nNarrator=語り手\r\nArtist=画家\r\nArtWork=イラスト\r\n"
        "Profile=東京生まれ\\r\\n天文家\r\nOrg=星の会\r\nOrgInfo=会員募集中\\r\\n毎月観望会\r\n"
        "\r\n[Prog2]\r\nType=BGV\r\nTitle=ピアノ\r\nScript=piano.zsf\r\nMusic=夜想曲\r\nNarrator=使われない\r\n");
    TempEnvironment::WriteBytes(lists.user, header("1.0", "ZentorinLite", 2) + platform::ToCodePage(user));
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    dialog.SetProgNum(3);
    dialog.SetScrlPos(0);
    run(dialog, [&] {
        const CDlgProgram::InfoTexts& info = dialog.GetInfoTexts();
        EXPECT_EQ(QString::fromUtf8("星めぐり"), info.title);
        EXPECT_EQ(QString::fromUtf8(" ～ 春の夜 ～"), info.subTitle);
        EXPECT_EQ(QString::fromUtf8("一行目\r\n二行目"), info.summary);
        EXPECT_EQ(QString::fromUtf8("2009年制作"), info.year);
        EXPECT_EQ(QString::fromUtf8("イラスト："), info.creditLabel);
        EXPECT_EQ(QString::fromUtf8("画家（星の会）"), info.creditValue);
        EXPECT_EQ(QString::fromUtf8("★東京生まれ\r\n天文家"), info.profile);
        EXPECT_EQ(QString::fromUtf8("☆星の会\r\n会員募集中\r\n毎月観望会"), info.organisation);
        clickEntry(listOf(dialog), 4);
        EXPECT_EQ(QString::fromUtf8("曲："), info.creditLabel);
        EXPECT_EQ(QString::fromUtf8("夜想曲"), info.creditValue);
        EXPECT_EQ("", info.subTitle);
        EXPECT_EQ("", info.profile);
        EXPECT_EQ("", info.organisation);
        dialog.OnCancel();
    });
}
