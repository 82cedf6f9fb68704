// The host core answers nothing, an error, or text where a number belongs:
// the dialogs that ask it go on with the value their reading gives, show
// what the service or the module says, and write nothing of their own.
// (The favourite's proposed name is in the favourites' tests.)
#include "cloud/DlgCloudUpload.h"
#include "frame/ModuleMessages.h"
#include "program/DlgProgram.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/faults/FaultFixture.h"
#include "tests/program/ListFiles.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QApplication>

using namespace platform;

TEST(HostFaults, TheProgramDialogOpensItsProgramWhateverTheDateAnswer)
{
    TempEnvironment env;
    const QString system = env.Path("data/System/zvnprg.lst");
    TempEnvironment::WriteBytes(system, listfiles::header("1.0", "ZentorinLite", 2) + listfiles::section(1, "Today", "今日の星空", "pln.zsf")
                                            + listfiles::section(2, "Program", "冬の大三角", "winter.zsf", 1500));
    TempEnvironment::WriteBytes(env.Path("data/PRG/winter/winter.zsf"), "scene");
    const auto before = Snapshot(env.Path("data"));
    const std::pair<QString, QString> cases[] = {
        {"", "紀元前0年0月0日"},
        {"エラー", "紀元前0年0月0日"},
        {"LST AD2026/x/", "西暦2026年0月0日"},
        {"LST AD99999999999/-99999999999/1日", "西暦2147483647年-2147483648月1日"},
    };
    for (const auto& [answer, date] : cases) {
        SCOPED_TRACE(answer.toStdString());
        ScriptedHost host;
        host.Answer("? LST(time)", answer);
        WindowMessageRecorder messages;
        CDlgProgram dialog(system, env.Path("data/Contents/Prg/zvnprg.lst"), &host, nullptr);
        dialog.SetProgNum(1);
        dialog.SetScrlPos(0);
        EXPECT_EQ(IDOK, RunDialog(dialog, [&] { dialog.OnBnClickedPrgBtnOk(); }));
        EXPECT_EQ(date, dialog.GetDateText());
        EXPECT_EQ(env.Path("data/System/../PRG/winter/winter.zsf"), dialog.GetZsfActualPath());
        EXPECT_EQ(1500, dialog.GetPlayTime());
        EXPECT_TRUE(messages.Sent(WM_PRGZSFNOTFOUND).isEmpty());
    }
    EXPECT_TRUE(Unchanged(before, env.Path("data")));
}

TEST(HostFaults, AShareFromAHostThatAnswersNothingShowsTheServicesRefusal)
{
    CloudFixture cloud;
    CDlgCloudLogin account;
    ASSERT_EQ(1, RunDialog(account, [&] { SignIn(account); }));
    const QString scene = cloud.env.Path("冬.zsf");
    TempEnvironment::WriteBytes(scene, "[General]\r\nFileId=Scene\r\n");
    ScriptedHost silent;  // every query answers "", and no chart is ever saved
    QString shown;
    {
        CDlgCloudUpload dialog(&silent, account.GetZentoCloudConnection(), {}, 0, 0, account.GetAccessToken(),
                               account.GetAccessTokenSecret(), scene, nullptr);
        EXPECT_EQ(IDCANCEL, RunDialog(dialog, [&] {
                      QTimer::singleShot(0, &dialog, [&] {
                          if (auto* error = qobject_cast<CZntDialog*>(QApplication::activeModalWidget())) {
                              shown = error->windowTitle() + "|" + error->GetDlgItemText(1053);
                              error->done(2);
                          }
                      });
                      dialog.DispatchCommand(BN_CLICKED, 1);
                      EXPECT_TRUE(dialog.isVisible());  // a refusal leaves the share open for another try
                      dialog.OnCancel();
                  }));
    }
    EXPECT_EQ("共有 - エラー|投稿データの送信に失敗しました。\n星図画像がありません。", shown);
    EXPECT_TRUE(cloud.service.Charts().empty());
    // the empty chart files the dialog made are gone with it
    EXPECT_TRUE(QDir(cloud.env.TempFolder()).entryList(QDir::Files).isEmpty());
}
