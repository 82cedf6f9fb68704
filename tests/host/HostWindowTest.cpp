#include "cloud/DlgCloudLogin.h"
#include "cloud/DlgCloudUpload.h"
#include "favorites/DlgAddFavorites.h"
#include "favorites/DlgFavorites.h"
#include "frame/ModuleMessages.h"
#include "host/app/DataFolders.h"
#include "host/app/HostWindow.h"
#include "host/core/SimulatedCore.h"
#include "platform/CodePage.h"
#include "platform/HostWindows.h"
#include "platform/TempFolder.h"
#include "program/DlgProgram.h"
#include "support/zvnreg/Registry.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ShellRecorder.h"
#include "tests/support/TempEnvironment.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QStatusBar>
#include <gtest/gtest.h>

TEST(HostWindow, FirstStartWritesTheSampleProgramsAndOpeningOneShowsTheSkyItsShowBeginsWith)
{
    TempEnvironment env;
    const CDataFolders folders(env.Path("data"));
    ASSERT_TRUE(folders.Prepare());
    const QByteArray list = TempEnvironment::ReadBytes(folders.SystemProgramList());
    EXPECT_TRUE(list.startsWith("[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n[Programs]\r\n"));
    EXPECT_FALSE(list.contains("\n\n"));  // every line ends in CR LF
    EXPECT_TRUE(list.contains(platform::ToCodePage(QString::fromUtf8("\r\n[Prog3]\r\nType=Program\r\nTitle=冬の大三角をさがそう\r\n"))));
    // every sample program's scene file is where the program dialog looks for it
    for (const char* scene : {"data/PRG/winter/winter.zsf", "data/pln/pln.zsf", "data/CnsGd/ori/oric.zsf"})
        EXPECT_TRUE(QFileInfo::exists(env.Path(scene))) << scene;
    // and the settings name the folders they are in
    for (const auto& [key, folder] : {std::pair("PLN", "data/pln"), std::pair("ConsGd", "data/CnsGd")}) {
        QString registered;
        EXPECT_EQ(1, CRegistry::Read("Files", key, "", registered));
        EXPECT_EQ(env.Path(folder), registered);
    }
    EXPECT_TRUE(QFileInfo(folders.UserProgramList()).absoluteDir().exists());
    EXPECT_TRUE(QFileInfo(folders.FavoritesRoot()).isDir());

    CSimulatedCore core;
    CHostWindow window(core, folders);
    const int result = window.OpenProgramDialog([](CDlgProgram& dialog) {
        qobject_cast<QListWidget*>(dialog.GetDlgItem(1015))->setCurrentRow(2);  // 冬の大三角をさがそう
        dialog.DispatchCommand(LBN_SELCHANGE, 1015);
        dialog.DispatchCommand(0, 1018);
    });
    ASSERT_EQ(1, result);
    // the status bar names the scene by its clean path, and the sky is the winter evening of its scene
    EXPECT_TRUE(window.ChosenProgram().endsWith("  " + env.Path("data/PRG/winter/winter.zsf"))) << window.ChosenProgram().toStdString();
    EXPECT_EQ("2461055.958340", core.ExecCommand("? time.jd"));

    // a second start keeps what the user has
    TempEnvironment::WriteBytes(folders.SystemProgramList(), "changed");
    ASSERT_TRUE(folders.Prepare());
    EXPECT_EQ("changed", TempEnvironment::ReadBytes(folders.SystemProgramList()));
}

TEST(HostWindow, AnswersTheModulesMessages)
{
    TempEnvironment env;
    CSimulatedCore core;
    CHostWindow window(core, CDataFolders(env.Path("data")));
    EXPECT_EQ(&window, platform::MainWindow());
    {
        MessageBoxScript boxes;
        // the box names the kind (wParam) and its short name (lParam)
        boxes.Expect(QString::fromUtf8("「88星座ガイド」のシーンファイルが見つかりません。\n星座ガイドを起動できません。番組を再インストールしてください。"),
                     platform::MB_OK | platform::MB_ICONEXCLAMATION, platform::IDOK);
        const QString kind = QString::fromUtf8("88星座ガイド"), shortKind = QString::fromUtf8("星座ガイド");
        platform::SendMessage(&window, 2045, reinterpret_cast<platform::WPARAM>(&kind), reinterpret_cast<platform::LPARAM>(&shortKind));
    }
    QSignalSpy changed(&window, &CHostWindow::programListChanged);
    platform::SendMessage(&window, 2104, 1, 0);
    EXPECT_EQ(1, changed.count());
}

TEST(HostWindow, ShareChecksTheTokensFirstAndRemovesItsSceneFile)
{
    CloudFixture cloud;  // its own settings and temporary folder, the service in this process
    CSimulatedCore core;
    CHostWindow window(core, CDataFolders(cloud.env.Path("data")));
    const QString scene = platform::GetTempPath() + "zvnhost-share.zsf";
    MessageBoxScript boxes;
    boxes.Expect(QString::fromUtf8("ゼントクラウドへのログインに失敗しました。\nログインしていません。"),
                 platform::MB_OK | platform::MB_ICONEXCLAMATION, platform::IDOK);
    bool sceneWhileOpen = false;
    const int result = window.Share(
        [&](CDlgCloudUpload& dialog) {
            sceneWhileOpen = QFileInfo::exists(scene);
            dialog.OnCancel();
        },
        [](CDlgCloudLogin& signIn) {
            qobject_cast<QLineEdit*>(signIn.GetDlgItem(1043))->setText("h@example.org");
            qobject_cast<QLineEdit*>(signIn.GetDlgItem(1044))->setText("pw");
            signIn.DispatchCommand(0, 1);
        });
    EXPECT_EQ(2, result);
    EXPECT_TRUE(sceneWhileOpen);             // the view went to the share as a scene file ...
    EXPECT_FALSE(QFileInfo::exists(scene));  // ... which is gone once the dialog closed
    const auto requests = cloud.service.Requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(0u, requests[0].target.rfind("/api/user_status?", 0));  // the stored tokens are asked about first
    EXPECT_EQ("/api/register", requests[1].target);
    EXPECT_EQ("共有しませんでした。", window.statusBar()->currentMessage());

    // signed in now: the share opens at once, and its sign-out is told as one, not as a share
    EXPECT_EQ(1, window.Share([](CDlgCloudUpload& dialog) { dialog.DispatchCommand(BN_CLICKED, 4); }, {}));
    EXPECT_EQ("ゼントクラウドからログアウトしました。", window.statusBar()->currentMessage());
}

// A dialog's help button reaches the host, which opens the page of that dialog's feature (the
// window's own menu, the contents), a page that is there to open.
TEST(HostHelp, EachDialogsHelpButtonOpensItsFeaturesPage)
{
    TempEnvironment env;
    const CDataFolders folders(env.Path("data"));
    ASSERT_TRUE(folders.Prepare());
    CSimulatedCore core;
    CHostWindow window(core, folders);
    ShellRecorder shell;
    const auto help = [](auto& dialog) {
        qobject_cast<QAbstractButton*>(dialog.GetDlgItem(57670))->click();
        dialog.EndDialog(2);
    };
    window.OpenProgramDialog(help);
    window.AddFavorite(help);
    window.OrganizeFavorites(help);
    // the cloud's two dialogs shown alone: signing in and sharing need the service
    const auto shown = [&help](auto&& dialog) {
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        help(dialog);
    };
    shown(CDlgCloudLogin(&window));
    shown(CDlgCloudUpload(&window));
    platform::SendMessage(&window, platform::WM_COMMAND, ID_HELP, 0);

    const QStringList pages = {"program", "favorites", "favorites", "login", "share", "index"};
    ASSERT_EQ(pages.size(), shell.Calls().size());
    for (qsizetype i = 0; i < pages.size(); ++i) {
        EXPECT_EQ("Open", shell.Calls()[i].verb);
        const QString file = shell.Calls()[i].file;
        EXPECT_TRUE(file.endsWith("/share/zvnhost/help/" + pages[i] + ".html")) << file.toStdString();
        EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    }

    // a desktop with no browser: the user is told, not left waiting for a page that never comes
    ShellRecorder noBrowser(platform::SE_ERR_NOASSOC);
    MessageBoxScript boxes;
    boxes.Expect("ヘルプを表示できません。\nヘルプのページを開くブラウザが見つかりませんでした。\n" + window.HelpDocument(),
                 platform::MB_OK | platform::MB_ICONEXCLAMATION, platform::IDOK);
    platform::SendMessage(&window, platform::WM_COMMAND, ID_HELP, 0);
}
