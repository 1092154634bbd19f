// The Windows-1252 code page, made bijective over all 256 bytes, and UTF-8 for our own files.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "text/text.hpp"

namespace tw {

// The UTF-8 byte-order mark: as its three bytes, and as those bytes read through the code page.
inline constexpr std::string_view kUtf8ByteOrderMarkBytes = "\xEF\xBB\xBF";
inline constexpr TextView kUtf8ByteOrderMark = u"\u00EF\u00BB\u00BF";

// The character of a byte; the five undefined bytes map to U+0081, U+008D, U+008F, U+0090, U+009D.
extern const std::array<char16_t, 256> kCp1252Chars;
inline char16_t Cp1252ToChar(unsigned char byte) {
  return kCp1252Chars[byte];
}
// The byte of a character, or -1 when the code page cannot hold it.
int Cp1252FromChar(char16_t c);

Text DecodeCp1252(std::string_view bytes);
void DecodeCp1252Append(std::string_view bytes, Text& out);
// Characters the code page cannot hold become '?'; use EncodeCp1252Ncr where that matters.
std::string EncodeCp1252(TextView text);
// Characters the code page cannot hold become decimal references such as &#321;.
std::string EncodeCp1252Ncr(TextView text);

// A text as it stands in a document: its UTF-8 bytes in a UTF-8 document, otherwise one byte
// per character through the code page and a decimal reference for any other.
std::string EncodeForDocument(TextView text, bool utf8Document);

// UTF-8 for the program's own files, the command line's output and file names.
std::string ToUtf8(TextView text);
Text FromUtf8(std::string_view bytes);
// File names: bytes that are not UTF-8 become U+DC80-U+DCFF and are given back as the same
// bytes, so that any name the file system holds survives the way through text.
Text FromUtf8FileName(std::string_view bytes);
std::string ToUtf8FileName(TextView text);

}  // namespace tw
