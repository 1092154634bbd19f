// String helpers shared by the scanner, the filters, the tag builder and the insertion.
// Positions are 1-based; a search that finds nothing gives 0.
#pragma once

#include <string>
#include <string_view>

#include "text/text.hpp"

namespace tw {

Text LeftChars(TextView text, int32_t n);
void RemoveCharsInSet(Text& text, TextView set, int32_t start);
Text RemoveChars(TextView text, TextView set, int32_t start);
void RemoveCharsInPlace(Text& text, TextView set);
Text RemoveSpaces(TextView text);
int32_t InStrNoCase(int32_t start, TextView text, TextView sought);
Text ReplaceNoCase(TextView text, TextView sought, TextView replacement);
int32_t CountOccurrences(TextView text, TextView sought, bool caseSensitive);
// UTF-8 byte sequences (one character per byte, through the code page) to single characters.
Text DecodeUtf8Latin(TextView text);
// The same for text held one byte per character of the code page: writes to `out` the bytes
// of the characters that DecodeUtf8Latin gives, never more than the bytes given (`out` may
// be `bytes` itself), and returns their number.
size_t DecodeUtf8LatinBytes(std::string_view bytes, char* out);
// Every character of code 128 or more to its UTF-8 bytes, one character per byte.
Text EncodeUtf8Latin(TextView text);

// Small helpers of our own.
// Exact search from `start` (1-based); 0 when not found or `sought` is empty.
int32_t InStr(int32_t start, TextView text, TextView sought);
// Every occurrence replaced, left to right, exact comparison.
Text ReplaceAll(TextView text, TextView sought, TextView replacement);
// Leading and trailing spaces (U+0020 only) removed.
Text TrimSpaces(TextView text);
// The same for bytes, as a view of them; empty when nothing but spaces is there.
std::string_view TrimSpaceBytes(std::string_view bytes);
// Leading and trailing characters of code 32 or less removed.
Text TrimControlAndSpaces(TextView text);
// Decimal text of a number, no spaces; FormatWithLeadingSpace puts one space before a
// non-negative number (a minus sign before a negative one).
Text NumberText(int64_t n);
Text FormatWithLeadingSpace(int64_t n);
// ASCII to text and back, for literals kept as plain strings.
Text Ascii(std::string_view s);

}  // namespace tw
