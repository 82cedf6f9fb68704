// Where dialogs open, on a real X server (the offscreen platform places
// nothing): centred on their owner, the parent or, for a dialog made with
// none, the host's main window.
#include "cloud/DlgCloudError.h"
#include "cloud/DlgCloudLogin.h"
#include "cloud/DlgCloudResult.h"
#include "cloud/DlgCloudUpload.h"
#include "favorites/DlgAddFavorites.h"
#include "favorites/DlgFavorites.h"
#include "library/DlgContentsLibraryDownload.h"
#include "platform/HostWindows.h"
#include "program/DlgProgram.h"
#include "tests/program/ListFiles.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
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
