// The service's JSON answers. The input is an answer body. It goes through
// the sign-in and token-check analysis and the share answer's reading; the
// bounded parse must never throw nor nest deeper than its limit, and an
// answer that a plain JSON reader takes whole must read the same.
#include "tests/fuzz/FuzzSupport.h"

#include "cloud/ServiceAnswer.h"
#include "cloud/ServiceJson.h"
#include "cloud/ShareRequest.h"
#include "platform/CodePage.h"
#include "platform/MessageBox.h"

#include <picojson.h>

namespace {

size_t depth(const picojson::value& v)
{
    size_t deepest = 0;
    if (v.is<picojson::array>())
        for (const picojson::value& item : v.get<picojson::array>())
            deepest = std::max(deepest, depth(item));
    else if (v.is<picojson::object>())
        for (const auto& [key, item] : v.get<picojson::object>())
            deepest = std::max(deepest, depth(item));
    else
        return 0;
    return deepest + 1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Initialize("service_json");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));

    const picojson::value parsed = servicejson::Parse(input);
    fuzz::Check(depth(parsed) <= servicejson::kMaxDepth, "the parse nests no deeper than its limit");
    // where the plain reader takes the whole answer (and nests no deeper than it allows), both agree
    try {
        picojson::value plain;
        std::string error;
        picojson::parse(plain, input.constData(), input.constData() + input.size(), &error);
        if (error.empty() && depth(plain) <= servicejson::kMaxDepth)
            fuzz::Check(plain == parsed, "an answer in plain JSON reads as JSON", QString::fromStdString(plain.serialize()));
    } catch (const std::exception&) {
        // the plain reader throws on numbers no double holds; the bounded parse does not
    }

    // the sign-in and the token check
    QByteArray response = input;
    int icon = platform::MB_ICONASTERISK;
    CloudAccountValues account;
    const int accepted = CServiceAnswer::Analyze(response, icon, account);
    fuzz::Check(accepted == 0 || accepted == 1, "the analysis answers 0 or 1");
    fuzz::Check(account.twitter == 0 || account.twitter == 1, "a flag is 0 or 1");
    fuzz::Check(account.facebook == 0 || account.facebook == 1, "a flag is 0 or 1");
    // as the dialog shows and stores what it read
    const QString shown = QString::fromUtf8(response);
    const QString token = platform::FromCodePage(account.accessToken) + platform::FromCodePage(account.accessTokenSecret);

    // the share answer
    QByteArray shareResponse = input;
    QString link;
    bool userNotFound = false;
    const int shared = sharerequest::ParseAnswer(shareResponse, link, userNotFound);
    fuzz::Check(!userNotFound || shared == 0, "an unknown user is a refusal");
    Q_UNUSED(shown);
    Q_UNUSED(token);
    return 0;
}
