// A full disk, a read-only folder and a failing rename under the program list and the favourites:
// each says so with its own message and leaves every file as it was, byte for byte.
#include "favorites/DlgAddFavorites.h"
#include "favorites/DlgFavorites.h"
#include "frame/ModuleMessages.h"
#include "host/app/DataFolders.h"
#include "host/app/HostWindow.h"
#include "host/core/SimulatedCore.h"
#include "platform/TempFolder.h"
#include "program/DlgProgram.h"
#include "program/PrgSection.h"
#include "tests/faults/FaultFixture.h"
#include "tests/program/ListFiles.h"
#include "tests/support/Mounts.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QListWidget>
#include <QTreeWidgetItem>

using namespace platform;

namespace {

const QString kUpdateFailed = QStringLiteral("番組情報ファイルを更新できません。");

// A user program list of 40 programs, each with its folder and scene: about 12 KB, several pages of a small disk.
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
        ASSERT_TRUE(TempEnvironment::WriteBytes(list + ".lock", ""));  // as every earlier edit of the list leaves it
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
        TempEnvironment::WriteBytes(root + "冬.zsf", "[General]\r\nFileId=Scene\r\nDescription=オリオン\r\n");
        TempEnvironment::WriteBytes(root + "夏/星.zsf", "[General]\r\nFileId=Scene\r\nDescription=さそり\r\n");
    }
    ~HostFavorites() { qputenv("XDG_DATA_HOME", oldData); }

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

    // the organise dialog's new folder, rename, move and delete of 「冬」, each refused with its message
    void OrganizeFails()
    {
        CDlgFavorites dialog(nullptr, root, nullptr);
        dialog.show();
        CZntTreeCtrlEx& tree = dialog.Tree();
        MessageBoxScript boxes;
        tree.SelectItem(tree.GetRootItem());
        boxes.Expect(QStringLiteral("フォルダを作成できません。\n%1").arg(QDir(root).filePath("新しいフォルダー")), MB_OK | MB_ICONEXCLAMATION, IDOK);
        EXPECT_EQ(0, tree.NewFolder());
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

TEST(FavoritesFaults, AReadOnlyFolderOrAPinnedSceneKeepsTheScenesAndFolders)
{
    // the folder read-only; or the old scene a mount point: the new one is written beside it, but cannot be renamed over it
    for (const bool wholeFolder : {true, false}) {
        HostFavorites f;
        const auto before = Snapshot(f.root);
        auto readOnly = ScopedMount::ReadOnly(wholeFolder ? f.root : QString(f.root + "冬.zsf"));
        SKIP_UNLESS_MOUNTED(readOnly);
        f.SaveOverWinter();
        if (wholeFolder)
            f.OrganizeFails();
        EXPECT_TRUE(Unchanged(before, f.root));
    }
}

// A system temporary folder on a file system without POSIX modes (FAT): no folder
// made there ever reads back as the user's alone. The private folder goes to the
// runtime folder instead, and every try leaves nothing behind where it failed.
TEST(TempFolderFaults, AFolderWithoutModesIsLeftAsItWasAndTheRuntimeFolderServes)
{
    TempEnvironment env;
    platform::SetTempPath({});
    const QString fat = env.Path("fat"), runtime = env.Path("runtime");
    auto mount = ScopedMount::FixedModes(fat);
    SKIP_UNLESS_MOUNTED(mount);
    QDir().mkpath(runtime);
    env.SetVariable("TMPDIR", QFile::encodeName(fat));
    env.SetVariable("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    for (int attempt = 0; attempt < 2; ++attempt) {  // a second try once the first folder is gone
        const QString folder = platform::GetTempPath();
        EXPECT_EQ(runtime, QFileInfo(folder.chopped(1)).absolutePath()) << folder.toStdString();
        EXPECT_EQ(0700u, TempEnvironment::Mode(folder));
        EXPECT_EQ(QStringList(), QDir(fat).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        QDir(folder).removeRecursively();
    }
}
