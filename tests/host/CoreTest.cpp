#include "host/core/AdditionalObjects.h"
#include "host/core/ChartRenderer.h"
#include "host/core/SimulatedCore.h"
#include "platform/Text.h"
#include "support/zvnreg/Registry.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

namespace {

double num(CSimulatedCore& core, const QString& query) { return core.ExecCommand(query).toDouble(); }

bool isNumber(const QString& text)
{
    bool ok = false;
    text.toDouble(&ok);
    return ok;
}

// brightness of the brightest pixel within `radius` of a point
int brightestNear(const QImage& image, QPoint at, int radius)
{
    int best = 0;
    for (int y = at.y() - radius; y <= at.y() + radius; ++y)
        for (int x = at.x() - radius; x <= at.x() + radius; ++x)
            if (image.rect().contains(x, y))
                best = std::max(best, qGray(image.pixel(x, y)));
    return best;
}

}  // namespace

TEST(SimulatedCore, AnswersEveryQueryInTheFormItsCallersRead)
{
    CSimulatedCore core;
    for (const char* q : {"? time.year", "? time.month", "? time.day"}) {
        const QString answer = core.ExecCommand(q);
        EXPECT_GT(platform::_wtoi(answer), 0) << q;
        EXPECT_EQ(QString::number(platform::_wtoi(answer)), answer) << q;
    }
    EXPECT_GT(num(core, "? time.jd"), 2460000.0);
    for (const char* q : {"? view.angle", "? location.latitude", "? location.longitude", "? location.height",
                          "? view.center.position.horizon.altitude", "? view.center.position.horizon.azimuth",
                          "? view.center.position.equatorialdatemean.ra", "? view.center.position.equatorialdatemean.dec",
                          "? view.center.position.ecliptic.lambda", "? view.center.position.ecliptic.beta",
                          "? view.center.position.galactic.longitude", "? view.center.position.galactic.latitude"})
        EXPECT_TRUE(isNumber(core.ExecCommand(q))) << q;
    EXPECT_EQ("Horizon", core.ExecCommand("? view.coordinate"));
    EXPECT_NEAR(35.69, num(core, "? location.latitude"), 0.01);  // Tokyo

    // the date as the program dialog reads it: drop 4, the era in 2, then year/month/day
    const QString lst = core.ExecCommand("? LST(time)");
    const QString era = lst.mid(4, 2);
    const QStringList ymd = lst.mid(6).split('/');
    EXPECT_EQ("AD", era);
    ASSERT_GE(ymd.size(), 3);
    EXPECT_EQ(core.ExecCommand("? time.year").toInt(), platform::_wtoi(ymd[0]));
    EXPECT_EQ(core.ExecCommand("? time.month").toInt(), platform::_wtoi(ymd[1]));
    EXPECT_EQ(core.ExecCommand("? time.day").toInt(), platform::_wtoi(ymd[2]));
    EXPECT_EQ("", core.ExecCommand("? System.Error"));
}

TEST(SimulatedCore, DisplayFlagsAnswerTrueOrFalseToTheirExactQueries)
{
    CSimulatedCore core;
    const char* queries[] = {
        "? star.name.visible", "? star.twinkle.visible", "? constellation.name.visible", "? constellation.line.visible",
        "? constellation.picture.visible", "? solar.sun.name.visible", "? milkyway.visible",
        "?  deepskyobject.messier.mark.visible", "? deepskyobject.messier.number.visible",
        "? deepskyobject.messier.name.visible", "? comet.visible", "? comet.id.visible", "? comet.name.visible",
        "? meteor.swarm.radiant.visible", "? meteor.swarm.radiant.name.visible", "? landscape.visible",
        "? CoordinatesLine.Meridian.visible", "? CoordinatesLine.AltAzmthGrid.visible", "? CoordinatesLine.Equator.visible",
        "? CoordinatesLine.EquatorialGrid.visible", "? CoordinatesLine.Ecliptic.visible", "? skylight.daylight.visible",
        "? skylight.moonlight.visible", "? skylight.lightpollution.visible", "? deepskyimage.visible",
        "? FreeStyleControl.Visible", "? Logo.Visible"};
    for (const char* q : queries) {
        const QString answer = core.ExecCommand(q);
        EXPECT_TRUE(answer == "TRUE" || answer == "FALSE") << q << " answered " << answer.toStdString();
        EXPECT_EQ("", core.ExecCommand("? System.Error")) << q;
    }
    core.ExecCommand("deepskyimage.visible = FALSE; Show Sky");
    EXPECT_EQ("FALSE", core.ExecCommand("? deepskyimage.visible"));
    core.ExecCommand("FreeStyleControl.Visible = TRUE");
    EXPECT_EQ("TRUE", core.ExecCommand("? FreeStyleControl.Visible"));
    core.ExecCommand("CoordinatesLine.Meridian.visible = TRUE");
    EXPECT_EQ("TRUE", core.ExecCommand("? CoordinatesLine.Meridian.visible"));
    core.ExecCommand("star.name.visible = maybe");
    EXPECT_NE("", core.ExecCommand("? System.Error"));
}

TEST(SimulatedCore, TheCentreIsOneDirectionInFourSystems)
{
    CSimulatedCore core;
    core.ExecCommand("time.jd = 2451545.0");
    core.ExecCommand("view.coordinate = Galactic");
    core.ExecCommand("view.center.position.galactic.longitude = 0; view.center.position.galactic.latitude = 0");
    // the galactic centre, by the catalogues: RA 266.40, Dec -28.94 (J2000)
    EXPECT_NEAR(266.40, num(core, "? view.center.position.equatorialdatemean.ra"), 0.02);
    EXPECT_NEAR(-28.94, num(core, "? view.center.position.equatorialdatemean.dec"), 0.02);
    EXPECT_EQ("Galactic", core.ExecCommand("? view.coordinate"));

    // the summer solstice point: ecliptic longitude 90 is RA 90, Dec +23.44
    core.ExecCommand("view.coordinate = Ecliptic; view.center.position.ecliptic.lambda = 90; view.center.position.ecliptic.beta = 0");
    EXPECT_NEAR(90.0, num(core, "? view.center.position.equatorialdatemean.ra"), 0.01);
    EXPECT_NEAR(23.44, num(core, "? view.center.position.equatorialdatemean.dec"), 0.01);

    // changing the frame keeps the direction
    const double alt = num(core, "? view.center.position.horizon.altitude");
    core.ExecCommand("view.coordinate = Horizon");
    EXPECT_NEAR(alt, num(core, "? view.center.position.horizon.altitude"), 1e-3);
    EXPECT_NEAR(90.0, num(core, "? view.center.position.equatorialdatemean.ra"), 1e-3);
    core.ExecCommand("view.coordinate = Sideways");
    EXPECT_NE("", core.ExecCommand("? System.Error"));
    EXPECT_EQ("Horizon", core.ExecCommand("? view.coordinate"));
}

TEST(SimulatedCore, AssignmentsMoveTimeAndPlace)
{
    CSimulatedCore core;
    core.ExecCommand("time.year = 2026; time.month = 1; time.day = 15; time.hour = 20; time.minute = 0");
    EXPECT_EQ("2026", core.ExecCommand("? time.year"));
    EXPECT_EQ("1", core.ExecCommand("? time.month"));
    EXPECT_EQ("15", core.ExecCommand("? time.day"));
    // 20:00 in Tokyo is 11:00 UT: JD 2461055.958333
    EXPECT_NEAR(2461055.958333, num(core, "? time.jd"), 1e-5);
    const double jd = num(core, "? time.jd");
    core.ExecCommand("time.hour = 21");
    EXPECT_NEAR(jd + 1.0 / 24, num(core, "? time.jd"), 1e-6);
    core.ExecCommand("location.latitude = 43.06; location.longitude = 141.35; location.height = 20");
    EXPECT_NEAR(43.06, num(core, "? location.latitude"), 1e-6);
    EXPECT_NEAR(20.0, num(core, "? location.height"), 1e-6);
    core.ExecCommand("location.latitude = 95");
    EXPECT_NE("", core.ExecCommand("? System.Error"));
    EXPECT_NEAR(43.06, num(core, "? location.latitude"), 1e-6);
    core.ExecCommand("view.angle = 60");
    EXPECT_NEAR(60.0, num(core, "? view.angle"), 1e-6);
}

TEST(SimulatedCore, YearsBeforeOneCountAstronomically)
{
    CSimulatedCore core;
    core.ExecCommand("time.year = 2026; time.month = 3; time.day = 21; time.hour = 12; time.minute = 0");
    core.ExecCommand("time.year = 0");
    EXPECT_EQ("", core.ExecCommand("? System.Error"));
    EXPECT_EQ("0", core.ExecCommand("? time.year"));
    EXPECT_EQ("3", core.ExecCommand("? time.month"));
    EXPECT_EQ("21", core.ExecCommand("? time.day"));
    // year 0 is 1 BC, -1 is 2 BC
    EXPECT_TRUE(core.ExecCommand("? LST(time)").startsWith("LST BC1/3/21 ")) << core.ExecCommand("? LST(time)").toStdString();
    core.ExecCommand("time.year = -1");
    EXPECT_EQ("-1", core.ExecCommand("? time.year"));
    EXPECT_TRUE(core.ExecCommand("? LST(time)").startsWith("LST BC2/3/21 ")) << core.ExecCommand("? LST(time)").toStdString();
    core.ExecCommand("time.year = 1");
    EXPECT_TRUE(core.ExecCommand("? LST(time)").startsWith("LST AD1/3/21 ")) << core.ExecCommand("? LST(time)").toStdString();

    // 0001-01-01 00:00 UT is JD 1721425.5: 125 days before it is 1 BC, 425 days before it 2 BC
    core.ExecCommand("time.jd = 1721300.5");
    EXPECT_EQ("0", core.ExecCommand("? time.year"));
    core.ExecCommand("time.jd = 1721000.5");
    EXPECT_EQ("-1", core.ExecCommand("? time.year"));
}

TEST(SimulatedCore, SiderealTimeHoldsForADateBC)
{
    CSimulatedCore core;
    const double jd = 1684321.3, longitude = 139.6917;  // 102 BC, 19:12 UT, Tokyo
    core.ExecCommand(QString("time.jd = %1; location.longitude = %2").arg(jd, 0, 'f', 6).arg(longitude));
    // expected: GMST at 0h UT (IAU 1982, in seconds), the sidereal turning since midnight, the longitude
    const double midnight = std::floor(jd - 0.5) + 0.5;
    const double t = (midnight - 2451545.0) / 36525.0;
    const double gmst0 = 24110.54841 + 8640184.812866 * t + 0.093104 * t * t - 6.2e-6 * t * t * t;
    double expected = std::fmod(gmst0 + 1.00273790935 * (jd - midnight) * 86400.0 + longitude / 15.0 * 3600.0, 86400.0);
    if (expected < 0)
        expected += 86400.0;

    const QString answer = core.ExecCommand("? LST(time)");
    EXPECT_TRUE(answer.startsWith("LST BC")) << answer.toStdString();
    const QStringList hms = answer.section(' ', -1).split(':');
    ASSERT_EQ(3, hms.size()) << answer.toStdString();
    const double seconds = hms[0].toInt() * 3600.0 + hms[1].toInt() * 60.0 + hms[2].toInt();
    double difference = std::fabs(seconds - expected);
    difference = std::min(difference, 86400.0 - difference);
    EXPECT_LT(difference, 1.5) << answer.toStdString() << ", expected " << expected << " s";
}

TEST(SimulatedCore, AQuotedPathMayHoldTheStatementSeparator)
{
    TempEnvironment env;
    CSimulatedCore core;
    const QString path = env.Path("a; b.png");
    core.ExecCommand(QString("Logo.Visible = TRUE; Save Zentar,\"%1\"; Show Sky").arg(path));
    EXPECT_EQ("", core.ExecCommand("? System.Error"));
    EXPECT_FALSE(QImage(path).isNull());
    EXPECT_EQ(QStringList{"a; b.png"}, QDir(env.Root()).entryList(QDir::Files));
    EXPECT_EQ("TRUE", core.ExecCommand("? Logo.Visible"));  // the statement before it ran
}

TEST(SimulatedCore, ErrorsAreReportedUntilTheNextCommandSucceeds)
{
    TempEnvironment env;
    CSimulatedCore core;
    core.ExecCommand("Fly To Mars");
    const QString unknown = core.ExecCommand("? System.Error");
    EXPECT_TRUE(unknown.contains("Fly To Mars")) << unknown.toStdString();
    EXPECT_EQ(unknown, core.ExecCommand("? System.Error"));  // asking does not clear it
    core.ExecCommand("? no.such.property");
    EXPECT_NE("", core.ExecCommand("? System.Error"));

    core.ExecCommand(QString("Show Sky; Save Zentar,\"%1\"").arg(env.Path("missing/folder/chart.png")));
    EXPECT_TRUE(core.ExecCommand("? System.Error").contains("missing/folder/chart.png"));
    core.ExecCommand(QString("Show Sky; Save Zentar,\"%1\"").arg(env.Path("chart.png")));
    EXPECT_EQ("", core.ExecCommand("? System.Error"));
    EXPECT_FALSE(QImage(env.Path("chart.png")).isNull());
}

TEST(SimulatedCore, EveryCommandCanBeLogged)
{
    TempEnvironment env;
    CSimulatedCore core;
    ASSERT_TRUE(core.SetCommandLog(env.Path("commands.log")));
    core.ExecCommand("? view.coordinate");
    core.ExecCommand("Fly To Mars");
    const QString log = QString::fromUtf8(TempEnvironment::ReadBytes(env.Path("commands.log")));
    EXPECT_TRUE(log.contains("? view.coordinate\tHorizon")) << log.toStdString();
    EXPECT_TRUE(log.contains("Fly To Mars\tERROR")) << log.toStdString();
}

TEST(ChartImage, StarsStandWhereTimeAndPlacePutThem)
{
    TempEnvironment env;
    CSimulatedCore core;
    // 2000-01-01 12:00 UT at longitude 1.226 W: the local sidereal time equals Vega's right
    // ascension, so Vega culminates, 90 - (38.78 - 35.69) = 86.91 degrees high in the north
    core.ExecCommand("time.jd = 2451545.0; location.latitude = 35.69; location.longitude = -1.226");
    core.ExecCommand("constellation.line.visible = FALSE; constellation.name.visible = FALSE; star.name.visible = FALSE; "
                     "milkyway.visible = FALSE; FreeStyleControl.Visible = FALSE; landscape.visible = FALSE");
    core.ExecCommand("view.angle = 20; view.center.position.horizon.azimuth = 0; view.center.position.horizon.altitude = 86.91");
    const QString path = env.Path("vega.png");
    core.ExecCommand(QString("Save Zentar,\"%1\"").arg(path));
    QImage chart(path);
    ASSERT_FALSE(chart.isNull());
    const QPoint centre(chart.width() / 2, chart.height() / 2);
    EXPECT_GT(brightestNear(chart, centre, 4), 200) << "Vega is not at the centre of the chart";
    // one degree is width / 20 = 48 pixels here: nothing as bright stands two degrees away
    EXPECT_LT(brightestNear(chart, centre + QPoint(96, 0), 4), 200);

    // an hour later the sky has turned by 15 degrees: Vega has left the centre
    core.ExecCommand("time.jd = 2451545.0416667");
    const QImage later = core.RenderChart();
    EXPECT_LT(brightestNear(later, centre, 4), 120);
    EXPECT_NE(chart, later);
}

TEST(ChartImage, DisplayFlagsChangeWhatIsDrawn)
{
    CSimulatedCore core;
    core.ExecCommand("time.jd = 2461055.958333");
    const QImage plain = core.RenderChart(QSize(320, 240));
    core.ExecCommand("Logo.Visible = TRUE");
    const QImage withLogo = core.RenderChart(QSize(320, 240));
    EXPECT_NE(plain, withLogo);
    core.ExecCommand("Logo.Visible = FALSE");
    EXPECT_EQ(plain, core.RenderChart(QSize(320, 240)));
}

namespace {

// the mean brightness of the square of side 2 * radius + 1 around a point
double meanNear(const QImage& image, QPointF at, int radius)
{
    double sum = 0;
    int n = 0;
    for (int y = int(at.y()) - radius; y <= int(at.y()) + radius; ++y)
        for (int x = int(at.x()) - radius; x <= int(at.x()) + radius; ++x)
            if (image.rect().contains(x, y))
                sum += qGray(image.pixel(x, y)), ++n;
    return n ? sum / n : 0;
}

QByteArray objectFile(const char* ra, const char* dec, const char* extra = "")
{
    return QByteArray("[General]\r\nFileOwner=ZentorinLite\r\nFileId=AdditionalObject\r\nFileVersion=1.0\r\n[Object]\r\nKind=Comet\r\n")
           + "Name=\x83\x5b\x83\x93\x83\x67\x9c\x61\x90\xaf\r\nRA=" + ra + "\r\nDec=" + dec + "\r\n" + extra;
}

}  // namespace

TEST(AdditionalObjects, TheRegisteredFilesAreReadPastGapsBadFilesAndCommasInPaths)
{
    TempEnvironment env;
    const QString folder = env.Path(QStringLiteral("Adf, mine"));  // a comma in the path itself
    ASSERT_TRUE(TempEnvironment::WriteBytes(folder + "/a,b.adf", objectFile("4.0", "60.0", "Magnitude=3.5\r\nTailLength=6\r\n")));
    ASSERT_TRUE(TempEnvironment::WriteBytes(folder + "/far.adf", objectFile("25.0", "10.0")));  // no such hour
    ASSERT_TRUE(TempEnvironment::WriteBytes(folder + "/late.adf", objectFile("12.5", "-30.5")));
    const QString section = QStringLiteral("General\\ADF");
    CRegistry::Write(section, QStringLiteral("ADF1"), folder + QStringLiteral("/a,b.adf,ゼント彗星（2026年）"));
    CRegistry::Write(section, QStringLiteral("ADF2"), folder + QStringLiteral("/gone.adf,消えた"));
    CRegistry::Write(section, QStringLiteral("ADF3"), folder + QStringLiteral("/far.adf,遠い"));
    CRegistry::Write(section, QStringLiteral("ADF7"), folder + QStringLiteral("/late.adf,"));

    const QList<AdditionalObject> objects = additional::LoadRegistered();
    ASSERT_EQ(objects.size(), 2);
    EXPECT_EQ(objects[0].name, QStringLiteral("ゼント彗星（2026年）"));  // the title it was installed under
    EXPECT_DOUBLE_EQ(objects[0].j2000.lon, 60.0);
    EXPECT_DOUBLE_EQ(objects[0].j2000.lat, 60.0);
    EXPECT_DOUBLE_EQ(objects[0].tailLength, 6.0);
    EXPECT_EQ(objects[1].name, QStringLiteral("ゼント彗星"));  // no title: the file's own name, read as CP932
    EXPECT_DOUBLE_EQ(objects[1].j2000.lat, -30.5);
}

TEST(AdditionalObjects, ACometIsDrawnWithItsTailTowardsItsPositionAngle)
{
    CSimulatedCore core;
    core.ExecCommand(QStringLiteral("time.year = 2026; time.month = 12; time.day = 20; time.hour = 23; time.minute = 0; "
                                    "view.coordinate = EquatorialDateMean; view.angle = 30; "
                                    "view.center.position.equatorialdatemean.ra = 60; view.center.position.equatorialdatemean.dec = 60"));
    AdditionalObject comet;
    comet.kind = QStringLiteral("Comet");
    comet.name = QStringLiteral("彗星");
    comet.j2000 = {60, 60};
    comet.magnitude = 4;
    comet.tailLength = 8;
    const QImage without = core.RenderChart();
    // 960 pixels across 30 degrees: 32 per degree; the tail's middle is 4 degrees from the head
    const QPointF centre(480, 360);
    for (double angle : {0.0, 90.0}) {
        comet.tailAngle = angle;
        core.SetAdditionalObjects({comet});
        const QImage with = core.RenderChart();
        EXPECT_GT(brightestNear(with, centre.toPoint(), 20), brightestNear(without, centre.toPoint(), 20) + 60) << angle;
        // north is up; east lies to the left, as the sky is seen from inside
        const QPointF tail = angle == 0 ? QPointF(0, -128) : QPointF(-128, 0);
        EXPECT_GT(meanNear(with, centre + tail, 6), meanNear(without, centre + tail, 6) + 25) << angle;
        EXPECT_LT(meanNear(with, centre - tail, 6), meanNear(without, centre - tail, 6) + 5) << angle;
    }
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
    int shown = 0;
    for (size_t i = 0; i < places.size(); ++i) {
        if (places[i].isEmpty())
            continue;
        ++shown;
        EXPECT_NEAR(metrics.horizontalAdvance(labels[i].text), places[i].width(), 0.01);
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(places[i].intersects(places[j])) << labels[i].text.toStdString() << " over " << labels[j].text.toStdString();
    }
    EXPECT_TRUE(places[4].isEmpty());  // four corners, all taken: the faintest name goes
    EXPECT_EQ(5, shown);
}
