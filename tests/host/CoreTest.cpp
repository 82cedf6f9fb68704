#include "host/core/ChartRenderer.h"
#include "host/core/SimulatedCore.h"
#include "platform/Text.h"
#include "support/zvndcm/ZsfFile.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

double num(CSimulatedCore& core, const QString& query) { return core.ExecCommand(query).toDouble(); }

}  // namespace

TEST(SimulatedCore, AnswersEveryQueryInTheFormItsCallersRead)
{
    CSimulatedCore core;
    for (const char* q : {"? time.year", "? time.month", "? time.day"})
        EXPECT_EQ(QString::number(std::max(1, platform::_wtoi(core.ExecCommand(q)))), core.ExecCommand(q)) << q;
    for (const char* q : {"? time.jd", "? view.angle", "? location.latitude", "? location.longitude", "? location.height",
                          "? view.center.position.horizon.altitude", "? view.center.position.horizon.azimuth",
                          "? view.center.position.equatorialdatemean.ra", "? view.center.position.equatorialdatemean.dec",
                          "? view.center.position.ecliptic.lambda", "? view.center.position.ecliptic.beta",
                          "? view.center.position.galactic.longitude", "? view.center.position.galactic.latitude"})
        EXPECT_TRUE(QRegularExpression("^-?\\d+(\\.\\d+)?$").match(core.ExecCommand(q)).hasMatch()) << q;  // decimal text
    EXPECT_EQ("Horizon", core.ExecCommand("? view.coordinate"));
    EXPECT_NEAR(35.69, num(core, "? location.latitude"), 0.01);  // Tokyo
    for (const char* q : {"? star.name.visible", "? star.twinkle.visible", "? constellation.name.visible", "? constellation.line.visible",
                          "? constellation.picture.visible", "? solar.sun.name.visible", "? milkyway.visible",
                          "?  deepskyobject.messier.mark.visible", "? deepskyobject.messier.number.visible",
                          "? deepskyobject.messier.name.visible", "? comet.visible", "? comet.id.visible", "? comet.name.visible",
                          "? meteor.swarm.radiant.visible", "? meteor.swarm.radiant.name.visible", "? landscape.visible",
                          "? CoordinatesLine.Meridian.visible", "? CoordinatesLine.AltAzmthGrid.visible", "? CoordinatesLine.Equator.visible",
                          "? CoordinatesLine.EquatorialGrid.visible", "? CoordinatesLine.Ecliptic.visible", "? skylight.daylight.visible",
                          "? skylight.moonlight.visible", "? skylight.lightpollution.visible", "? deepskyimage.visible",
                          "? FreeStyleControl.Visible", "? Logo.Visible"}) {
        const QString answer = core.ExecCommand(q);
        EXPECT_TRUE(answer == "TRUE" || answer == "FALSE") << q << " answered " << answer.toStdString();
        EXPECT_EQ("", core.ExecCommand("? System.Error")) << q;
    }
    core.ExecCommand("deepskyimage.visible = FALSE; Show Sky; FreeStyleControl.Visible = TRUE");
    EXPECT_EQ("FALSE", core.ExecCommand("? deepskyimage.visible"));
    EXPECT_EQ("TRUE", core.ExecCommand("? FreeStyleControl.Visible"));
    core.ExecCommand("star.name.visible = maybe");
    EXPECT_NE("", core.ExecCommand("? System.Error"));

    // the date as the program dialog reads it (drop 4, the era in 2, then year/month/day), the sidereal time
    // in hours, minutes and seconds of two digits each: six times ten minutes apart meet every tens of minutes
    const QRegularExpression form("^LST AD(\\d+)/(\\d+)/(\\d+) \\d\\d:\\d\\d:\\d\\d$");
    for (int step = 0; step < 6; ++step) {
        core.ExecCommand(QString("time.year = 2026; time.month = 1; time.day = 15; time.hour = 20; time.minute = %1").arg(10 * step));
        const QRegularExpressionMatch lst = form.match(core.ExecCommand("? LST(time)"));
        ASSERT_TRUE(lst.hasMatch()) << core.ExecCommand("? LST(time)").toStdString();
        EXPECT_EQ(QStringList({"2026", "1", "15"}), QStringList({lst.captured(1), lst.captured(2), lst.captured(3)}));
    }
}

TEST(SimulatedCore, TimeAndPlaceMoveByAssignmentAndYearsBeforeOneCountAstronomically)
{
    CSimulatedCore core;
    core.ExecCommand("time.year = 2026; time.month = 1; time.day = 15; time.hour = 20; time.minute = 0");
    EXPECT_NEAR(2461055.958333, num(core, "? time.jd"), 1e-5);  // 20:00 in Tokyo is 11:00 UT
    core.ExecCommand("time.hour = 21; location.latitude = 43.06; location.height = 20; view.angle = 60");
    EXPECT_NEAR(2461055.958333 + 1.0 / 24, num(core, "? time.jd"), 1e-6);
    EXPECT_EQ(QStringList({"43.0600", "20.0", "60.00"}),
              QStringList({core.ExecCommand("? location.latitude"), core.ExecCommand("? location.height"), core.ExecCommand("? view.angle")}));
    core.ExecCommand("location.latitude = 95");
    EXPECT_NE("", core.ExecCommand("? System.Error"));
    EXPECT_NEAR(43.06, num(core, "? location.latitude"), 1e-6);

    // year 0 is 1 BC, -1 is 2 BC; 0001-01-01 00:00 UT is JD 1721425.5
    const struct { const char* set; const char* year; const char* lst; } years[] = {
        {"time.year = 0", "0", "LST BC1/1/15 "}, {"time.year = -1", "-1", "LST BC2/1/15 "}, {"time.year = 1", "1", "LST AD1/1/15 "},
        {"time.jd = 1721300.5", "0", "LST BC1/"}, {"time.jd = 1721000.5", "-1", "LST BC2/"},
    };
    for (const auto& y : years) {
        core.ExecCommand(y.set);
        EXPECT_EQ("", core.ExecCommand("? System.Error"));
        EXPECT_EQ(y.year, core.ExecCommand("? time.year")) << y.set;
        EXPECT_TRUE(core.ExecCommand("? LST(time)").startsWith(y.lst)) << core.ExecCommand("? LST(time)").toStdString();
    }

}

TEST(SimulatedCore, ASavedSceneReopensTheSameSkyAndKeepsItsDescription)
{
    TempEnvironment env;
    const QString path = env.Path("a; b.zsf");
    CSimulatedCore core;
    core.ExecCommand("time.jd = 2461056.5; location.latitude = -33.5; location.height = 12.5; view.angle = 45; "
                     "view.coordinate = EquatorialDateMean; view.center.position.equatorialdatemean.ra = 83.8; constellation.line.visible = FALSE");
    const QStringList queries = {"? time.jd", "? location.latitude", "? location.height", "? view.angle", "? view.coordinate",
                                 "? view.center.position.equatorialdatemean.ra", "? constellation.line.visible"};
    QStringList before, after;
    for (const QString& q : queries)
        before << core.ExecCommand(q);
    core.ExecCommand(R"(Save Scene,")" + path + R"(","冬の""星""\r\n二行目")");
    ASSERT_EQ(core.ExecCommand("? System.Error"), "");
    EXPECT_TRUE(TempEnvironment::ReadBytes(path).startsWith("[General]\r\nFileOwner=ZentorinLite\r\nFileId=Scene\r\nFileVersion=1.0\r\n"));
    EXPECT_EQ(CZsfFile(path).GetDescription(), "冬の\"星\"\\r\\n二行目");

    core.ExecCommand("time.jd = 2450000.5; location.latitude = 10; location.height = 0; view.angle = 90; view.coordinate = Horizon; "
                     "constellation.line.visible = TRUE");
    core.ExecCommand("Load Scene,\"" + path + "\"");
    EXPECT_EQ(core.ExecCommand("? System.Error"), "");
    for (const QString& q : queries)
        after << core.ExecCommand(q);
    EXPECT_EQ(after, before);
    core.ExecCommand("Load Scene,\"" + env.Path("missing.zsf") + "\"");
    EXPECT_EQ(core.ExecCommand("? System.Error"), "シーンを読み込めません: " + env.Path("missing.zsf"));
}

TEST(ChartImage, TheLogoShowsByItsFlagAndTheChartIsSavedWhereTheQuotedPathSays)
{
    TempEnvironment env;
    CSimulatedCore core;
    const QImage plain = core.RenderChart(QSize(320, 240));
    // a quoted path may hold the statement separator
    core.ExecCommand(QString("Logo.Visible = TRUE; Save Zentar,\"%1\"; Show Sky").arg(env.Path("a; b.png")));
    EXPECT_EQ("", core.ExecCommand("? System.Error"));
    EXPECT_FALSE(QImage(env.Path("a; b.png")).isNull());
    EXPECT_EQ(QStringList{"a; b.png"}, QDir(env.Root()).entryList(QDir::Files));
    EXPECT_NE(plain, core.RenderChart(QSize(320, 240)));
    core.ExecCommand(QString("Save Zentar,\"%1\"").arg(env.Path("missing/chart.png")));
    EXPECT_TRUE(core.ExecCommand("? System.Error").contains("missing/chart.png"));
    EXPECT_TRUE(core.ExecCommand("? System.Error").contains("missing/chart.png"));  // asking does not clear it
    core.ExecCommand("Logo.Visible = FALSE");
    EXPECT_EQ("", core.ExecCommand("? System.Error"));  // the next command that succeeds does
    EXPECT_EQ(plain, core.RenderChart(QSize(320, 240)));
}

TEST(ChartImage, StarNamesNeverOverlapAndTheFainterGivesWay)
{
    QFont font;
    font.setPixelSize(13);
    const QFontMetricsF metrics(font);
    // stars as close as Orion's belt at a wide field, brightest first, a faint one amid them, one far away
    const std::vector<ChartLabel> labels = {{{100, 100}, 2, "Alnilam"}, {{108, 104}, 2, "Alnitak"}, {{92, 96}, 2, "Mintaka"},
                                            {{88, 110}, 2, "Saiph"},    {{100, 100}, 1, "Faint"},   {{300, 300}, 2, "Sirius"}};
    const std::vector<QRectF> places = PlaceLabels(labels, metrics);
    ASSERT_EQ(labels.size(), places.size());
    // the brightest and the lone star take the first place, upper right, clear of their own marks
    for (size_t i : {size_t(0), size_t(5)}) {
        EXPECT_GT(places[i].left(), labels[i].at.x() + labels[i].radius);
        EXPECT_LT(places[i].bottom(), labels[i].at.y() - labels[i].radius);
    }
    for (size_t i = 0; i < places.size(); ++i) {
        EXPECT_EQ(i == 4, places[i].isEmpty()) << i;  // four corners, all taken: the faintest name goes
        if (!places[i].isEmpty()) {
            EXPECT_NEAR(metrics.horizontalAdvance(labels[i].text), places[i].width(), 0.01);
        }
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(places[i].intersects(places[j])) << labels[i].text.toStdString() << " over " << labels[j].text.toStdString();
    }
}

// The date line is the chart's own text: the names in the sky give way to it,
// wherever the view turns. Its glyphs' area is the same with names and without.
TEST(ChartImage, NamesInTheSkyGiveWayToTheDateLine)
{
    CSimulatedCore core;
    core.ExecCommand("time.year = 2026; time.month = 1; time.day = 15; time.hour = 20; time.minute = 0; "
                     "deepskyobject.messier.mark.visible = TRUE; view.angle = 100");
    const QSize size(640, 480);
    QFont font("IPAPGothic");
    font.setPixelSize(14);
    const QRect line = QFontMetricsF(font)
                           .boundingRect(QRectF(12, 8, size.width() - 24, 22), Qt::AlignLeft | Qt::AlignVCenter,
                                         "2026年1月15日 20:00  緯度 35.69°  経度 139.69°")
                           .toAlignedRect();
    const char* names[] = {"star.name.visible", "constellation.name.visible", "deepskyobject.messier.number.visible"};
    const auto withNames = [&](const char* value) {
        for (const char* flag : names)
            core.ExecCommand(QString("%1 = %2").arg(flag, value));
        return core.RenderChart(size);
    };
    int beside = 0;  // views with a name right of the line or below it: the names were there to give way
    for (int azimuth = 0; azimuth < 360; azimuth += 15) {
        core.ExecCommand(QString("view.center.position.horizon.azimuth = %1; view.center.position.horizon.altitude = 40").arg(azimuth));
        const QImage named = withNames("TRUE"), bare = withNames("FALSE");
        ASSERT_FALSE(named.isNull());
        EXPECT_EQ(named.copy(line), bare.copy(line)) << "a name over the date line, azimuth " << azimuth;
        beside += named.copy(0, 0, size.width(), 60) != bare.copy(0, 0, size.width(), 60);
    }
    EXPECT_GT(beside, 0);
}
