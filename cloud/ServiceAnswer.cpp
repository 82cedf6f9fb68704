#include "cloud/ServiceAnswer.h"

#include "cloud/ServiceJson.h"
#include "platform/MessageBox.h"

#include <cmath>
#include <utility>

namespace servicejson {
namespace {

// picojson's own context limits arrays but not objects, and throws on numbers
// beyond a double: this one limits both, and a number no double holds ends the
// parse at the next step (picojson takes no refusal from a number itself)
class BoundedContext {
public:
    BoundedContext(picojson::value* out, size_t depth, bool* stopped) : m_out(out), m_depth(depth), m_stopped(stopped) {}
    BoundedContext(const BoundedContext&) = delete;
    BoundedContext& operator=(const BoundedContext&) = delete;

    bool set_null() { return set(picojson::value()); }
    bool set_bool(bool b) { return set(picojson::value(b)); }
    bool set_number(double f)
    {
        if (std::isfinite(f))
            return set(picojson::value(f));
        *m_stopped = true;
        return false;
    }
    template <typename Iter>
    bool parse_string(picojson::input<Iter>& in)
    {
        if (!set(picojson::value(picojson::string_type, false)))
            return false;
        return picojson::_parse_string(m_out->get<std::string>(), in);
    }
    bool parse_array_start() { return enter(picojson::array_type); }
    template <typename Iter>
    bool parse_array_item(picojson::input<Iter>& in, size_t)
    {
        if (*m_stopped)
            return false;
        picojson::array& a = m_out->get<picojson::array>();
        a.push_back(picojson::value());
        BoundedContext child(&a.back(), m_depth, m_stopped);
        return picojson::_parse(child, in) && !*m_stopped;
    }
    bool parse_array_stop(size_t) { return ++m_depth, !*m_stopped; }
    bool parse_object_start() { return enter(picojson::object_type); }
    template <typename Iter>
    bool parse_object_item(picojson::input<Iter>& in, const std::string& key)
    {
        if (*m_stopped)
            return false;
        BoundedContext child(&m_out->get<picojson::object>()[key], m_depth, m_stopped);
        return picojson::_parse(child, in) && !*m_stopped;
    }
    bool parse_object_stop() { return ++m_depth, !*m_stopped; }

private:
    bool set(picojson::value value)
    {
        if (*m_stopped)
            return false;
        *m_out = std::move(value);
        return true;
    }
    bool enter(int type)
    {
        if (m_depth == 0 || *m_stopped)
            return false;
        --m_depth;
        *m_out = picojson::value(type, false);
        return true;
    }

    picojson::value* m_out;
    size_t m_depth;
    bool* m_stopped;
};

}  // namespace

namespace {

// the value and whether the parse reached its end
std::pair<picojson::value, bool> parse(const QByteArray& bytes)
{
    picojson::value value;
    bool stopped = false;
    BoundedContext context(&value, kMaxDepth, &stopped);
    std::string error;
    picojson::_parse(context, bytes.constData(), bytes.constData() + bytes.size(), &error);
    return {std::move(value), error.empty() && !stopped};
}

}  // namespace

picojson::value Parse(const QByteArray& bytes) { return parse(bytes).first; }

picojson::value ParseWhole(const QByteArray& bytes)
{
    auto [value, whole] = parse(bytes);
    return whole ? std::move(value) : picojson::value();
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
