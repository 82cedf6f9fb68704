#include "cloud/ServiceAnswer.h"

#include "platform/MessageBox.h"

#include <picojson.h>
#include <cmath>

namespace {

// how deep arrays and objects nest, strings skipped: the parser recurses once a level
int nestingDepth(const QByteArray& text)
{
    int depth = 0, deepest = 0;
    bool inString = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            deepest = std::max(deepest, ++depth);
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return deepest;
}

int flag(double number) { return std::trunc(number) != 0.0 ? 1 : 0; }

}  // namespace

int CServiceAnswer::Analyze(QByteArray& response, int& icon, CloudAccountValues& values)
{
    // an answer too deep to parse, or one the parser gives up on, counts as one that could not be parsed
    if (nestingDepth(response) > kMaxDepth)
        return 1;
    picojson::value answer;
    try {
        std::string error;
        picojson::parse(answer, response.constData(), response.constData() + response.size(), &error);
    } catch (const std::exception&) {
        return 1;
    }
    if (!answer.is<picojson::object>())
        return 1;
    const picojson::object& object = answer.get<picojson::object>();
    const auto member = [&object](const char* key) -> const picojson::value* {
        const auto it = object.find(key);
        return it == object.end() ? nullptr : &it->second;
    };
    const picojson::value* status = member("status");
    if (status && status->is<double>() && std::trunc(status->get<double>()) != 200.0) {
        const picojson::value* message = member("message");
        if (message && message->is<std::string>()) {
            response = QByteArray::fromStdString(message->get<std::string>());
        } else {
            response = QStringLiteral("UNDEFINED ERROR.\n[RESPONSE STRING:%1]").arg(QString::fromUtf8(response)).toUtf8();
            icon = platform::MB_ICONEXCLAMATION;
        }
        return 0;
    }
    if (const picojson::value* v = member("access_token"); v && v->is<std::string>())
        values.accessToken = QByteArray::fromStdString(v->get<std::string>());
    if (const picojson::value* v = member("access_token_secret"); v && v->is<std::string>())
        values.accessTokenSecret = QByteArray::fromStdString(v->get<std::string>());
    if (const picojson::value* v = member("twitter"); v && v->is<double>())
        values.twitter = flag(v->get<double>());
    if (const picojson::value* v = member("facebook"); v && v->is<double>())
        values.facebook = flag(v->get<double>());
    if (const picojson::value* v = member("name"); v && v->is<std::string>())
        values.userName = QString::fromStdString(v->get<std::string>());
    return 1;
}
