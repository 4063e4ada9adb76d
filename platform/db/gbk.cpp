#include "platform/db/gbk.h"

#include "platform/error.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace gbk {
namespace {

// Byte length in GBK of every BMP code point: 0 (not encodable), 1 or 2. Built once from the C
// library's converter, so that our sizes agree with what any other GBK encoder counts.
using LengthTable = std::array<std::uint8_t, 0x10000>;

LengthTable buildTable()
{
    iconv_t cd = iconv_open("CP936", "UTF-32LE");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw Error(QStringLiteral("The GBK converter is not available: %1")
                        .arg(QString::fromLocal8Bit(std::strerror(errno))));
    LengthTable table{};
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue; // surrogates are halves, never characters
        char in[4] = {char(cp & 0xFF), char((cp >> 8) & 0xFF), 0, 0};
        char out[8];
        char *inPtr = in;
        char *outPtr = out;
        size_t inLeft = sizeof in;
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1))
            continue;
        const size_t bytes = sizeof out - outLeft;
        table[cp] = bytes <= 2 ? std::uint8_t(bytes) : 0;
    }
    iconv_close(cd);
    return table;
}

const LengthTable &lengthTable()
{
    static const LengthTable table = buildTable(); // thread-safe one-time initialisation
    return table;
}

// The code point starting at text[i] and the number of UTF-16 units it takes. A lone surrogate
// comes back as itself, which no table entry encodes.
char32_t codePointAt(QStringView text, qsizetype i, int *units)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(c, text[i + 1]);
    }
    *units = 1;
    return c.unicode();
}

// What a character counts toward a byte limit; one GBK cannot encode counts as two bytes.
int limitBytes(char32_t ch)
{
    const int bytes = charBytes(ch);
    return bytes ? bytes : 2;
}

} // namespace

int charBytes(char32_t ch)
{
    if (ch >= 0x10000)
        return 0;
    return lengthTable()[ch];
}

int byteLength(QStringView text)
{
    int total = 0;
    int units = 0;
    for (qsizetype i = 0; i < text.size(); i += units) {
        const int bytes = charBytes(codePointAt(text, i, &units));
        if (!bytes)
            return -1;
        total += bytes;
    }
    return total;
}

char32_t firstUnencodable(QStringView text)
{
    int units = 0;
    for (qsizetype i = 0; i < text.size(); i += units) {
        const char32_t ch = codePointAt(text, i, &units);
        if (!charBytes(ch))
            return ch;
    }
    return 0;
}

QString cutToBytes(QStringView text, int maxBytes)
{
    int used = 0;
    int units = 0;
    qsizetype i = 0;
    for (; i < text.size(); i += units) {
        const int bytes = limitBytes(codePointAt(text, i, &units));
        if (used + bytes > maxBytes)
            break;
        used += bytes;
    }
    return text.left(i).toString();
}

} // namespace gbk
