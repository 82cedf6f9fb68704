#include "cloud/DlgCloudLogin.h"
#include "cloud/DlgCloudUpload.h"
#include "frame/ModuleMessages.h"
#include "host/app/DataFolders.h"
#include "host/app/HostWindow.h"
#include "host/app/Tour.h"
#include "host/core/SimulatedCore.h"
#include "platform/CodePage.h"
#include "platform/HostWindows.h"
#include "platform/TempFolder.h"
#include "program/DlgProgram.h"
#include "support/zvndcm/ParamFile.h"
#include "support/zvnreg/Registry.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ShellRecorder.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(DataFolders, FirstStartWritesTheSampleProgramsAsTheProductWritesThem)
{
    TempEnvironment env;
    const CDataFolders folders(env.Path("data"));
    ASSERT_TRUE(folders.Prepare());
    const QByteArray list = TempEnvironment::ReadBytes(folders.SystemProgramList());
    EXPECT_TRUE(list.startsWith("[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n[Programs]\r\n"));
    EXPECT_FALSE(list.contains("\n\n"));  // every line ends in CR LF
    EXPECT_TRUE(list.contains(platform::ToCodePage(QString::fromUtf8("冬の大三角をさがそう"))));

    CParamFile file;
    file.SetParameterFile(folders.SystemProgramList());
    QString title;
    file.UpdateParam("Prog3", "Title", "", title, CParamFile::Read);
    EXPECT_EQ(QString::fromUtf8("冬の大三角をさがそう"), title);
    // every sample program's scene file is where the program dialog looks for it
    EXPECT_TRUE(QFileInfo::exists(env.Path("data/PRG/winter/winter.zsf")));
    EXPECT_TRUE(QFileInfo::exists(env.Path("data/pln/pln.zsf")));
    EXPECT_TRUE(QFileInfo::exists(env.Path("data/CnsGd/ori/oric.zsf")));
    QString pln;
    EXPECT_EQ(1, CRegistry::Read("Files", "PLN", "", pln));
    EXPECT_EQ(env.Path("data/pln"), pln);
    EXPECT_TRUE(QFileInfo(folders.UserProgramList()).absoluteDir().exists());
    EXPECT_TRUE(QFileInfo(folders.FavoritesRoot()).isDir());

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
        platform::SendMessage(&window, WM_PRGZSFNOTFOUND, reinterpret_cast<platform::WPARAM>(&kind),
                              reinterpret_cast<platform::LPARAM>(&shortKind));
    }
    QSignalSpy changed(&window, &CHostWindow::programListChanged);
    platform::SendMessage(&window, WM_PRGLISTCHANGED, 1, 0);
    EXPECT_EQ(1, changed.count());

    ShellRecorder shell;
    platform::SendMessage(&window, platform::WM_COMMAND, ID_HELP, 0);
    ASSERT_EQ(1, shell.Calls().size());
    EXPECT_EQ("Open", shell.Calls()[0].verb);
    EXPECT_TRUE(QFileInfo::exists(shell.Calls()[0].file)) << shell.Calls()[0].file.toStdString();
}

TEST(HostWindow, OpeningAProgramShowsTheSkyItsShowBeginsWithUnderItsCleanPath)
{
    TempEnvironment env;
    const CDataFolders folders(env.Path("data"));
    ASSERT_TRUE(folders.Prepare());
    CSimulatedCore core;
    CHostWindow window(core, folders);
    const int result = window.OpenProgramDialog([](CDlgProgram& dialog) {
        qobject_cast<QListWidget*>(dialog.GetDlgItem(1015))->setCurrentRow(2);  // 冬の大三角をさがそう
        dialog.DispatchCommand(LBN_SELCHANGE, 1015);
        dialog.DispatchCommand(0, 1018);
    });
    ASSERT_EQ(1, result);
    EXPECT_TRUE(window.ChosenProgram().endsWith("  " + env.Path("data/PRG/winter/winter.zsf"))) << window.ChosenProgram().toStdString();
    EXPECT_EQ("2461055.958340", core.ExecCommand("? time.jd"));  // the winter evening of its scene
}

TEST(Tour, RunsOffscreenAndSavesTheMainWindow)
{
    TempEnvironment env;
    // no cloud service in this test: the sign-in fails, is told, and the tour goes on
    CRegistry::Write("General\\Authentication", "CloudUrlBase", "https://127.0.0.1:1");
    CRegistry::Write("General\\Network", "Connected", 1);
    CSimulatedCore core;
    CHostWindow window(core, CDataFolders(env.Path("data")));
    QDir().mkpath(env.Path("data/Favorites"));
    QString printed;
    QTextStream out(&printed);
    CTour tour(window, env.Path("shots"), out);
    EXPECT_EQ(0, tour.Run("all"));
    EXPECT_TRUE(QFileInfo::exists(env.Path("shots/main.png")));
    EXPECT_TRUE(printed.contains("main window")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("program: dialog closed with 2")) << printed.toStdString();  // the sample list is not there
    EXPECT_TRUE(printed.contains("login: the sign-in failed, cancelled")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("in the tour's own trash, " + env.Path("data/tour-trash/Trash/files"))) << printed.toStdString();
    EXPECT_EQ("2026", core.ExecCommand("? time.year"));  // the tour's fixed evening
    EXPECT_EQ(1, tour.Run("telescope"));
}

TEST(HostProgram, WritesTheCloudAddressesAndLeavesAServiceThatIsDownToTheModule)
{
    TempEnvironment env;  // the program inherits its settings file
    CRegistry::Write("General\\Network", "Connected", 1);
    QProcess host;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZVNHOST_DATA_DIR", env.Path("data"));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    host.setProcessEnvironment(environment);
    // nothing listens on port 1: no service runs, and the host starts none
    host.start(ZVNHOST_PATH, {"--cloud-url-base", "https://127.0.0.1:1", "--cloud-url-reg", "http://127.0.0.1:1/register",
                              "--tour", "login"});
    ASSERT_TRUE(host.waitForFinished(120000));
    const QString printed = QString::fromUtf8(host.readAllStandardOutput());
    EXPECT_EQ(0, host.exitCode()) << printed.toStdString();
    QString base, reg;
    EXPECT_EQ(1, CRegistry::Read("General\\Authentication", "CloudUrlBase", "", base));
    EXPECT_EQ(1, CRegistry::Read("General\\Authentication", "CloudUrlReg", "", reg));
    EXPECT_EQ("https://127.0.0.1:1", base);
    EXPECT_EQ("http://127.0.0.1:1/register", reg);
    // the module tells the user (its own box), and the host says nothing of a service
    EXPECT_TRUE(printed.contains(QString::fromUtf8("message box (style 0x35): ゼントクラウドとのHTTP通信に失敗しました。"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains("login: the sign-in failed, cancelled")) << printed.toStdString();
    EXPECT_EQ("", host.readAllStandardError());  // the libraries' diagnostics stay behind --verbose
    EXPECT_FALSE(printed.contains("zvnhost:")) << printed.toStdString();

    host.start(ZVNHOST_PATH, {"--cloud-url-base", "ftp://127.0.0.1:1", "--tour", "login"});
    ASSERT_TRUE(host.waitForFinished(60000));
    EXPECT_EQ(2, host.exitCode());
    EXPECT_EQ(1, CRegistry::Read("General\\Authentication", "CloudUrlBase", "", base));
    EXPECT_EQ("https://127.0.0.1:1", base);  // a refused address is not written
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
    EXPECT_TRUE(sceneWhileOpen);           // the view went to the share as a scene file ...
    EXPECT_FALSE(QFileInfo::exists(scene));  // ... which is gone once the dialog closed
    const auto requests = cloud.service.Requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(0u, requests[0].target.rfind("/api/user_status?", 0));  // the stored tokens are asked about first
    EXPECT_EQ("/api/register", requests[1].target);
}
