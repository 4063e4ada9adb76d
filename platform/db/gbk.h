#pragma once

#include <QString>
#include <QStringView>

// Sizes of text fields count bytes of code page 936 (GBK): one byte for ASCII, two for a Chinese
// character. These helpers measure and cut text in those bytes.
namespace gbk {

// Bytes the character takes in GBK: 1 or 2, or 0 when GBK cannot encode it (an emoji, say).
int charBytes(char32_t ch);

// Bytes the text takes in GBK, or -1 when some character cannot be encoded.
int byteLength(QStringView text);

// The first character of the text that GBK cannot encode, or 0 when there is none.
char32_t firstUnencodable(QStringView text);

// The longest prefix of the text that fits in maxBytes bytes, cut between characters, never
// through one (a surrogate pair or a two-byte character stays whole or goes whole). A character
// that GBK cannot encode counts as two bytes.
QString cutToBytes(QStringView text, int maxBytes);

} // namespace gbk
