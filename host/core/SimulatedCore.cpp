#include "host/core/SimulatedCore.h"

#include "host/core/ChartRenderer.h"
#include "platform/CodePage.h"
#include "platform/FileReplace.h"
#include "support/zvndcm/ParamFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cmath>

namespace {

using astro::Frame;

struct FlagDefault {
    const char* name;
    bool on;
};

// the display flags of the share request, then the host's own layers
const FlagDefault kFlags[] = {
    {"star.name.visible", true},
    {"star.twinkle.visible", false},
    {"constellation.name.visible", true},
    {"constellation.line.visible", true},
    {"constellation.picture.visible", false},
    {"solar.sun.name.visible", true},
    {"milkyway.visible", true},
    {"deepskyobject.messier.mark.visible", false},
    {"deepskyobject.messier.number.visible", false},
    {"deepskyobject.messier.name.visible", false},
    {"comet.visible", false},
    {"comet.id.visible", false},
    {"comet.name.visible", false},
    {"meteor.swarm.radiant.visible", false},
    {"meteor.swarm.radiant.name.visible", false},
    {"landscape.visible", true},
    {"CoordinatesLine.Meridian.visible", false},
    {"CoordinatesLine.AltAzmthGrid.visible", false},
    {"CoordinatesLine.Equator.visible", false},
    {"CoordinatesLine.EquatorialGrid.visible", false},
    {"CoordinatesLine.Ecliptic.visible", false},
    {"skylight.daylight.visible", false},
    {"skylight.moonlight.visible", false},
    {"skylight.lightpollution.visible", false},
    {"deepskyimage.visible", true},
    {"FreeStyleControl.Visible", true},
    {"Logo.Visible", false},
};

const struct {
    const char* name;
    Frame frame;
    const char* lon;
    const char* lat;
} kFrames[] = {
    {"Horizon", Frame::Horizon, "view.center.position.horizon.azimuth", "view.center.position.horizon.altitude"},
    {"EquatorialDateMean", Frame::EquatorialDateMean, "view.center.position.equatorialdatemean.ra",
     "view.center.position.equatorialdatemean.dec"},
    {"Ecliptic", Frame::Ecliptic, "view.center.position.ecliptic.lambda", "view.center.position.ecliptic.beta"},
    {"Galactic", Frame::Galactic, "view.center.position.galactic.longitude", "view.center.position.galactic.latitude"},
};

QString number(double value, int decimals) { return QString::number(value, 'f', decimals); }

bool readNumber(const QString& text, double* value)
{
    bool ok = false;
    *value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(*value);
}

QString unquote(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

// the statements of a text, split on "; " outside double quotes: a quoted path may hold "; "
QStringList splitStatements(const QString& text)
{
    QStringList statements;
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'"')
            quoted = !quoted;
        else if (!quoted && text[i] == u';' && i + 1 < text.size() && text[i + 1] == u' ') {
            statements.append(text.mid(start, i - start));
            start = i + 2;
            ++i;
        }
    }
    statements.append(text.mid(start));
    return statements;
}

// the arguments of an action: `"a","b"`; inside quotes "" stands for one double quote
QStringList actionArguments(const QString& text)
{
    QStringList out;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"' && quoted && i + 1 < text.size() && text[i + 1] == u'"')
            current += text[++i];
        else if (c == u'"')
            quoted = !quoted;
        else if (c == u',' && !quoted) {
            out.append(current.trimmed());
            current.clear();
        } else
            current += c;
    }
    out.append(current.trimmed());
    return out;
}

}  // namespace

CSimulatedCore::CSimulatedCore(QObject* parent) : QObject(parent)
{
    m_state.jd = astro::JulianDate(QDateTime::currentDateTimeUtc());
    for (const FlagDefault& f : kFlags)
        m_state.flags.insert(QString::fromLatin1(f.name).toLower(), f.on);
}

CSimulatedCore::~CSimulatedCore() = default;

void CSimulatedCore::SetAdditionalObjects(const QList<AdditionalObject>& objects)
{
    m_state.additional = objects;
    emit skyChanged();
}

const QStringList& CSimulatedCore::FlagNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const FlagDefault& f : kFlags)
            list.append(QString::fromLatin1(f.name));
        return list;
    }();
    return names;
}

bool CSimulatedCore::SetCommandLog(const QString& path)
{
    auto log = std::make_unique<QFile>(path);
    if (!log->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    m_log = std::move(log);
    return true;
}

QImage CSimulatedCore::RenderChart(const QSize& size) const { return CChartRenderer::Render(m_state, size); }

QString CSimulatedCore::ExecCommand(const QString& command)
{
    QString result;
    QString error;
    const bool asksForError = command.trimmed().compare(u"? System.Error", Qt::CaseInsensitive) == 0;
    // statements run in order; the first that fails stops the rest
    for (const QString& statement : splitStatements(command)) {
        result = run(statement.trimmed(), error);
        if (!error.isEmpty())
            break;
    }
    if (!asksForError)
        m_lastError = error;
    if (m_log) {
        QTextStream out(m_log.get());
        out << QDateTime::currentDateTime().toString(Qt::ISODateWithMs) << '\t' << command << '\t'
            << (error.isEmpty() ? result : QStringLiteral("ERROR ") + error) << '\n';
        out.flush();
    }
    return result;
}

QString CSimulatedCore::run(const QString& statement, QString& error)
{
    if (statement.startsWith(u'?'))
        return query(statement.mid(1).trimmed(), error);
    if (statement.compare(u"Show Sky", Qt::CaseInsensitive) == 0) {
        emit skyChanged();
        return {};
    }
    if (statement.startsWith(QLatin1String("Save Zentar,"), Qt::CaseInsensitive)) {
        save(unquote(statement.mid(12)), error);
        return {};
    }
    if (statement.startsWith(QLatin1String("Save Scene,"), Qt::CaseInsensitive)) {
        saveScene(actionArguments(statement.mid(11)), error);
        return {};
    }
    if (statement.startsWith(QLatin1String("Load Scene,"), Qt::CaseInsensitive)) {
        loadScene(actionArguments(statement.mid(11)), error);
        if (error.isEmpty())
            emit skyChanged();
        return {};
    }
    const qsizetype eq = statement.indexOf(QLatin1String(" = "));
    if (eq > 0) {
        assign(statement.left(eq).trimmed(), statement.mid(eq + 3).trimmed(), error);
        if (error.isEmpty())
            emit skyChanged();
        return {};
    }
    error = QStringLiteral("不明なコマンドです: %1").arg(statement);
    return {};
}

QString CSimulatedCore::query(const QString& path, QString& error) const
{
    const QString key = path.toLower();
    if (key == u"system.error")
        return m_lastError;
    const QDateTime local = astro::FromJulianDate(m_state.jd).addSecs(static_cast<qint64>(std::llround(m_state.timezone * 3600)));
    if (key == u"time.year")
        return QString::number(astro::AstronomicalYear(local.date()));
    if (key == u"time.month")
        return QString::number(local.date().month());
    if (key == u"time.day")
        return QString::number(local.date().day());
    if (key == u"time.hour")
        return QString::number(local.time().hour());
    if (key == u"time.minute")
        return QString::number(local.time().minute());
    if (key == u"time.jd")
        return number(m_state.jd, 6);
    if (key == u"lst(time)") {
        // "LST ", the era, the local date, then the local sidereal time
        const astro::EraYear era = astro::ToEraYear(astro::AstronomicalYear(local.date()));
        const double lst = m_state.Observer().LocalSiderealDegrees() / 15.0;
        const int seconds = static_cast<int>(lst * 3600) % 86400;
        return QStringLiteral("LST %1%2/%3/%4 %5:%6:%7")
            .arg(era.bc ? QStringLiteral("BC") : QStringLiteral("AD"))
            .arg(era.year)
            .arg(local.date().month())
            .arg(local.date().day())
            .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    }
    if (key == u"location.latitude")
        return number(m_state.latitude, 4);
    if (key == u"location.longitude")
        return number(m_state.longitude, 4);
    if (key == u"location.height")
        return number(m_state.height, 1);
    if (key == u"location.timezone")
        return number(m_state.timezone, 1);
    if (key == u"view.angle")
        return number(m_state.angle, 2);
    if (key == u"view.coordinate") {
        for (const auto& f : kFrames)
            if (f.frame == m_state.frame)
                return QString::fromLatin1(f.name);
    }
    for (const auto& f : kFrames) {
        if (key == QLatin1String(f.lon) || key == QLatin1String(f.lat)) {
            const astro::Observer o = m_state.Observer();
            const astro::Spherical s = o.FromEquatorialDate(o.ToEquatorialDate(m_state.center, m_state.frame), f.frame);
            return number(key == QLatin1String(f.lon) ? s.lon : s.lat, 4);
        }
    }
    if (m_state.flags.contains(key))
        return m_state.flags.value(key) ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    error = QStringLiteral("不明なプロパティです: %1").arg(path);
    return {};
}

void CSimulatedCore::setLocalDate(int field, int value)
{
    const qint64 offset = static_cast<qint64>(std::llround(m_state.timezone * 3600));
    QDateTime local = astro::FromJulianDate(m_state.jd).addSecs(offset);
    int year = astro::AstronomicalYear(local.date()), month = local.date().month(), day = local.date().day();
    QTime time = local.time();
    switch (field) {
    case 0: year = value; break;
    case 1: month = value; break;
    case 2: day = value; break;
    case 3: time = QTime(value, time.minute(), time.second()); break;
    case 4: time = QTime(time.hour(), value, 0); break;  // a clock set to the minute starts that minute
    }
    // a new year or month keeps the day where the month has it, else takes the month's last
    if (field < 2)
        day = std::min(day, astro::DateOfAstronomicalYear(year, month, 1).daysInMonth());
    const QDate date = astro::DateOfAstronomicalYear(year, month, day);
    if (date.isValid() && time.isValid())
        m_state.jd = astro::JulianDate(QDateTime(date, time, Qt::UTC).addSecs(-offset));
}

void CSimulatedCore::assign(const QString& path, const QString& value, QString& error)
{
    const QString key = path.toLower();
    if (m_state.flags.contains(key)) {
        if (value.compare(u"TRUE", Qt::CaseInsensitive) == 0 || value.compare(u"FALSE", Qt::CaseInsensitive) == 0)
            m_state.flags[key] = value.compare(u"TRUE", Qt::CaseInsensitive) == 0;
        else
            error = QStringLiteral("値が正しくありません: %1").arg(value);
        return;
    }
    if (key == u"view.coordinate") {
        for (const auto& f : kFrames) {
            if (value.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0) {
                // the view keeps looking the same way; only its frame changes
                const astro::Observer o = m_state.Observer();
                m_state.center = o.FromEquatorialDate(o.ToEquatorialDate(m_state.center, m_state.frame), f.frame);
                m_state.frame = f.frame;
                return;
            }
        }
        error = QStringLiteral("値が正しくありません: %1").arg(value);
        return;
    }
    double n = 0;
    if (!readNumber(value, &n)) {
        error = QStringLiteral("値が正しくありません: %1").arg(value);
        return;
    }
    const struct { const char* path; double* target; double low, high; } numbers[] = {
        {"time.jd", &m_state.jd, 0, 1e8},
        {"location.latitude", &m_state.latitude, -90, 90},
        {"location.longitude", &m_state.longitude, -180, 360},
        {"location.height", &m_state.height, -500, 1e5},
        {"location.timezone", &m_state.timezone, -14, 14},
        {"view.angle", &m_state.angle, 1, 270},
    };
    for (const auto& entry : numbers) {
        if (key == QLatin1String(entry.path)) {
            if (n < entry.low || n > entry.high)
                error = QStringLiteral("値が範囲外です: %1").arg(value);
            else
                *entry.target = n;
            return;
        }
    }
    const char* dateFields[] = {"time.year", "time.month", "time.day", "time.hour", "time.minute"};
    for (int i = 0; i < 5; ++i) {
        if (key == QLatin1String(dateFields[i])) {
            setLocalDate(i, static_cast<int>(n));
            return;
        }
    }
    for (const auto& f : kFrames) {
        if (key == QLatin1String(f.lon) || key == QLatin1String(f.lat)) {
            // set one component in its own frame, keep the other, and come back to the view's frame
            const astro::Observer o = m_state.Observer();
            astro::Spherical s = o.FromEquatorialDate(o.ToEquatorialDate(m_state.center, m_state.frame), f.frame);
            if (key == QLatin1String(f.lon))
                s.lon = astro::Normalize360(n);
            else
                s.lat = std::clamp(n, -90.0, 90.0);
            m_state.center = o.FromEquatorialDate(o.ToEquatorialDate(s, f.frame), m_state.frame);
            return;
        }
    }
    error = QStringLiteral("不明なプロパティです: %1").arg(path);
}

void CSimulatedCore::save(const QString& path, QString& error)
{
    if (path.isEmpty() || !QFileInfo(QFileInfo(path).absolutePath()).isDir() || !RenderChart().save(path, "PNG"))
        error = QStringLiteral("星図を保存できません: %1").arg(path);
}

// A scene file (docs/scene-file.md): the description the dialog escaped, then
// the time, place, view and display flags, so the scene reopens the same sky.
void CSimulatedCore::saveScene(const QStringList& arguments, QString& error) const
{
    const QString path = arguments.value(0);
    QStringList lines = {QStringLiteral("[General]"), QStringLiteral("FileOwner=ZentorinLite"), QStringLiteral("FileId=Scene"),
                         QStringLiteral("FileVersion=1.0"),
                         // a line break would end the value early: the dialog's escaped form has none
                         QStringLiteral("Description=") + arguments.value(1).remove(u'\r').remove(u'\n')};
    QString frame = QStringLiteral("Horizon");
    for (const auto& f : kFrames)
        if (f.frame == m_state.frame)
            frame = QString::fromLatin1(f.name);
    lines << QStringLiteral("[Time]") << QStringLiteral("JD=") + number(m_state.jd, 8)
          << QStringLiteral("TimeZone=") + number(m_state.timezone, 2) << QStringLiteral("[Location]")
          << QStringLiteral("Latitude=") + number(m_state.latitude, 6) << QStringLiteral("Longitude=") + number(m_state.longitude, 6)
          << QStringLiteral("Height=") + number(m_state.height, 1) << QStringLiteral("[View]")
          << QStringLiteral("Coordinate=") + frame << QStringLiteral("CenterLongitude=") + number(m_state.center.lon, 6)
          << QStringLiteral("CenterLatitude=") + number(m_state.center.lat, 6) << QStringLiteral("Angle=") + number(m_state.angle, 4)
          << QStringLiteral("[Display]");
    for (const QString& flag : FlagNames())
        lines << flag + (m_state.Flag(flag) ? QStringLiteral("=TRUE") : QStringLiteral("=FALSE"));
    if (path.isEmpty() || !QFileInfo(QFileInfo(path).absolutePath()).isDir()
        || !platform::ReplaceFile(path, platform::ToCodePage(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))))
        error = QStringLiteral("シーンを保存できません: %1").arg(path);
}

void CSimulatedCore::loadScene(const QStringList& arguments, QString& error)
{
    const QString path = arguments.value(0);
    CParamFile file;
    file.SetParameterFile(path);
    QString id;
    file.UpdateParam(QStringLiteral("General"), QStringLiteral("FileId"), QString(), id, CParamFile::Read);
    if (id != u"Scene") {
        error = QStringLiteral("シーンを読み込めません: %1").arg(path);
        return;
    }
    const auto text = [&](const char* section, const char* key) {
        QString value;
        file.UpdateParam(QString::fromLatin1(section), QString::fromLatin1(key), QString(), value, CParamFile::Read);
        return value;
    };
    // a value missing or out of its range keeps what the view had
    const auto read = [&](const char* section, const char* key, double* target, double low, double high) {
        double n = 0;
        if (readNumber(text(section, key), &n) && n >= low && n <= high)
            *target = n;
    };
    read("Time", "JD", &m_state.jd, 0, 1e8);
    read("Time", "TimeZone", &m_state.timezone, -14, 14);
    read("Location", "Latitude", &m_state.latitude, -90, 90);
    read("Location", "Longitude", &m_state.longitude, -180, 360);
    read("Location", "Height", &m_state.height, -500, 1e5);
    read("View", "Angle", &m_state.angle, 1, 270);
    const QString frame = text("View", "Coordinate");
    for (const auto& f : kFrames)
        if (frame.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
            m_state.frame = f.frame;
    read("View", "CenterLongitude", &m_state.center.lon, 0, 360);
    read("View", "CenterLatitude", &m_state.center.lat, -90, 90);
    for (const QString& flag : FlagNames()) {
        const QString value = text("Display", flag.toLatin1().constData());
        if (value == u"TRUE" || value == u"FALSE")
            m_state.flags[flag.toLower()] = value == u"TRUE";
    }
}
