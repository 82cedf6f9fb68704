#pragma once
// The share request without its dialog: the multipart body of a chart share,
// and the reading of the service's answer to it.

#include <QByteArray>
#include <QString>
#include <cstdlib>
#include <functional>
#include <memory>

namespace sharerequest {

constexpr char kBoundary[] = "image_upload_from_zntzvn";

// "Content-Type: multipart/form-data; boundary=image_upload_from_zntzvn\r\n"
QString HeaderLine();

struct BodyInputs {
    QByteArray accessToken;
    QByteArray accessTokenSecret;
    QString comment;
    QString imagePath;  // the chart image to publish
    QString scenePath;  // the scene file, sent as "zentotalk"
    int includeLocation = 0;
};

// The body's bytes; freed with std::free, since they are allocated aligned.
struct FreeBody {
    void operator()(char* bytes) const { std::free(bytes); }
};
using Body = std::unique_ptr<char[], FreeBody>;

// Asks the host one query and gives its answer.
using Ask = std::function<QString(const QString& query)>;

// Builds the body in one buffer of its exact size, each file read straight
// into its place. 1 on success; 0 with `error` naming a file that cannot be
// read, or, for a body too long to send (over 2 GiB) or one the memory
// refuses, the larger of the two files.
// Nothing is asked of the host before both files have been opened.
int BuildBody(const BodyInputs& in, const Ask& ask, Body& body, int& length,
                            QString& error);

// Reads the answer to a share: 1 when it is accepted, 0 when refused.
// `response` becomes the service's message (or the undefined-error text) and
// `link` the page it names; an answer that is no JSON object leaves all three
// as they were and counts as accepted. `userNotFound` is set when the service
// no longer knows the tokens.
int ParseAnswer(QByteArray& response, QString& link, bool& userNotFound);

}  // namespace sharerequest
