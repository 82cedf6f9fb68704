#include "favorites/DlgAddFavorites.h"
#include "favorites/DlgFavorites.h"
#include "platform/MessageBox.h"
#include "support/zvncst/FolderBrowser.h"
#include "support/zvncst/FolderTreeFiles.h"
#include "support/zvnreg/Registry.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/ShellRecorder.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace platform;

namespace {

const QString kForbidden = QStringLiteral("ファイル名には次の文字は使用できません。\n         \\ / : , ; * ? \" < > |");

// a favourites root on real folders; the trash is the test's own
struct Favorites : ::testing::Test {
    TempEnvironment env;
    QString root = env.Path("Favorites");
    QByteArray oldHome = qgetenv("HOME"), oldData = qgetenv("XDG_DATA_HOME");
    ScriptedHost host;

    Favorites()
    {
        qputenv("HOME", QFile::encodeName(env.Root()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(env.Path("data")));
        scene("冬.zsf", "[General]\r\nFileId=Scene\r\nDescription=a\\r\\nb\r\n");
        scene("夏/星.zsf", "[General]\r\nDescription=plain\r\n");
        QDir().mkpath(root + "/空");
    }
    ~Favorites()
    {
        qputenv("HOME", oldHome);
        qputenv("XDG_DATA_HOME", oldData);
    }
    void scene(const QString& relative, const QByteArray& bytes) const { TempEnvironment::WriteBytes(root + u'/' + relative, bytes); }
    bool exists(const QString& relative) const { return QFileInfo::exists(root + u'/' + relative); }
    QStringList trash() const { return QDir(env.Path("data/Trash/files")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries); }
};

bool enabled(CZntDialog& dialog, int id) { return dialog.GetDlgItem(id)->isEnabled(); }

}  // namespace

TEST_F(Favorites, NewNamesAndMovesNeverOverwriteNorLeaveTheRoot)
{
    using namespace foldertree;
    EXPECT_EQ(ForbiddenCharactersMessage(), kForbidden);
    EXPECT_EQ(NewFolderName(root), "新しいフォルダー");
    QDir().mkpath(root + "/新しいフォルダー");
    EXPECT_EQ(NewFolderName(root), "新しいフォルダー (2)");
    EXPECT_EQ(Move(root, root + "/冬.zsf", root + "/夏/星.zsf"), MoveResult::Exists);
    EXPECT_EQ(Move(root, root + "/夏", root + "/夏/x/夏"), MoveResult::IntoItself);
    EXPECT_EQ(Move(root, root + "/冬.zsf", env.Path("outside.zsf")), MoveResult::Outside);
    EXPECT_EQ(Move(root, root + "/冬.zsf", root + "/空/冬.zsf"), MoveResult::Moved);
    EXPECT_TRUE(exists("空/冬.zsf"));
    EXPECT_EQ(TempEnvironment::ReadBytes(root + "/夏/星.zsf"), "[General]\r\nDescription=plain\r\n");
}

// the organise dialog: its buttons and description follow the selection, and each button acts on disk
TEST_F(Favorites, TheOrganizeDialogFollowsTheSelectionAndActsOnDisk)
{
    CDlgFavorites dialog(&host, root, nullptr);
    dialog.show();
    CZntTreeCtrlEx& tree = dialog.Tree();
    EXPECT_EQ(tree.GetRootItem()->text(0), "お気に入り");
    EXPECT_TRUE(enabled(dialog, 1001));
    EXPECT_FALSE(enabled(dialog, 1002) || enabled(dialog, 1003) || enabled(dialog, 1004));

    tree.SelectItem(tree.FindItem(root + "/冬.zsf"));
    EXPECT_FALSE(enabled(dialog, 1001));
    EXPECT_TRUE(enabled(dialog, 1002) && enabled(dialog, 1003) && enabled(dialog, 1004));
    EXPECT_EQ(dialog.GetDlgItemText(1005), "a\nb");
    tree.SelectItem(tree.FindItem(root + "/夏/星.zsf"));
    EXPECT_EQ(dialog.GetDlgItemText(1005), "plain");
    tree.SelectItem(tree.FindItem(root + "/夏"));
    EXPECT_TRUE(enabled(dialog, 1001));
    EXPECT_EQ(dialog.GetDlgItemText(1005), "");

    for (int n = 0; n < 2; ++n) {
        tree.SelectItem(tree.GetRootItem());
        dialog.DispatchCommand(BN_CLICKED, 1001);
    }
    EXPECT_TRUE(exists("新しいフォルダー") && exists("新しいフォルダー (2)"));

    QTreeWidgetItem* winter = tree.FindItem(root + "/冬.zsf");
    {
        MessageBoxScript boxes;
        boxes.Expect(kForbidden, MB_OK | MB_ICONEXCLAMATION, IDOK);
        boxes.Expect(foldertree::ExistsMessage(root + "/新しいフォルダー"), MB_OK | MB_ICONEXCLAMATION, IDOK);
        EXPECT_EQ(tree.RenameItem(winter, "a,b"), 0);
        EXPECT_EQ(tree.RenameItem(tree.FindItem(root + "/新しいフォルダー (2)"), "新しいフォルダー"), 0);
    }
    EXPECT_EQ(winter->text(0), "冬");
    EXPECT_EQ(tree.RenameItem(winter, "冬の空"), 1);
    EXPECT_TRUE(exists("冬の空.zsf"));
    EXPECT_FALSE(exists("冬.zsf"));

    tree.SelectItem(tree.FindItem(root + "/夏"));
    MessageBoxScript boxes;
    boxes.Expect("「夏」をごみ箱に移動しますか?", MB_YESNO | MB_ICONQUESTION, IDNO);
    boxes.Expect("「夏」をごみ箱に移動しますか?", MB_YESNO | MB_ICONQUESTION, IDYES);
    dialog.DispatchCommand(BN_CLICKED, 1004);
    EXPECT_TRUE(exists("夏/星.zsf"));
    dialog.DispatchCommand(BN_CLICKED, 1004);
    EXPECT_FALSE(exists("夏"));
    EXPECT_EQ(trash(), QStringList{"夏"});

    {
        ShellRecorder shell;
        dialog.DispatchCommand(BN_CLICKED, 1023);
        ASSERT_EQ(shell.Calls().size(), 1);
        EXPECT_EQ(shell.Calls()[0].verb + "|" + shell.Calls()[0].file, "explore|" + root);
    }
    ShellRecorder failing(32);  // 32 and below: the file manager did not open
    boxes.Expect("以下のフォルダを開くことができません。\n" + root, MB_OK, IDOK);
    dialog.DispatchCommand(BN_CLICKED, 1023);
}

TEST_F(Favorites, MoveUsesTheChooserAndNeverOverwrites)
{
    scene("空/冬.zsf", "other");
    QStringList asked;
    QString answer;
    const auto previous = CFolderBrowser::SetHandler([&](QWidget*, const QString& root, const QString& start, const QString& title, unsigned flags) {
        asked << root << start << title << QString::number(flags);
        return answer;
    });
    CDlgFavorites dialog(&host, root, nullptr);
    dialog.show();
    CZntTreeCtrlEx& tree = dialog.Tree();
    tree.SelectItem(tree.FindItem(root + "/冬.zsf"));
    dialog.DispatchCommand(BN_CLICKED, 1003);  // cancelled
    EXPECT_EQ(asked, (QStringList{root, root, "選択されたファイルの移動先フォルダをクリックしてください。", "4"}));
    {
        MessageBoxScript boxes;
        boxes.Expect(foldertree::ExistsMessage(root + "/空/冬.zsf"), MB_OK | MB_ICONEXCLAMATION, IDOK);
        answer = root + "/空";
        dialog.DispatchCommand(BN_CLICKED, 1003);
    }
    EXPECT_EQ(TempEnvironment::ReadBytes(root + "/空/冬.zsf"), "other");
    answer = root + "/夏";
    dialog.DispatchCommand(BN_CLICKED, 1003);
    EXPECT_TRUE(exists("夏/冬.zsf"));
    EXPECT_FALSE(exists("冬.zsf"));
    CFolderBrowser::SetHandler(previous);
    // the chooser itself shows the root as the tree does
    CFolderBrowser::ShowWindow(&dialog, root, root, "", [](QWidget& window) {
        EXPECT_EQ(window.findChild<QTreeWidget*>()->topLevelItem(0)->text(0), "お気に入り");
        QMetaObject::invokeMethod(&window, "reject");
    });
}

TEST_F(Favorites, TreeFollowsTheDiskAndKeepsLinksOutOfTheRootOut)
{
    TempEnvironment::WriteBytes(env.Path("elsewhere/secret.zsf"), "x");
    QFile::link(env.Path("elsewhere"), root + "/link");
    CDlgFavorites dialog(&host, root, nullptr);
    dialog.show();
    CZntTreeCtrlEx& tree = dialog.Tree();
    EXPECT_EQ(tree.FindItem(root + "/link"), nullptr);
    scene("空/新.zsf", "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree.FindItem(root + "/空/新.zsf") != nullptr; }, 5000));
    // a scene moved between two folders while the dialog is open: both change in one read
    QFile::rename(root + "/空/新.zsf", root + "/夏/新.zsf");
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree.FindItem(root + "/夏/新.zsf") != nullptr; }, 5000));
    EXPECT_EQ(tree.FindItem(root + "/空/新.zsf"), nullptr);
}

// what is no number reads as 0
TEST_F(Favorites, ProposedNameFromTheHostsDateWhateverItAnswers)
{
    const struct { const char* year; const char* month; const char* day; const char* name; } cases[] = {
        {"2026年", "3月", "5日", "2026-03-05 星図3"},
        {"-99", "7", "4", "BC100-07-04 星図3"},
        {"0", "x", "1", "BC1-00-01 星図3"},
        {"", "", "", "BC1-00-00 星図3"},  // no answer at all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHost host;
        host.Answer("? time.year", c.year).Answer("? time.month", c.month).Answer("? time.day", c.day);
        CDlgAddFavorites dialog(&host, root, nullptr);
        dialog.SetFavoritesIndex(3);
        dialog.show();
        EXPECT_EQ(dialog.GetDlgItemText(1008), QString::fromUtf8(c.name));
        EXPECT_EQ(host.Commands(), (QStringList{"? time.year", "? time.month", "? time.day"}));
    }
}

TEST_F(Favorites, FoldsTheFolderPartAndKeepsItsStateOnOkOnly)
{
    CDlgAddFavorites dialog(&host, root, nullptr);
    dialog.show();
    const int folded = dialog.height();
    EXPECT_EQ(dialog.GetDlgItemText(1011), "フォルダ(&C) >>");
    EXPECT_FALSE(enabled(dialog, 1010) || enabled(dialog, 1012));
    // folded, nothing of the folder part shows (tree, its label, new folder) and all the rest does
    for (QWidget* w : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        auto* label = qobject_cast<QLabel*>(w);
        const bool folderPart = w == dialog.GetDlgItem(1010) || w == dialog.GetDlgItem(1012) || (label && label->buddy() == dialog.GetDlgItem(1010));
        EXPECT_TRUE(folderPart ? w->y() >= folded : w->geometry().bottom() < folded) << w->objectName().toStdString();
    }
    dialog.DispatchCommand(BN_CLICKED, 1011);
    EXPECT_EQ(dialog.height(), folded + dialog.GetFoldHeight());
    EXPECT_EQ(dialog.height(), dialog.Units().Y(246));
    EXPECT_EQ(dialog.GetDlgItemText(1011), "フォルダ(&C) <<");
    EXPECT_TRUE(enabled(dialog, 1010) && enabled(dialog, 1012));
    dialog.DispatchCommand(BN_CLICKED, 2);
    int expanded = -1;
    CRegistry::Read("Dialog\\AddFavorites", "IsExpanded", -1, &expanded);
    EXPECT_EQ(expanded, -1);

    CDlgAddFavorites second(&host, root, nullptr);
    second.show();
    second.DispatchCommand(BN_CLICKED, 1011);
    second.DispatchCommand(BN_CLICKED, 1);
    CRegistry::Read("Dialog\\AddFavorites", "IsExpanded", -1, &expanded);
    EXPECT_EQ(expanded, 1);
    CDlgAddFavorites third(&host, root, nullptr);
    third.show();
    EXPECT_EQ(third.height(), third.Units().Y(246));
    EXPECT_EQ(third.GetDlgItemText(1011), "フォルダ(&C) <<");
}

TEST_F(Favorites, EveryOpeningLimitsTheNameAndTheDescription)
{
    CDlgAddFavorites dialog(&host, root, nullptr);
    for (int opening = 0; opening < 2; ++opening) {
        QTimer::singleShot(0, &dialog, [&] {
            dialog.SetDlgItemText(1008, QString(130, u'x'));
            dialog.SetDlgItemText(1009, QString(1025, u'x'));  // one past the limit
            EXPECT_EQ(dialog.GetDlgItemText(1008).size(), 128) << "opening " << opening;
            EXPECT_EQ(dialog.GetDlgItemText(1009).size(), 1024) << "opening " << opening;
            // typed or pasted in the middle of a full box, or a paste longer than the room left:
            // what passes the limit is refused where it comes in, and the text around it stays
            auto* description = qobject_cast<QTextEdit*>(dialog.GetDlgItem(1009));
            QTextCursor cursor(description->document());
            cursor.setPosition(10);
            description->setTextCursor(cursor);
            QTest::keyClick(description, Qt::Key_Y);
            EXPECT_EQ(dialog.GetDlgItemText(1009), QString(1024, u'x'));
            dialog.SetDlgItemText(1009, QString(1020, u'x') + "end");
            cursor.setPosition(10);
            cursor.insertText("PASTED");
            EXPECT_EQ(dialog.GetDlgItemText(1009), QString(10, u'x') + "P" + QString(1010, u'x') + "end");
            dialog.DispatchCommand(BN_CLICKED, 2);
        });
        dialog.DoModal();
    }
}

TEST_F(Favorites, OkChecksTheNameAndAsksBeforeOverwriting)
{
    CDlgAddFavorites dialog(&host, root, nullptr);
    dialog.show();
    MessageBoxScript boxes;
    boxes.Expect("ファイル名を入力してください。", MB_OK, IDOK);
    boxes.Expect(kForbidden, MB_OK, IDOK);
    boxes.Expect(root + "/冬.zsf は既に存在します。\n上書きしますか?", MB_YESNO | MB_ICONWARNING, IDNO);
    boxes.Expect(root + "/冬.zsf は既に存在します。\n上書きしますか?", MB_YESNO | MB_ICONWARNING, IDYES);
    for (const char* name : {"", "a,b", "冬", "冬"}) {
        EXPECT_TRUE(dialog.isVisible());
        dialog.SetDlgItemText(1008, QString::fromUtf8(name));
        dialog.DispatchCommand(BN_CLICKED, 1);
    }
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.GetPath(), root + "/");

    // a selected scene gives its folder; the description becomes one line
    dialog.show();
    dialog.Tree().SelectItem(dialog.Tree().FindItem(root + "/夏/星.zsf"));
    dialog.SetDlgItemText(1008, "新");
    dialog.SetDlgItemText(1009, "a\nb\\n");
    dialog.DispatchCommand(BN_CLICKED, 1);
    EXPECT_EQ(dialog.GetPath(), root + "/夏/");
    EXPECT_EQ(dialog.GetDescription(), "a\\r\\nb\\r\\n");
}
