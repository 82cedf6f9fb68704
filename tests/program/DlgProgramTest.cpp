#include "platform/MessageBox.h"
#include "program/ZntTpListBox.h"
#include "support/zvncst/ZntScrollBar.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QAccessible>
#include <QFileInfo>

namespace {

QString deleteQuestion(const QString& title) { return QString::fromUtf8("次の番組ファイルを削除します。\n\n\u3000「%1」").arg(title); }
constexpr unsigned kDeleteStyle = platform::MB_OKCANCEL | platform::MB_ICONASTERISK;

}  // namespace

TEST(DlgProgram, OpensOnTheFirstProgramWithoutPresetsAndReportsTheChoice)
{
    ProgramLists lists;
    CDlgProgram dialog(lists.system, lists.user, &lists.host, nullptr);
    const int result = run(dialog, [&] {
        EXPECT_EQ(0, listOf(dialog)->currentRow());
        EXPECT_EQ(6, listOf(dialog)->count());
        EXPECT_EQ(QString::fromUtf8("西暦2026年1月15日"), dialog.GetDateText());
        clickEntry(listOf(dialog), 1);
        listOf(dialog)->setFocus();
        QTest::keyClick(listOf(dialog), Qt::Key_Return);  // the list has the focus and passes Enter on
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(QStringList({QString::fromUtf8("冬の大三角"), "Program", "winter.zsf", "NO", lists.env.Path("data/System/../PRG/winter/winter.zsf")}),
              QStringList({dialog.GetProgTitle(), dialog.GetProgType(), dialog.GetZsfName(), dialog.GetProgJimaku(), dialog.GetZsfActualPath()}));
    EXPECT_EQ(QList<int>({1500, 1, 1}), QList<int>({dialog.GetPlayTime(), dialog.GetIsSystem(), dialog.GetProgNum()}));
    EXPECT_EQ(QStringList{"? LST(time)"}, lists.host.Commands());

    lists.host.Answer("? LST(time)", "LST BC1234/5/6x 00:00:00");
    CDlgProgram before(lists.system, lists.user, &lists.host, nullptr);
    run(before, [] {}, true);
    EXPECT_EQ(QString::fromUtf8("紀元前1234年5月6日"), before.GetDateText());

    // lists that cannot be loaded end the dialog before it shows
    TempEnvironment::WriteBytes(lists.user, header("2.0"));
    MessageBoxScript boxes;
    boxes.Expect(QString::fromUtf8("番組リストファイルの形式が不正です。"), platform::MB_OK | platform::MB_ICONHAND, platform::IDOK);
    CDlgProgram refused(lists.system, lists.user, nullptr);
    EXPECT_EQ(2, refused.DoModal());
}

TEST(DlgProgram, PresetsAndTheScrollPositionRoundTripTheHostsView)
{
    // the host's round trip: select, scroll away, cancel, reopen with both presets
    const struct { int users, prog, scroll, row, top, playTime; } cases[] = {
        {76, 30, 10, 30, 10, 60 * 27},  // 80 entries, the selection off the first page shown
        {2, 5, 3, 5, 0, 120},           // 6 entries: the list cannot scroll, and says so
        {2, 2, 0, 2, 0, 3600},          // a program without a playing time keeps the preset one
        {2, 3, -1, 0, 0, 3600},         // a scroll position of -1 resets the selection too
        {2, 6, 0, 0, 0, 3600},          // a program number past the list
    };
    for (const auto& c : cases) {
        ProgramLists lists(c.users);
        CDlgProgram dialog(lists.system, lists.user, nullptr);
        dialog.SetProgNum(c.prog);
        dialog.SetScrlPos(c.scroll);
        run(dialog, [&] {
            EXPECT_EQ(c.row, listOf(dialog)->currentRow()) << c.prog;
            EXPECT_EQ(c.top, listOf(dialog)->indexAt(QPoint(5, 5)).row()) << c.prog;  // the first entry shown
            EXPECT_EQ(c.top, dialog.GetListBox().FlatScrollBar()->Pos()) << c.prog;
        }, true);
        EXPECT_EQ(c.top, dialog.GetScrlPos()) << c.prog;
        EXPECT_EQ(c.row, dialog.GetProgNum()) << c.prog;
        EXPECT_EQ(c.playTime, dialog.GetPlayTime()) << c.prog;
        EXPECT_EQ("", dialog.GetDateText());  // no host control: no date
    }
}

TEST(DlgProgram, EnterIsRoutedByTheFocus)
{
    ProgramLists lists;
    WindowMessageRecorder messages;
    // the list has the focus as the dialog opens, also in a window never activated (a compositor
    // with no keyboard seat activates none): the keys go to it
    CDlgProgram keyboard(lists.system, lists.user, &lists.host, nullptr);
    keyboard.setAttribute(Qt::WA_ShowWithoutActivating);
    ASSERT_EQ(1, keyboard.Create(nullptr));
    EXPECT_FALSE(keyboard.isActiveWindow());
    ASSERT_EQ(listOf(keyboard), keyboard.focusWidget());
    QTest::keyClick(keyboard.focusWidget(), Qt::Key_Down);
    EXPECT_EQ(1, listOf(keyboard)->currentRow());
    keyboard.DestroyWindow();

    CDlgProgram closing(lists.system, lists.user, nullptr);
    EXPECT_EQ(2, run(closing, [&] {
        closing.GetDlgItem(1019)->setFocus();
        QTest::keyClick(&closing, Qt::Key_Return);
    }));
    EXPECT_EQ(1, messages.Sent(2034).size());

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
    }, true));
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

        clickEntry(listOf(dialog), 4);
        EXPECT_TRUE(dialog.GetDlgItem(1020)->isEnabled());
        boxes.Expect(deleteQuestion("User 1"), kDeleteStyle, platform::IDCANCEL);
        dialog.OnBnClickedPrgBtnDelete();  // cancelled: nothing changes
        EXPECT_EQ(6, listOf(dialog)->count());

        boxes.Expect(deleteQuestion("User 1"), kDeleteStyle, platform::IDOK);
        dialog.OnBnClickedPrgBtnDelete();
        EXPECT_EQ(5, listOf(dialog)->count());
        EXPECT_EQ(3, listOf(dialog)->currentRow());
        EXPECT_EQ("User 2", listOf(dialog)->item(4)->text());
    }, true);
    EXPECT_EQ(header("1.0", "ZentorinLite", 1) + "\r\n" + section(1, "Program", "User 2", "user2.zsf", 120).mid(2),
              TempEnvironment::ReadBytes(lists.user));
    EXPECT_FALSE(QFileInfo::exists(lists.env.Path("data/Contents/Prg/user1")));
    EXPECT_TRUE(QFileInfo::exists(lists.env.Path("data/Contents/Prg/user2/user2.zsf")));
    const auto changed = messages.Sent(2104);
    ASSERT_EQ(1, changed.size());
    EXPECT_EQ(&parent, changed[0].target);
    EXPECT_EQ(1u, changed[0].wParam);

    // the last user program, alone at index 0: it stays selected, and the user folder goes with the list
    TempEnvironment::WriteBytes(lists.system, header());
    boxes.ExpectDefault(deleteQuestion("User 2"), kDeleteStyle);
    CDlgProgram last(lists.system, lists.user, nullptr);
    run(last, [&] {
        EXPECT_EQ(0, listOf(last)->currentRow());
        last.OnBnClickedPrgBtnDelete();
        EXPECT_EQ(0, listOf(last)->count());
        EXPECT_EQ(-1, last.GetProgNum());  // nothing left to select: the list answers "no selection"
    }, true);
    EXPECT_FALSE(QFileInfo::exists(lists.env.Path("data/Contents/Prg")));
}

TEST(DlgProgram, ADeleteRemovesOnlyThatProgramsOwnFolderFromTheListAsTheDialogReadIt)
{
    const auto withOdd = [](const char* script) {
        return header("1.0", "ZentorinLite", 2) + section(1, "Program", "User 1", "user1.zsf") + section(2, "Program", "Odd", script);
    };
    const QByteArray reordered = header("1.0", "ZentorinLite", 2) + section(1, "Program", "User 2", "user2.zsf", 120)
                                 + section(2, "Program", "User 1", "user1.zsf", 60);
    const struct {
        QByteArray list;       // the user list the dialog reads
        int entry;             // the one the user deletes
        const char* title;
        QByteArray meanwhile;  // what another process makes of the list before the delete, if anything
    } cases[] = {
        // a script that names no folder of its own would name the whole user folder
        {withOdd(""), 5, "Odd", {}}, {withOdd("."), 5, "Odd", {}}, {withOdd(".."), 5, "Odd", {}},
        // reordered after the dialog read it: the section the dialog knows holds another program now
        {header("1.0", "ZentorinLite", 2) + section(1, "Program", "User 1", "user1.zsf", 60) + section(2, "Program", "User 2", "user2.zsf", 120),
         4, "User 1", reordered},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list.toStdString());
        ProgramLists lists(2);
        TempEnvironment::WriteBytes(lists.user, c.list);
        MessageBoxScript boxes;
        boxes.ExpectDefault(deleteQuestion(c.title), kDeleteStyle);
        boxes.Expect(QString::fromUtf8("番組リストファイルの処理に失敗しました。"), platform::MB_OK | platform::MB_ICONEXCLAMATION, platform::IDOK);
        CDlgProgram dialog(lists.system, lists.user, nullptr);
        run(dialog, [&] {
            clickEntry(listOf(dialog), c.entry);
            if (!c.meanwhile.isEmpty())
                TempEnvironment::WriteBytes(lists.user, c.meanwhile);
            dialog.OnBnClickedPrgBtnDelete();
        }, true);
        EXPECT_EQ(c.meanwhile.isEmpty() ? c.list : c.meanwhile, TempEnvironment::ReadBytes(lists.user));
        EXPECT_TRUE(QFileInfo::exists(lists.env.Path("data/Contents/Prg/user1/user1.zsf")));
        EXPECT_TRUE(QFileInfo::exists(lists.env.Path("data/Contents/Prg/user2/user2.zsf")));
    }
}

TEST(DlgProgram, ADoubleClickOpensTheEntryUnderItAndSaysWhereItLandedOnNone)
{
    ProgramLists lists(1);
    MessageBoxScript boxes;
    boxes.Expect("bOut = 1, uClicked = 4", platform::MB_OK, platform::IDOK);  // below the last of five
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    EXPECT_EQ(1, run(dialog, [&] {
        QListWidget* list = listOf(dialog);
        const QRect last = list->visualItemRect(list->item(4));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, last.center() + QPoint(0, last.height()));
        EXPECT_TRUE(dialog.isVisible());  // nothing was opened
        // the right and middle buttons neither select nor open
        const int selected = list->currentRow();
        for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
            QTest::mouseClick(list->viewport(), button, {}, list->visualItemRect(list->item(2)).center());
            QTest::mouseDClick(list->viewport(), button, {}, list->visualItemRect(list->item(2)).center());
            EXPECT_TRUE(dialog.isVisible()) << button;
            EXPECT_EQ(selected, list->currentRow()) << button;
        }
        dialog.OnLButtonDblClk(0, list->viewport()->mapTo(&dialog, list->visualItemRect(list->item(1)).center()));
    }));
    EXPECT_EQ(QString::fromUtf8("冬の大三角"), dialog.GetProgTitle());
}

// The title, the buttons and the entries' details are pictures and drawings: a screen reader
// hears the words drawn there, and the flat scroll bar as a scroll bar it can read and move.
TEST(DlgProgram, AScreenReaderHearsTheWordsDrawnAndTheScrollBarsPlace)
{
    ProgramLists lists(4);
    CDlgProgram dialog(lists.system, lists.user, &lists.host, nullptr);
    dialog.show();
    QApplication::processEvents();
    const auto spoken = [](QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); };
    EXPECT_EQ("プラネタリウム番組", spoken(&dialog));
    const struct { int id; const char* name; } buttons[] = {{1018, "開く"}, {1019, "閉じる"}, {1020, "削除"}, {57670, "ヘルプ"}};
    for (const auto& b : buttons)
        EXPECT_EQ(QString::fromUtf8(b.name), spoken(dialog.GetDlgItem(b.id))) << b.id;

    QAccessibleInterface* entries = QAccessible::queryAccessibleInterface(listOf(dialog));
    ASSERT_EQ(8, entries->childCount());
    EXPECT_EQ("冬の大三角", entries->child(1)->text(QAccessible::Name));
    EXPECT_EQ("上映時間：25分00秒\nシナリオ・ナレーション：", entries->child(1)->text(QAccessible::Description));

    QAccessibleInterface* scroll = QAccessible::queryAccessibleInterface(listOf(dialog)->findChild<CZntFlatScrollBar*>());
    EXPECT_EQ(QAccessible::ScrollBar, scroll->role());
    EXPECT_EQ("プラネタリウム番組", scroll->text(QAccessible::Name));
    QAccessibleValueInterface* value = scroll->valueInterface();
    EXPECT_EQ(QList<int>({0, 2}), QList<int>({value->currentValue().toInt(), value->maximumValue().toInt()}));  // six seen of eight
    value->setCurrentValue(2);  // as a screen reader moves it: the list follows
    EXPECT_EQ(QList<int>({2, 2}), QList<int>({value->currentValue().toInt(), listOf(dialog)->indexAt(QPoint(5, 5)).row()}));
}
