#include "host/core/SimulatedCore.h"
#include "support/zvndcm/ZsfFile.h"
#include "tests/support/TempEnvironment.h"

#include <gtest/gtest.h>

TEST(SceneFile, SavedSceneReopensTheSameSkyAndKeepsItsDescription)
{
    TempEnvironment env;
    const QString path = env.Path("a; b.zsf");
    CSimulatedCore core;
    core.ExecCommand("time.jd = 2461056.5; location.latitude = -33.5; view.angle = 45; view.coordinate = EquatorialDateMean; "
                     "view.center.position.equatorialdatemean.ra = 83.8; constellation.line.visible = FALSE");
    const QStringList queries = {"? time.jd", "? location.latitude", "? view.angle", "? view.coordinate",
                                 "? view.center.position.equatorialdatemean.ra", "? constellation.line.visible"};
    QStringList before;
    for (const QString& q : queries)
        before << core.ExecCommand(q);
    core.ExecCommand(R"(Save Scene,")" + path + R"(","冬の""星""\r\n二行目")");
    ASSERT_EQ(core.ExecCommand("? System.Error"), "");
    const QByteArray bytes = TempEnvironment::ReadBytes(path);
    EXPECT_TRUE(bytes.startsWith("[General]\r\nFileOwner=ZentorinLite\r\nFileId=Scene\r\nFileVersion=1.0\r\n"));
    EXPECT_EQ(CZsfFile(path).GetDescription(), "冬の\"星\"\\r\\n二行目");

    core.ExecCommand("time.jd = 2450000.5; location.latitude = 10; view.angle = 90; view.coordinate = Horizon; "
                     "constellation.line.visible = TRUE");
    core.ExecCommand("Load Scene,\"" + path + "\"");
    EXPECT_EQ(core.ExecCommand("? System.Error"), "");
    QStringList after;
    for (const QString& q : queries)
        after << core.ExecCommand(q);
    EXPECT_EQ(after, before);

    core.ExecCommand("Load Scene,\"" + env.Path("missing.zsf") + "\"");
    EXPECT_EQ(core.ExecCommand("? System.Error"), "シーンを読み込めません: " + env.Path("missing.zsf"));
}
