#include "cloud/ServiceAnswer.h"

#include "cloud/ServiceJson.h"
#include "platform/MessageBox.h"

#include <cmath>

namespace servicejson {
namespace {

// picojson's own context limits arrays but not objects, and throws on numbers
// beyond a double: this one limits both and refuses such numbers, so the parse stops there
class BoundedContext {
public:
    BoundedContext(picojson::value* out, size_t depth) : m_out(out), m_depth(depth) {}
    BoundedContext(const BoundedContext&) = delete;
    BoundedContext& operator=(const BoundedContext&) = delete;

    bool set_null() { return *m_out = picojson::value(), true; }
    bool set_bool(bool b) { return *m_out = picojson::value(b), true; }
    bool set_number(double f) { return std::isfinite(f) && (*m_out = picojson::value(f), true); }
    template <typename Iter>
    bool parse_string(picojson::input<Iter>& in)
    {
        *m_out = picojson::value(picojson::string_type, false);
        return picojson::_parse_string(m_out->get<std::string>(), in);
    }
    bool parse_array_start() { return enter(picojson::array_type); }
    template <typename Iter>
    bool parse_array_item(picojson::input<Iter>& in, size_t)
    {
        picojson::array& a = m_out->get<picojson::array>();
        a.push_back(picojson::value());
        BoundedContext child(&a.back(), m_depth);
        return picojson::_parse(child, in);
    }
    bool parse_array_stop(size_t) { return ++m_depth, true; }
    bool parse_object_start() { return enter(picojson::object_type); }
    template <typename Iter>
    bool parse_object_item(picojson::input<Iter>& in, const std::string& key)
    {
        BoundedContext child(&m_out->get<picojson::object>()[key], m_depth);
        return picojson::_parse(child, in);
    }
    bool parse_object_stop() { return ++m_depth, true; }

private:
    bool enter(int type)
    {
        if (m_depth == 0)
            return false;
        --m_depth;
        *m_out = picojson::value(type, false);
        return true;
    }

    picojson::value* m_out;
    size_t m_depth;
};

}  // namespace

picojson::value Parse(const QByteArray& bytes)
{
    picojson::value value;
    BoundedContext context(&value, kMaxDepth);
    std::string error;  // not reported: what was built before the error counts
    picojson::_parse(context, bytes.constData(), bytes.constData() + bytes.size(), &error);
    return value;
}

}  // namespace servicejson

namespace {

int flag(double number) { return std::trunc(number) != 0.0 ? 1 : 0; }

}  // namespace

int CServiceAnswer::Analyze(QByteArray& response, int& icon, CloudAccountValues& values)
{
    const picojson::value answer = servicejson::Parse(response);
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
