// A disk that fills part-way through a write, a folder that cannot be
// written, and a rename that fails, under the program list, the settings and
// the favourites: each says so with its own message and leaves every file as
// it was, byte for byte.
#include "cloud/DlgCloudLogin.h"
#include "favorites/DlgAddFavorites.h"
#include "favorites/DlgFavorites.h"
#include "frame/ModuleMessages.h"
#include "host/app/DataFolders.h"
#include "host/app/HostWindow.h"
#include "host/core/SimulatedCore.h"
#include "program/DlgProgram.h"
#include "program/PrgSection.h"
#include "support/zvnreg/Registry.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/support/Mounts.h"
#include "tests/faults/Snapshot.h"
#include "tests/program/ListFiles.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempEnvironment.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QTreeWidgetItem>
#include <gtest/gtest.h>

using namespace platform;

namespace {

const QString kCreateFailed = QStringLiteral("番組情報ファイルを作成できません。");
const QString kUpdateFailed = QStringLiteral("番組情報ファイルを更新できません。");
const QString kListFailed = QStringLiteral("番組リストファイルの処理に失敗しました。");

// A user program list of 40 programs, each with its folder and scene, large
// enough (about 12 KB) that a write of it spans several pages of a small disk.
struct UserPrograms {
    TempEnvironment env;
    QString folder = env.Path("data/Contents/Prg");
    QString list = folder + "/zvnprg.lst";
    QString system = env.Path("data/System/zvnprg.lst");
    QString info = env.Path("info.txt");
    static constexpr int kCount = 40;

    UserPrograms() { QDir().mkpath(folder); }

    void Write() const
    {
        QByteArray bytes = listfiles::header("1.0", "ZentorinLite", kCount);
        for (int n = 1; n <= kCount; ++n) {
            bytes += listfiles::section(n, "Program", QStringLiteral("番組 %1").arg(n), QStringLiteral("user%1.zsf").arg(n), 60)
                     + "Summary=" + QByteArray(200, 's') + "\r\n";
            TempEnvironment::WriteBytes(folder + QStringLiteral("/user%1/user%1.zsf").arg(n), "scene");
        }
        ASSERT_TRUE(TempEnvironment::WriteBytes(list, bytes));
        TempEnvironment::WriteBytes(system, listfiles::header());
        TempEnvironment::WriteBytes(info, "Type=Program\r\nTitle=New\r\nScript=new.zsf\r\n");
    }

    // the dialog's delete of the first user program, answered OK: the failure's box, no list change told
    void DeleteInDialog(MessageBoxScript& boxes) const
    {
        WindowMessageRecorder messages;
        QWidget parent;
        CDlgProgram dialog(system, list, &parent);
        QTimer::singleShot(0, &dialog, [&] {
            boxes.Expect(QStringLiteral("次の番組ファイルを削除します。\n\n\u3000「番組 1」"), MB_OKCANCEL | MB_ICONASTERISK, IDOK);
            boxes.Expect(kListFailed, MB_OK | MB_ICONEXCLAMATION, IDOK);
            dialog.OnBnClickedPrgBtnDelete();
            EXPECT_EQ(kCount, qobject_cast<QListWidget*>(dialog.GetDlgItem(1015))->count());
            dialog.EndDialog(IDCANCEL);
        });
        dialog.DoModal();
        EXPECT_TRUE(messages.Sent(WM_PRGLISTCHANGED).isEmpty());
    }

    // every editor of the list refuses with its message and leaves the folder as it was
    void EveryEditFails() const
    {
        const auto before = Snapshot(folder);
        {
            MessageBoxScript boxes;
            boxes.Expect(kUpdateFailed, MB_OK, IDOK);
            EXPECT_EQ(0, CPrgSection::Add(list, info));
            EXPECT_EQ(0, CPrgSection::Delete(list, "user3"));  // silent, as it is on every failure
            DeleteInDialog(boxes);
        }
        EXPECT_EQ(before, Snapshot(folder)) << Names(Snapshot(folder)).join(' ').toStdString();
    }
};

}  // namespace

TEST(ProgramListFaults, AFullDiskLeavesTheListAndThePrograms)
{
    UserPrograms programs;
    auto disk = ScopedMount::Tmpfs(programs.folder, 512 * 1024);
    SKIP_UNLESS_MOUNTED(disk);
    programs.Write();
    const qint64 listPages = (QFileInfo(programs.list).size() + 4095) / 4096 * 4096;
    ASSERT_GT(listPages, 8192);

    // one page free: each new list runs out part-way
    ASSERT_TRUE(FillDisk(programs.folder, 4096));
    programs.EveryEditFails();

    // room for the add's copy of the list, none for the count written into it: no copy stays behind
    ASSERT_TRUE(FillDisk(programs.folder, listPages));
    {
        const auto before = Snapshot(programs.folder);
        MessageBoxScript boxes;
        boxes.Expect(kUpdateFailed, MB_OK, IDOK);
        EXPECT_EQ(0, CPrgSection::Add(programs.list, programs.info));
        EXPECT_EQ(before, Snapshot(programs.folder)) << Names(Snapshot(programs.folder)).join(' ').toStdString();
    }

    // nothing free: a new list cannot be made
    ASSERT_TRUE(FillDisk(programs.folder, 0));
    MessageBoxScript boxes;
    boxes.Expect(kCreateFailed, MB_OK, IDOK).Expect(kUpdateFailed, MB_OK, IDOK);
    EXPECT_EQ(0, CPrgSection::Add(programs.folder + "/user1/zvnprg.lst", programs.info));
    EXPECT_FALSE(QFileInfo::exists(programs.folder + "/user1/zvnprg.lst"));
}

TEST(ProgramListFaults, AFolderThatCannotBeWrittenLeavesTheListAndThePrograms)
{
    UserPrograms programs;
    programs.Write();
    auto readOnly = ScopedMount::ReadOnly(programs.folder);
    SKIP_UNLESS_MOUNTED(readOnly);
    programs.EveryEditFails();
}

TEST(ProgramListFaults, ARenameOverTheListThatFailsLeavesTheListAndThePrograms)
{
    UserPrograms programs;
    programs.Write();
    // the list itself is a mount point: it reads, but nothing can be renamed over it
    auto pinned = ScopedMount::ReadOnly(programs.list);
    SKIP_UNLESS_MOUNTED(pinned);
    programs.EveryEditFails();
}

namespace {

// A settings file of some size, with an account, on a folder of the test's choosing.
struct Settings {
    TempEnvironment env;
    QString folder = QFileInfo(env.SettingsFile()).absolutePath();
    ScriptedHost host;

    Settings()
    {
        QDir().mkpath(folder);
        host.Answer("? time.year", "2026").Answer("? time.month", "1").Answer("? time.day", "15");
    }
    void Write() const
    {
        CRegistry::Write("General\\Authentication", "AccessToken", "0123456789abcdef0123456789abcdef");
        CRegistry::Write("General\\Authentication", "AccessTokenSecret", "fedcba9876543210fedcba9876543210");
        for (int n = 1; n <= 40; ++n)
            CRegistry::Write("General\\ADF", QStringLiteral("ADF%1").arg(n), QStringLiteral("/home/user/Adf/%1/").arg(n) + QString(200, u'a'));
    }

    // the add dialog stores its folder state on OK; the write that fails changes neither the file nor the dialog's end
    void AddDialogEndsAndTheFileStays()
    {
        const auto before = Snapshot(folder);
        EXPECT_EQ(0, CRegistry::Write("Dialog\\AddFavorites", "IsExpanded", 1, 0));
        CDlgAddFavorites dialog(&host, env.Path("Favorites"), nullptr);
        QDir().mkpath(env.Path("Favorites"));
        QTimer::singleShot(0, &dialog, [&] {
            dialog.OnBnClickedFadBtnFolder();
            dialog.OnOK();
        });
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ(before, Snapshot(folder)) << Names(Snapshot(folder)).join(' ').toStdString();
    }
};

}  // namespace

TEST(SettingsFaults, AFullDiskOrAReadOnlyFolderLeavesTheSettingsFile)
{
    {
        Settings settings;
        auto disk = ScopedMount::Tmpfs(settings.folder, 256 * 1024);
        SKIP_UNLESS_MOUNTED(disk);
        settings.Write();
        ASSERT_GT(QFileInfo(settings.env.SettingsFile()).size(), 8192);
        ASSERT_TRUE(FillDisk(settings.folder, 4096));
        settings.AddDialogEndsAndTheFileStays();
    }
    Settings settings;
    settings.Write();
    auto readOnly = ScopedMount::ReadOnly(settings.folder);
    SKIP_UNLESS_MOUNTED(readOnly);
    settings.AddDialogEndsAndTheFileStays();
}

TEST(SettingsFaults, ASignInOnADiskThatFillsKeepsTheOldAccountWhole)
{
    CloudFixture cloud;
    const QString token(300, u't'), secret(300, u's');
    cloud.service.Script("/api/register", cloud.answer(200, QString(R"({"status":200,"access_token":"%1","access_token_secret":"%2","name":"星野"})")
                                                               .arg(token, secret)
                                                               .toStdString()));
    const QString auth = "General\\Authentication";
    CRegistry::Write(auth, "AccessToken", "old");
    CRegistry::Write(auth, "AccessTokenSecret", "old");
    // padded so that the file with the new token still fits its pages, and with the new secret too does not
    CRegistry::Write("Exchange", "Pad", "");
    const qint64 bare = QFileInfo(cloud.env.SettingsFile()).size();
    const qint64 pages = (bare + 350) / 4096 + 1;
    CRegistry::Write("Exchange", "Pad", QString(pages * 4096 - 350 - bare, u'p'));
    const QByteArray before = TempEnvironment::ReadBytes(cloud.env.SettingsFile());
    const QString folder = QFileInfo(cloud.env.SettingsFile()).absolutePath();
    auto disk = ScopedMount::Tmpfs(folder, 256 * 1024);
    SKIP_UNLESS_MOUNTED(disk);
    TempEnvironment::WriteBytes(cloud.env.SettingsFile(), before);
    ASSERT_TRUE(FillDisk(folder, pages * 4096));

    CDlgCloudLogin dialog;
    QTimer::singleShot(0, &dialog, [&] {
        qobject_cast<QLineEdit*>(dialog.GetDlgItem(1043))->setText("s@example.org");
        qobject_cast<QLineEdit*>(dialog.GetDlgItem(1044))->setText("pw");
        dialog.DispatchCommand(BN_CLICKED, 1);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());  // signed in for this session; the module has no message for settings it cannot keep
    EXPECT_EQ(token.toLatin1(), dialog.GetAccessToken());
    EXPECT_EQ(before, TempEnvironment::ReadBytes(cloud.env.SettingsFile()));
}

namespace {

// The reference host over a favourites root that holds two scenes and a folder.
struct HostFavorites {
    TempEnvironment env;
    CDataFolders folders{env.Path("data")};
    QString root = folders.FavoritesRoot();
    QByteArray oldData = qgetenv("XDG_DATA_HOME");
    CSimulatedCore core;

    HostFavorites()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(env.Path("xdg")));  // the trash is the test's own
        EXPECT_TRUE(folders.Prepare());
    }
    ~HostFavorites() { qputenv("XDG_DATA_HOME", oldData); }

    void Scenes() const
    {
        TempEnvironment::WriteBytes(root + "冬.zsf", "[General]\r\nFileId=Scene\r\nDescription=オリオン\r\n");
        TempEnvironment::WriteBytes(root + "夏/星.zsf", "[General]\r\nFileId=Scene\r\nDescription=さそり\r\n");
    }

    // the user saves the chart over 「冬」, says yes to overwriting it, and is told the host could not save it
    void SaveOverWinter(const QString& shown)
    {
        CHostWindow window(core, folders);
        MessageBoxScript boxes;
        const QString scene = root + "冬.zsf";
        const QString saved = window.AddFavorite([&](CDlgAddFavorites& dialog) {
            qobject_cast<QLineEdit*>(dialog.GetDlgItem(1008))->setText("冬");
            boxes.Expect(QStringLiteral("%1 は既に存在します。\n上書きしますか?").arg(QFileInfo(scene).absoluteFilePath()),
                         MB_YESNO | MB_ICONWARNING, IDYES);
            boxes.Expect(shown, MB_OK | MB_ICONEXCLAMATION, IDOK);
            dialog.OnOK();
        });
        EXPECT_EQ(QString(), saved);
    }

    // the organise dialog's new folder, rename, move and delete of 「冬」, each refused with its message
    void OrganizeFails(bool trashable)
    {
        CDlgFavorites dialog(nullptr, root, nullptr);
        dialog.show();
        CZntTreeCtrlEx& tree = dialog.Tree();
        MessageBoxScript boxes;
        tree.SelectItem(tree.GetRootItem());
        boxes.Expect(QStringLiteral("フォルダを作成できません。\n%1").arg(QDir(root).filePath("新しいフォルダー")),
                     MB_OK | MB_ICONEXCLAMATION, IDOK);
        EXPECT_EQ(0, tree.NewFolder());
        QTreeWidgetItem* winter = tree.FindItem(root + "冬.zsf");
        ASSERT_NE(nullptr, winter);
        boxes.Expect("「冬」の名前を変更できません。", MB_OK | MB_ICONEXCLAMATION, IDOK);
        EXPECT_EQ(0, tree.RenameItem(winter, "冬の空"));
        EXPECT_EQ("冬", winter->text(0));
        tree.SelectItem(winter);
        boxes.Expect("「冬」を移動できません。", MB_OK | MB_ICONEXCLAMATION, IDOK);
        EXPECT_EQ(0, tree.MoveTo(root + "夏"));
        boxes.Expect("「冬」をごみ箱に移動しますか?", MB_YESNO | MB_ICONQUESTION, IDYES);
        if (!trashable)
            boxes.Expect("「冬」をごみ箱に移動できません。\n完全に削除しますか?", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, IDYES);
        boxes.Expect("「冬」を削除できません。", MB_OK | MB_ICONEXCLAMATION, IDOK);
        EXPECT_EQ(0, tree.Delete());
    }
};

}  // namespace

TEST(FavoritesFaults, AFullDiskKeepsTheScenesAndFolders)
{
    HostFavorites f;
    auto disk = ScopedMount::Tmpfs(f.root, 64 * 1024, 64);
    SKIP_UNLESS_MOUNTED(disk);
    f.Scenes();
    const auto before = Snapshot(f.root);
    ASSERT_TRUE(FillDisk(f.root, 0));
    f.SaveOverWinter(QStringLiteral("シーンを保存できません: %1").arg(f.root + "冬.zsf"));
    EXPECT_EQ(before, Snapshot(f.root));

    // no entry left for a folder
    ASSERT_TRUE(FillInodes(f.root));
    CDlgFavorites organize(nullptr, f.root, nullptr);
    organize.show();
    MessageBoxScript boxes;
    boxes.Expect(QStringLiteral("フォルダを作成できません。\n%1").arg(QDir(f.root).filePath("新しいフォルダー")), MB_OK | MB_ICONEXCLAMATION, IDOK);
    organize.Tree().SelectItem(organize.Tree().GetRootItem());
    EXPECT_EQ(0, organize.Tree().NewFolder());
    EXPECT_EQ(before, Snapshot(f.root));
}

TEST(FavoritesFaults, AReadOnlyFolderKeepsTheScenesAndFolders)
{
    HostFavorites f;
    f.Scenes();
    const auto before = Snapshot(f.root);
    auto readOnly = ScopedMount::ReadOnly(f.root);
    SKIP_UNLESS_MOUNTED(readOnly);
    f.SaveOverWinter(QStringLiteral("シーンを保存できません: %1").arg(f.root + "冬.zsf"));
    f.OrganizeFails(false);
    EXPECT_EQ(before, Snapshot(f.root));
}

TEST(FavoritesFaults, ASceneThatCannotBeRenamedIntoPlaceKeepsWhatWasThere)
{
    HostFavorites f;
    f.Scenes();
    const auto before = Snapshot(f.root);
    // the old scene is a mount point: the new one is written beside it, but cannot be renamed over it
    auto pinned = ScopedMount::ReadOnly(f.root + "冬.zsf");
    SKIP_UNLESS_MOUNTED(pinned);
    f.SaveOverWinter(QStringLiteral("シーンを保存できません: %1").arg(f.root + "冬.zsf"));
    EXPECT_EQ(before, Snapshot(f.root));
}
