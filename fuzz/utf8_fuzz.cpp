// The pair DecodeUtf8Latin / EncodeUtf8Latin and the code page beneath them.
//
// The input read as code page bytes (one character per byte), and read as UTF-16 units
// (two bytes each, low byte first).
//
// Properties: the code page gives every byte back; decoding keeps to code page characters
// and never lengthens a text; a text of code page characters comes back from encoding and
// decoding, less the C1 controls, which decoding drops; encoding gives the UTF-8 bytes of any
// text, one character per byte, and UTF-8 gives back any text without a lone surrogate; a
// file name's bytes survive the way through text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "support.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"

namespace tw::fuzz {
namespace {

bool IsC1Control(char16_t c) {
  return c >= 0x80 && c <= 0x9F;
}

bool AllCodePage(TextView text) {
  for (char16_t c : text) {
    if (Cp1252FromChar(c) < 0) return false;
  }
  return true;
}

bool HasLoneSurrogate(TextView text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        ++i;
        continue;
      }
      return true;
    }
    if (c >= 0xDC00 && c <= 0xDFFF) return true;
  }
  return false;
}

}  // namespace
}  // namespace tw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tw;
  using namespace tw::fuzz;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const Text chars = DecodeCp1252(bytes);
  FUZZ_CHECK(chars.size() == bytes.size());
  FUZZ_CHECK(EncodeCp1252(chars) == bytes);

  const Text decoded = DecodeUtf8Latin(chars);
  FUZZ_CHECK(decoded.size() <= chars.size());
  FUZZ_CHECK(AllCodePage(decoded));
  bool ascii = true;
  for (char16_t c : chars)
    ascii = ascii && c < 0x80;
  if (ascii) FUZZ_CHECK(decoded == chars);

  Text withoutControls = chars;
  std::erase_if(withoutControls, IsC1Control);
  FUZZ_CHECK(DecodeUtf8Latin(EncodeUtf8Latin(chars)) == withoutControls);

  Text units;
  for (size_t i = 0; i + 1 < size; i += 2)
    units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  const Text encoded = EncodeUtf8Latin(units);
  FUZZ_CHECK(AllCodePage(encoded));
  FUZZ_CHECK(EncodeCp1252(encoded) == ToUtf8(units));
  if (!HasLoneSurrogate(units)) FUZZ_CHECK(FromUtf8(ToUtf8(units)) == units);

  FUZZ_CHECK(ToUtf8FileName(FromUtf8FileName(bytes)) == bytes);
  return 0;
}
