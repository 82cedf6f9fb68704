// Where dialogs and message boxes open, on a real X server (the offscreen
// platform places nothing): centred on their owner, the parent or, for a
// dialog made with none, the host's main window.
#include "cloud/DlgCloudError.h"
#include "cloud/DlgCloudLogin.h"
#include "cloud/DlgCloudResult.h"
#include "cloud/DlgCloudUpload.h"
#include "favorites/DlgAddFavorites.h"
#include "favorites/DlgFavorites.h"
#include "library/DlgContentsLibraryDownload.h"
#include "platform/HostWindows.h"
#include "platform/MessageBox.h"
#include "program/DlgProgram.h"
#include "support/zvnreg/Registry.h"
#include "tests/program/ListFiles.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

TEST(Placement, EveryDialogOpensCentredOnItsOwner)
{
    TempEnvironment env;
    ScriptedHost host;
    const QString favorites = env.Path("Favorites"), system = env.Path("System/zvnprg.lst"), user = env.Path("Prg/zvnprg.lst");
    QDir().mkpath(favorites);
    TempEnvironment::WriteBytes(system, listfiles::header("1.0", "ZentorinLite", 1) + listfiles::section(1, "Program", "x", "x.zsf"));
    TempEnvironment::WriteBytes(user, listfiles::header());
    // the host's window, away from the screen's centre, where a dialog centred on the screen would open
    QWidget main;
    main.setGeometry(40, 30, 1000, 800);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    platform::SetMainWindow(&main);

    using Make = std::function<std::unique_ptr<CZntDialog>(QWidget* parent)>;
    const struct { const char* name; Make make; bool modeless = false; } rows[] = {
        {"add to favourites, folded", [&](QWidget* p) { return std::make_unique<CDlgAddFavorites>(&host, favorites, p); }},
        {"organise favourites", [&](QWidget* p) { return std::make_unique<CDlgFavorites>(&host, favorites, p); }},
        {"program", [&](QWidget* p) { return std::make_unique<CDlgProgram>(system, user, &host, p); }},
        {"sign-in", [](QWidget* p) { return std::make_unique<CDlgCloudLogin>(p); }},
        {"share", [](QWidget* p) { return std::make_unique<CDlgCloudUpload>(p); }},
        {"share result, made with no parent", [](QWidget*) { return std::make_unique<CDlgCloudResult>(nullptr); }},
        {"share error, made with no parent", [](QWidget*) { return std::make_unique<CDlgCloudError>(nullptr); }},
        {"download progress, modeless", [](QWidget*) { return std::make_unique<CDlgContentsLibraryDownload>(nullptr); }, true},
    };
    for (const auto& row : rows) {
        const std::unique_ptr<CZntDialog> dialog = row.make(&main);
        if (row.modeless)
            dialog->Create(&main);
        else
            dialog->show();  // what DoModal shows, without its loop
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get())) << row.name;
        const QPoint off = dialog->frameGeometry().center() - main.frameGeometry().center();
        EXPECT_LE(off.manhattanLength(), 4) << row.name << ": off by " << off.x() << ", " << off.y();
        dialog->hide();
    }
    platform::SetMainWindow(nullptr);
}

// Boxes asked while their dialog is still being set up, not yet shown: the
// token check the host runs through a sign-in dialog it never shows, and the
// share's chart capture. They open over the window the user is working in.
TEST(Placement, BoxesOfADialogNotYetShownOpenCentredOnTheWindowBelow)
{
    TempEnvironment env;
    CRegistry::Write("General\\Authentication", "CloudUrlBase", "https://127.0.0.1:1");  // nothing listens there
    QWidget main;
    main.setGeometry(40, 30, 1000, 800);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    platform::SetMainWindow(&main);
    const platform::MessageBoxHandler script = platform::SetMessageBoxHandler({});  // the real boxes

    const struct { const char* name; std::function<void()> ask; } rows[] = {
        {"token check, no service", [&] { CDlgCloudLogin(&main).CheckValidAccessToken(); }},
        {"share, chart not saved", [&] {
             ScriptedHost host;
             host.Answer("? deepskyimage.visible", "FALSE").Answer("? System.Error", "e1");
             CDlgCloudUpload(&host, nullptr, {}, 0, 0, "t", "s", "none.zsf", &main).DoModal();
         }},
        {"no owner", [] { platform::MessageBox(nullptr, "x"); }},
    };
    for (const auto& row : rows) {
        QPoint off(9999, 9999);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || !QTest::qWaitForWindowExposed(box))
                return;
            off = box->frameGeometry().center() - main.frameGeometry().center();
            box->close();
        });
        poll.start(20);
        row.ask();
        EXPECT_LE(off.manhattanLength(), 4) << row.name << ": off by " << off.x() << ", " << off.y();
    }
    platform::SetMessageBoxHandler(script);
    platform::SetMainWindow(nullptr);
}
