#include "platform/CodePage.h"

#include <array>
#include <cerrno>
#include <memory>
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

// CP932 read through tables the system's converter fills: the single bytes at once, and
// each lead byte's row of pairs when the row is first met. A converter call costs more
// than a whole title read from a table (10,000 titles took 17 million instructions), and
// the tables hold exactly what the converter says, each byte and each pair asked alone.
class Cp932Table {
public:
    static constexpr char16_t kNone = 0xFFFF;  // no character (CP932 has none there)
    static constexpr char16_t kLead = 0xFFFE;  // the first byte of a pair

    Cp932Table()
    {
        m_valid = decoder().valid();
        for (int b = 0; m_valid && b < 256; ++b) {
            const char byte = char(b);
            m_single[b] = convert(&byte, 1);
        }
    }
    bool valid() const { return m_valid; }
    char16_t single(uchar b) const { return m_single[b]; }
    char16_t pair(uchar lead, uchar trail)
    {
        std::unique_ptr<Row>& row = m_rows[lead];
        if (!row) {
            row = std::make_unique<Row>();
            for (int t = 0; t < 256; ++t) {
                const char bytes[2] = {char(lead), char(t)};
                (*row)[t] = convert(bytes, 2);
            }
        }
        return (*row)[trail];
    }

private:
    using Row = std::array<char16_t, 256>;

    // the one UTF-16 unit the bytes make whole; kLead for a byte the converter waits for a
    // second byte after (a pair it is given is always whole); kNone otherwise
    static char16_t convert(const char* bytes, size_t size)
    {
        Converter& conv = decoder();
        conv.reset();
        char16_t units[4];
        const char* in = bytes;
        size_t inLeft = size;
        char* out = reinterpret_cast<char*>(units);
        size_t outLeft = sizeof units;
        const int err = conv.run(in, inLeft, out, outLeft);
        if (err == EINVAL)
            return kLead;
        return err == 0 && outLeft == sizeof units - 2 ? units[0] : kNone;
    }

    bool m_valid = false;
    char16_t m_single[256] = {};
    std::array<std::unique_ptr<Row>, 256> m_rows;
};

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
    thread_local Cp932Table table;
    if (!table.valid())
        return QString::fromLatin1(bytes);
    // a CP932 byte never yields more than one UTF-16 unit
    result.resize(bytes.size());
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    const auto* in = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const char16_t single = table.single(in[i]);
        char16_t unit = single;
        qsizetype used = 1;
        if (single == Cp932Table::kLead && i + 1 < size && (unit = table.pair(in[i], in[i + 1])) != Cp932Table::kNone)
            used = 2;
        // a byte that is no character, or a pair that is none, is one U+FFFD and reading goes
        // on with the next byte, as the converter reports it
        *out++ = unit == Cp932Table::kNone || unit == Cp932Table::kLead ? u'\xFFFD' : unit;
        i += used;
    }
    result.resize(out - reinterpret_cast<char16_t*>(result.data()));
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
