#pragma once
// The local ZentoCloud service over real HTTPS on 127.0.0.1, with the
// settings pointing at it, for one test.
#include "services/ZentoCloudService.h"
#include "support/zvnreg/Registry.h"
#include "tests/support/TempEnvironment.h"

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

    CZentoCloudService::ScriptedAnswer answer(int status, const std::string& body)
    {
        CZentoCloudService::ScriptedAnswer a;
        a.status = status;
        a.body = body;
        return a;
    }
};
