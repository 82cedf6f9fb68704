#pragma once
// The local ZentoCloud service over real HTTPS on 127.0.0.1, with the
// settings pointing at it, for one test; and the steps the cloud tests share.
#include "services/ZentoCloudService.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvnreg/Registry.h"
#include "tests/support/TempEnvironment.h"

#include <QApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

struct CloudFixture {
    TempEnvironment env;
    CZentoCloudService service{":memory:"};
    QString base;

    CloudFixture()
    {
        EXPECT_TRUE(service.Start(0));
        base = QString::fromStdString(service.BaseUrl());
        CRegistry::Write("General\\Authentication", "CloudUrlBase", base);
        CRegistry::Write("General\\Authentication", "CloudUrlReg", "http://127.0.0.1:9/register");
        CRegistry::Write("General\\Network", "Connected", 1);
    }

    static CZentoCloudService::ScriptedAnswer answer(int status, const std::string& body)
    {
        CZentoCloudService::ScriptedAnswer a;
        a.status = status;
        a.body = body;
        return a;
    }
};

// a value of the settings, "<absent>" when there is none
inline QString stored(const QString& name, const QString& section = "General\\Authentication")
{
    QString value = "<absent>";
    CRegistry::Read(section, name, "<absent>", value);
    return value;
}

// Shows the dialog and runs `action` inside its modal loop. A dialog that is
// still open after ten seconds (one a fault never closes) fails the test and is
// closed, nested ones first, so the test ends instead of hanging.
inline int runModal(CZntDialog& dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, &dialog, action);
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&watchdog] {
        if (watchdog.interval() > 100)
            ADD_FAILURE() << "a dialog was still open after ten seconds";
        watchdog.setInterval(100);
        if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            open->done(-2);
    });
    watchdog.start(10000);
    return dialog.DoModal();
}
