// The host core answers nothing: the share shows what the service says and
// leaves nothing of its own behind. (A favourite's proposed name from answers
// that are no numbers is in the favourites' tests, the program dialog's date
// in the program dialog's.)
#include "cloud/DlgCloudUpload.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/faults/FaultFixture.h"
#include "tests/support/ScriptedHost.h"

#include <QApplication>

using namespace platform;

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
