#include "favorites/DlgAddFavorites.h"
#include "favorites/DlgFavorites.h"
#include "frame/ModuleMessages.h"
#include "cloud/DlgCloudLogin.h"
#include "cloud/DlgCloudUpload.h"
#include "host/app/DataFolders.h"
#include "host/app/HostWindow.h"
#include "host/core/SimulatedCore.h"
#include "platform/HostWindows.h"
#include "program/DlgProgram.h"
#include "tests/support/ShellRecorder.h"
#include "tests/support/TempEnvironment.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <gtest/gtest.h>

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
}
