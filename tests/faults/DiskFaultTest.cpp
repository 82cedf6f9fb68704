// A disk that fills part-way through a write, a folder that cannot be
// written, and a rename that fails, under the program list, the settings and
// the favourites: each says so with its own message and leaves every file as
// it was, byte for byte.
#include "favorites/DlgAddFavorites.h"
#include "favorites/DlgFavorites.h"
#include "frame/ModuleMessages.h"
#include "host/app/DataFolders.h"
#include "host/app/HostWindow.h"
#include "host/core/SimulatedCore.h"
#include "program/DlgProgram.h"
#include "program/PrgSection.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/faults/FaultFixture.h"
#include "tests/program/ListFiles.h"
#include "tests/support/Mounts.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QListWidget>
#include <QTreeWidgetItem>
#include <optional>

using namespace platform;

namespace {

const QString kUpdateFailed = QStringLiteral("番組情報ファイルを更新できません。");

// A user program list of 40 programs, each with its folder and scene, large
// enough (about 12 KB) that a write of it spans several pages of a small disk.
struct UserPrograms {
    TempEnvironment env;
    QString folder = env.Path("data/Contents/Prg");
    QString list = folder + "/zvnprg.lst";
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
        TempEnvironment::WriteBytes(env.Path("data/System/zvnprg.lst"), listfiles::header());
        TempEnvironment::WriteBytes(info, "Type=Program\r\nTitle=New\r\nScript=new.zsf\r\n");
    }

    // every editor of the list refuses with its message, tells no list change, and leaves the folder as it was
    void EveryEditFails() const
    {
        const auto before = Snapshot(folder);
        MessageBoxScript boxes;
        boxes.Expect(kUpdateFailed, MB_OK, IDOK);
        EXPECT_EQ(0, CPrgSection::Add(list, info));
        EXPECT_EQ(0, CPrgSection::Delete(list, "user3"));  // silent, as it is on every failure
        WindowMessageRecorder messages;
        QWidget parent;
        CDlgProgram dialog(env.Path("data/System/zvnprg.lst"), list, &parent);
        RunDialog(dialog, [&] {
            boxes.Expect(QStringLiteral("次の番組ファイルを削除します。\n\n\u3000「番組 1」"), MB_OKCANCEL | MB_ICONASTERISK, IDOK);
            boxes.Expect(QStringLiteral("番組リストファイルの処理に失敗しました。"), MB_OK | MB_ICONEXCLAMATION, IDOK);
            dialog.OnBnClickedPrgBtnDelete();
            EXPECT_EQ(kCount, qobject_cast<QListWidget*>(dialog.GetDlgItem(1015))->count());
            dialog.EndDialog(IDCANCEL);
        });
        EXPECT_TRUE(messages.Sent(WM_PRGLISTCHANGED).isEmpty());
        EXPECT_TRUE(Unchanged(before, folder));
    }
};

}  // namespace

TEST(ProgramListFaults, AFullDiskAReadOnlyFolderOrAPinnedListLeavesTheListAndThePrograms)
{
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
        const auto before = Snapshot(programs.folder);
        MessageBoxScript boxes;
        boxes.Expect(kUpdateFailed, MB_OK, IDOK);
        EXPECT_EQ(0, CPrgSection::Add(programs.list, programs.info));
        EXPECT_TRUE(Unchanged(before, programs.folder));
        // nothing free: a new list cannot be made
        ASSERT_TRUE(FillDisk(programs.folder, 0));
        boxes.Expect(QStringLiteral("番組情報ファイルを作成できません。"), MB_OK, IDOK).Expect(kUpdateFailed, MB_OK, IDOK);
        EXPECT_EQ(0, CPrgSection::Add(programs.folder + "/user1/zvnprg.lst", programs.info));
        EXPECT_FALSE(QFileInfo::exists(programs.folder + "/user1/zvnprg.lst"));
    }
    // the folder read-only; the list itself a mount point, which reads but cannot be renamed over
    for (const bool wholeFolder : {true, false}) {
        UserPrograms programs;
        programs.Write();
        auto readOnly = ScopedMount::ReadOnly(wholeFolder ? programs.folder : programs.list);
        SKIP_UNLESS_MOUNTED(readOnly);
        programs.EveryEditFails();
    }
}

TEST(SettingsFaults, AFullDiskOrAReadOnlyFolderLeavesTheSettingsFile)
{
    for (const bool full : {true, false}) {
        SCOPED_TRACE(full ? "full" : "read-only");
        TempEnvironment env;
        const QString folder = QFileInfo(env.SettingsFile()).absolutePath();
        QDir().mkpath(folder);
        QDir().mkpath(env.Path("Favorites"));
        std::optional<ScopedMount> disk;
        if (full)
            disk.emplace(ScopedMount::Tmpfs(folder, 256 * 1024));
        for (int n = 1; n <= 40; ++n)
            CRegistry::Write("General\\ADF", QStringLiteral("ADF%1").arg(n), QStringLiteral("/home/user/Adf/%1/").arg(n) + QString(200, u'a'));
        ASSERT_GT(QFileInfo(env.SettingsFile()).size(), 8192);
        if (full)
            ASSERT_TRUE(FillDisk(folder, 4096));
        else
            disk.emplace(ScopedMount::ReadOnly(folder));
        SKIP_UNLESS_MOUNTED(*disk);
        // the add dialog stores its folder state on OK; the write that fails changes neither the file nor the dialog's end
        const auto before = Snapshot(folder);
        EXPECT_EQ(0, CRegistry::Write("Dialog\\AddFavorites", "IsExpanded", 1, 0));
        ScriptedHost host;
        CDlgAddFavorites dialog(&host, env.Path("Favorites"), nullptr);
        EXPECT_EQ(IDOK, RunDialog(dialog, [&] {
                      dialog.OnBnClickedFadBtnFolder();
                      dialog.OnOK();
                  }));
        EXPECT_TRUE(Unchanged(before, folder));
    }
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
    EXPECT_EQ(IDOK, RunDialog(dialog, [&] { SignIn(dialog); }));  // signed in for this session; the module has no message for settings it cannot keep
    EXPECT_EQ(token.toLatin1(), dialog.GetAccessToken());
    EXPECT_EQ(before, TempEnvironment::ReadBytes(cloud.env.SettingsFile()));
}

namespace {

// The reference host over a favourites root that holds two scenes and a folder; the trash is the test's own.
struct HostFavorites {
    TempEnvironment env;
    CDataFolders folders{env.Path("data")};
    QString root = folders.FavoritesRoot();
    QByteArray oldData = qgetenv("XDG_DATA_HOME");
    CSimulatedCore core;

    HostFavorites()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(env.Path("xdg")));
        EXPECT_TRUE(folders.Prepare());
    }
    ~HostFavorites() { qputenv("XDG_DATA_HOME", oldData); }

    void Scenes() const
    {
        TempEnvironment::WriteBytes(root + "冬.zsf", "[General]\r\nFileId=Scene\r\nDescription=オリオン\r\n");
        TempEnvironment::WriteBytes(root + "夏/星.zsf", "[General]\r\nFileId=Scene\r\nDescription=さそり\r\n");
    }

    // the user saves the chart over 「冬」, says yes to overwriting it, and is told the host could not save it
    void SaveOverWinter()
    {
        CHostWindow window(core, folders);
        MessageBoxScript boxes;
        const QString scene = root + "冬.zsf";
        const QString saved = window.AddFavorite([&](CDlgAddFavorites& dialog) {
            qobject_cast<QLineEdit*>(dialog.GetDlgItem(1008))->setText("冬");
            boxes.Expect(QStringLiteral("%1 は既に存在します。\n上書きしますか?").arg(QFileInfo(scene).absoluteFilePath()),
                         MB_YESNO | MB_ICONWARNING, IDYES);
            boxes.Expect(QStringLiteral("シーンを保存できません: %1").arg(scene), MB_OK | MB_ICONEXCLAMATION, IDOK);
            dialog.OnOK();
        });
        EXPECT_EQ(QString(), saved);
    }

    // the organise dialog's new folder, and with `all` its rename, move and delete of 「冬」, each refused with its message
    void OrganizeFails(bool all)
    {
        CDlgFavorites dialog(nullptr, root, nullptr);
        dialog.show();
        CZntTreeCtrlEx& tree = dialog.Tree();
        MessageBoxScript boxes;
        tree.SelectItem(tree.GetRootItem());
        boxes.Expect(QStringLiteral("フォルダを作成できません。\n%1").arg(QDir(root).filePath("新しいフォルダー")), MB_OK | MB_ICONEXCLAMATION, IDOK);
        EXPECT_EQ(0, tree.NewFolder());
        if (!all)
            return;
        QTreeWidgetItem* winter = tree.FindItem(root + "冬.zsf");
        ASSERT_NE(nullptr, winter);
        boxes.Expect("「冬」の名前を変更できません。", MB_OK | MB_ICONEXCLAMATION, IDOK);
        EXPECT_EQ(0, tree.RenameItem(winter, "冬の空"));
        EXPECT_EQ("冬", winter->text(0));
        tree.SelectItem(winter);
        boxes.Expect("「冬」を移動できません。", MB_OK | MB_ICONEXCLAMATION, IDOK);
        EXPECT_EQ(0, tree.MoveTo(root + "夏"));
        boxes.Expect("「冬」をごみ箱に移動しますか?", MB_YESNO | MB_ICONQUESTION, IDYES)
            .Expect("「冬」をごみ箱に移動できません。\n完全に削除しますか?", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, IDYES)
            .Expect("「冬」を削除できません。", MB_OK | MB_ICONEXCLAMATION, IDOK);
        EXPECT_EQ(0, tree.Delete());
    }
};

}  // namespace

TEST(FavoritesFaults, AFullDiskAReadOnlyFolderOrAPinnedSceneKeepsTheScenesAndFolders)
{
    {
        HostFavorites f;
        auto disk = ScopedMount::Tmpfs(f.root, 64 * 1024, 64);
        SKIP_UNLESS_MOUNTED(disk);
        f.Scenes();
        const auto before = Snapshot(f.root);
        ASSERT_TRUE(FillDisk(f.root, 0));
        f.SaveOverWinter();
        ASSERT_TRUE(FillInodes(f.root));  // no entry left for a folder
        f.OrganizeFails(false);
        EXPECT_TRUE(Unchanged(before, f.root));
    }
    {
        HostFavorites f;
        f.Scenes();
        const auto before = Snapshot(f.root);
        auto readOnly = ScopedMount::ReadOnly(f.root);
        SKIP_UNLESS_MOUNTED(readOnly);
        f.SaveOverWinter();
        f.OrganizeFails(true);
        EXPECT_TRUE(Unchanged(before, f.root));
    }
    // the old scene is a mount point: the new one is written beside it, but cannot be renamed over it
    HostFavorites f;
    f.Scenes();
    const auto before = Snapshot(f.root);
    auto pinned = ScopedMount::ReadOnly(f.root + "冬.zsf");
    SKIP_UNLESS_MOUNTED(pinned);
    f.SaveOverWinter();
    EXPECT_TRUE(Unchanged(before, f.root));
}
