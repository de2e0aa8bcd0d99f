// Exact conversions between the program's GBK texts and the platforms' own encodings
// (UTF-8 for Qt and file names on Linux, UTF-16 for the wide Win32 functions).
// File paths travel as GB18030, GBK's superset that covers all of Unicode, so any
// file name a user picks converts back to the very same name.
#pragma once

#include <string>
#include <string_view>

namespace autoshutdown::codec {

// GBK here is Windows code page 936: bytes 0x00-0x7F, 0x80 = U+20AC, and every pair
// of lead 0x81-0xFE and trail 0x40-0x7E,0x80-0xFE (its user-defined areas are the
// Private Use Area, as on Windows). GB18030 is GB18030-2005 with its four-byte codes.
//
// Bad input never fails a conversion; it is replaced, the same way on every platform:
// - GBK: 0xFF, and a lead byte without a trail (at the end, or before a byte that
//   cannot be a trail: 0x00-0x3F, 0x7F, 0xFF) become U+FFFD for that one byte; the
//   byte after it is read anew, so ASCII such as a digit or '/' is never swallowed.
// - GB18030: the same; in addition a well-formed four-byte code that holds no
//   character becomes one U+FFFD.
// - UTF-8: each maximal ill-formed subpart (a stray or cut-off sequence, an overlong
//   form, an encoded surrogate, a value above U+10FFFF) becomes one U+FFFD.
// - UTF-16: a lone surrogate becomes U+FFFD.
// U+FFFD is then encoded like any character (as '?' in GBK).

// Display texts. A byte sequence that is not GBK becomes U+FFFD; a character that
// GBK cannot hold becomes '?'.
std::string GbkToUtf8(std::string_view gbk);
std::u16string GbkToUtf16(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);
std::string Utf16ToGbk(std::u16string_view utf16);

// File paths: lossless in both directions for every valid Unicode string.
std::string Gb18030ToUtf8(std::string_view gb18030);
std::u16string Gb18030ToUtf16(std::string_view gb18030);
std::string Utf8ToGb18030(std::string_view utf8);
std::string Utf16ToGb18030(std::u16string_view utf16);

}  // namespace autoshutdown::codec
