#include "cloud/ShareRequest.h"

#include "cloud/ServiceJson.h"
#include "platform/CodePage.h"

#include <QFile>
#include <climits>
#include <cstdlib>
#include <cstring>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace sharerequest {
namespace {

const QByteArray kSeparator = QByteArray("\r\n--") + kBoundary + "\r\n";

QByteArray simplePart(const char* name, const QByteArray& value)
{
    return QByteArray("Content-Disposition: form-data; name=\"") + name + "\"\r\n\r\n" + value;
}

QByteArray fileHeader(const char* name, const QString& path, const char* type)
{
    return QByteArray("Content-Disposition: form-data; name=\"") + name + "\"; " + "filename=\"" + platform::ToCodePage(path)
           + "\"\r\n" + "Content-Type: " + type + "\r\n\r\n";
}

struct ViewFlag {
    const char* field;
    const char* query;
};

// the display flags, in the order the service reads them
constexpr ViewFlag kFlags[] = {
    {"star.name", "? star.name.visible"},
    {"twinkle", "? star.twinkle.visible"},
    {"cons.name", "? constellation.name.visible"},
    {"cons.line", "? constellation.line.visible"},
    {"cons.pic", "? constellation.picture.visible"},
    {"sol_system.name", "? solar.sun.name.visible"},
    {"milkyway", "? milkyway.visible"},
    {"messier.mark", "?  deepskyobject.messier.mark.visible"},  // two blanks, as the host has always been asked
    {"messier.number", "? deepskyobject.messier.number.visible"},
    {"messier.name", "? deepskyobject.messier.name.visible"},
    {"comet", "? comet.visible"},
    {"comet.id", "? comet.id.visible"},
    {"comet.name", "? comet.name.visible"},
    {"meteor.radiant.mark", "? meteor.swarm.radiant.visible"},
    {"meteor.radiant.name", "? meteor.swarm.radiant.name.visible"},
    {"panorama", "? landscape.visible"},
    {"meridian", "? CoordinatesLine.Meridian.visible"},
    {"hrz_grid", "? CoordinatesLine.AltAzmthGrid.visible"},
    {"equator", "? CoordinatesLine.Equator.visible"},
    {"eqt_grid", "? CoordinatesLine.EquatorialGrid.visible"},
    {"ecliptic", "? CoordinatesLine.Ecliptic.visible"},
    {"daylight", "? skylight.daylight.visible"},
    {"moonlight", "? skylight.moonlight.visible"},
    {"lightpollution", "? skylight.lightpollution.visible"},
};

struct Centre {
    const char* coordinate;
    const char* alpha;
    const char* delta;
};

// for the horizon, alpha carries the altitude and delta the azimuth
constexpr Centre kCentres[] = {
    {"Horizon", "? view.center.position.horizon.altitude", "? view.center.position.horizon.azimuth"},
    {"EquatorialDateMean", "? view.center.position.equatorialdatemean.ra", "? view.center.position.equatorialdatemean.dec"},
    {"Ecliptic", "? view.center.position.ecliptic.lambda", "? view.center.position.ecliptic.beta"},
    {"Galactic", "? view.center.position.galactic.longitude", "? view.center.position.galactic.latitude"},
};

// the view as the host reports it now: steps from "coordinate" to the closing delimiter
QByteArray viewParts(const BodyInputs& in, const Ask& ask)
{
    const auto answer = [&ask](const char* query) { return platform::ToCodePage(ask(QString::fromLatin1(query))); };
    QByteArray out;
    const QByteArray coordinate = answer("? view.coordinate");
    out += simplePart("coordinate", coordinate) + kSeparator;
    for (const Centre& c : kCentres) {
        if (qstricmp(coordinate.constData(), c.coordinate) == 0) {
            out += simplePart("alpha", answer(c.alpha)) + kSeparator;
            out += simplePart("delta", answer(c.delta)) + kSeparator;
            break;
        }
    }
    out += simplePart("angle", answer("? view.angle")) + kSeparator;
    out += simplePart("jd", answer("? time.jd")) + kSeparator;
    if (in.includeLocation) {
        out += simplePart("latitude", answer("? location.latitude")) + kSeparator;
        out += simplePart("longitude", answer("? location.longitude")) + kSeparator;
        out += simplePart("height", answer("? location.height")) + kSeparator;
    }
    for (const ViewFlag& f : kFlags) {
        out += simplePart(f.field, answer(f.query) == "TRUE" ? "1" : "0");
        out += &f == &kFlags[std::size(kFlags) - 1] ? QByteArray("\r\n--") + kBoundary + "--\r\n" : kSeparator;
    }
    return out;
}

// a body of `size` bytes, or none; on Linux in huge pages, since faulting in
// 50 MiB page by page costs more than reading the files into it
Body allocate(size_t size)
{
    constexpr size_t kHugePage = size_t(2) << 20;
    Body bytes(static_cast<char*>(std::aligned_alloc(kHugePage, (size + kHugePage - 1) / kHugePage * kHugePage)));
#ifdef __linux__
    if (bytes && size >= kHugePage)
        madvise(bytes.get(), size, MADV_HUGEPAGE);
#endif
    return bytes;
}

QString imageUnread(const BodyInputs& in) { return QStringLiteral("星図画像") + in.imagePath + QStringLiteral("を開けませんでした。\n"); }

QString sceneUnread(const BodyInputs& in)
{
    return QStringLiteral("ZSFデータファイル") + in.scenePath + QStringLiteral("を開けませんでした。\n");
}

}  // namespace

QString HeaderLine()
{
    return QStringLiteral("Content-Type: multipart/form-data; boundary=") + QString::fromLatin1(kBoundary) + QStringLiteral("\r\n");
}

int BuildBody(const BodyInputs& in, const Ask& ask, Body& body, int& length, QString& error)
{
    QFile image(in.imagePath);
    if (!image.open(QIODevice::ReadOnly)) {
        error = imageUnread(in);
        return 0;
    }
    QFile scene(in.scenePath);
    if (!scene.open(QIODevice::ReadOnly)) {
        error = sceneUnread(in);
        return 0;
    }
    const QByteArray head = QByteArray("--") + kBoundary + "\r\n" + simplePart("access_token", in.accessToken) + kSeparator
                            + simplePart("access_token_secret", in.accessTokenSecret) + kSeparator
                            + simplePart("comment", in.comment.toUtf8()) + kSeparator
                            + fileHeader("image", in.imagePath, "image/png");
    const QByteArray middle = kSeparator + fileHeader("zentotalk", in.scenePath, "text/plain");
    const QByteArray tail = kSeparator + viewParts(in, ask);
    const qint64 imageSize = image.size(), sceneSize = scene.size();
    const qint64 total = head.size() + imageSize + middle.size() + sceneSize + tail.size();
    // The request carries a 32-bit length: a longer body cannot be sent, so none
    // is made; nor one the memory refuses. Either way the larger file is what the
    // body could not take, and the user is told so in the words of a file that
    // could not be read.
    Body buffer = total > INT_MAX ? nullptr : allocate(size_t(total));
    if (!buffer) {
        error = imageSize >= sceneSize ? imageUnread(in) : sceneUnread(in);
        return 0;
    }
    char* at = buffer.get();
    const auto put = [&at](const QByteArray& bytes) { at = static_cast<char*>(std::memcpy(at, bytes.constData(), bytes.size())) + bytes.size(); };
    // exactly the length measured above: a file that shrank or failed meanwhile could not be read
    const auto putFile = [&at](QFile& file, qint64 size) {
        for (qint64 r = 0; size > 0; size -= r, at += r) {
            if ((r = file.read(at, size)) <= 0)
                return false;
        }
        return true;
    };
    put(head);
    if (!putFile(image, imageSize)) {
        error = imageUnread(in);
        return 0;
    }
    put(middle);
    if (!putFile(scene, sceneSize)) {
        error = sceneUnread(in);
        return 0;
    }
    put(tail);
    body = std::move(buffer);
    length = int(total);
    return 1;
}

int ParseAnswer(QByteArray& response, QString& link, bool& userNotFound)
{
    userNotFound = false;
    // a share answer cut short is no answer: none of its members count
    const picojson::value answer = servicejson::ParseWhole(response);
    if (!answer.is<picojson::object>())
        return 1;
    int result = 1;
    const picojson::value& type = answer.get("type");
    if (type.is<std::string>() && type.get<std::string>() != "OK") {
        result = 0;
        userNotFound = type.get<std::string>() == "USER_NOT_FOUND";
    }
    const picojson::value& message = answer.get("message");
    if (message.is<std::string>())
        response = QByteArray::fromStdString(message.get<std::string>());
    else
        response = "UNDEFINED ERROR.\n[RESPONSE STRING:" + response + "]";
    const picojson::value& page = answer.get("link");
    link = page.is<std::string>() ? QString::fromStdString(page.get<std::string>()) : QString();
    return result;
}

}  // namespace sharerequest
