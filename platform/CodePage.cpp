#include "platform/CodePage.h"

#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

// one descriptor per direction and thread: opening a converter costs far more
// than a short conversion, and list files convert line after line
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns the errno that stopped it (0 at the end).
    int run(const char*& in, size_t& inLeft, char*& out, size_t& outLeft)
    {
        char* src = const_cast<char*>(in);
        const size_t r = iconv(m_cd, &src, &inLeft, &out, &outLeft);
        in = src;
        return r == static_cast<size_t>(-1) ? errno : 0;
    }
    void reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

Converter& decoder()
{
    thread_local Converter c("UTF-16LE", "CP932");
    return c;
}

Converter& encoder()
{
    thread_local Converter c("CP932", "UTF-16LE");
    return c;
}

}  // namespace

QString FromCodePage(const QByteArray& bytes)
{
    QString result;
    if (bytes.isEmpty())
        return result;
    Converter& conv = decoder();
    if (!conv.valid())
        return QString::fromLatin1(bytes);
    conv.reset();
    // a CP932 byte never yields more than one UTF-16 unit
    result.resize(bytes.size());
    const char* in = bytes.constData();
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* out = reinterpret_cast<char*>(result.data());
    size_t outLeft = static_cast<size_t>(result.size()) * 2;
    while (inLeft > 0) {
        const int err = conv.run(in, inLeft, out, outLeft);
        if (err == 0)
            break;
        if (err == E2BIG || outLeft < 2)
            break;  // cannot happen with the size above; never write past the buffer
        // EILSEQ: one bad byte; EINVAL: a lead byte cut off at the end
        *reinterpret_cast<char16_t*>(out) = u'\xFFFD';
        out += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        conv.reset();
    }
    result.resize((out - reinterpret_cast<char*>(result.data())) / 2);
    return result;
}

QByteArray ToCodePage(const QString& text)
{
    QByteArray result;
    if (text.isEmpty())
        return result;
    Converter& conv = encoder();
    if (!conv.valid())
        return text.toLatin1();
    conv.reset();
    // at most two bytes for each UTF-16 unit
    result.resize(text.size() * 2);
    const char* in = reinterpret_cast<const char*>(text.constData());
    size_t inLeft = static_cast<size_t>(text.size()) * 2;
    char* out = result.data();
    size_t outLeft = static_cast<size_t>(result.size());
    while (inLeft > 0) {
        const int err = conv.run(in, inLeft, out, outLeft);
        if (err == 0)
            break;
        if (err == E2BIG || outLeft < 1)
            break;
        // an unmappable character, or a lone surrogate: skip the whole character
        const char16_t unit = *reinterpret_cast<const char16_t*>(in);
        size_t skip = 2;
        if (QChar::isHighSurrogate(unit) && inLeft >= 4
            && QChar::isLowSurrogate(*reinterpret_cast<const char16_t*>(in + 2)))
            skip = 4;
        *out++ = '?';
        --outLeft;
        in += skip;
        inLeft -= skip;
        conv.reset();
    }
    result.resize(out - result.data());
    return result;
}

}  // namespace platform
