// The program text file reader: the input is the file.
//
// Properties: a load succeeds exactly when it has no message; a failed load holds no text;
// a successful one holds one entry for each numbered line, each within the longest entry,
// with line breaks only as CR LF; a failure at a line names a line of the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/language2.hpp"
#include "support.hpp"
#include "text/codepage.hpp"

namespace tw::fuzz {
namespace {

constexpr size_t kMaxEntryLength = 1024;
constexpr int kMaxEntryNumber = 1000000;

struct NumberedLine {
  int number = 0;
  std::string_view text;
};

// The lines of the file as the format has them; empty when a line that is neither blank nor
// a comment is not "number=text".
std::vector<NumberedLine> NumberedLines(std::string_view bytes, bool& wellFormed) {
  std::vector<NumberedLine> lines;
  wellFormed = true;
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (line.find_first_not_of(" \t") == std::string_view::npos || line[0] == '#') continue;
    const size_t sep = line.find('=');
    NumberedLine numbered;
    wellFormed = sep != std::string_view::npos && sep > 0 && sep + 1 < line.size();
    for (size_t i = 0; wellFormed && i < sep; ++i) {
      wellFormed = line[i] >= '0' && line[i] <= '9';
      numbered.number = std::min(numbered.number * 10 + (line[i] - '0'), kMaxEntryNumber + 1);
    }
    if (!wellFormed) return {};
    numbered.text = line.substr(sep + 1);
    lines.push_back(numbered);
  }
  return lines;
}

int LineCount(std::string_view bytes) {
  int lines = 1;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) {
      ++lines;
    }
  }
  return lines;
}

}  // namespace
}  // namespace tw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tw;
  using namespace tw::fuzz;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  WriteScratchFile("qdx.dat", bytes);
  ProgramText texts;
  const int r = texts.LoadProgramText(ScratchFolder(), u"qdx.dat");
  const Text message = ProgramText::LoaderMessage(r, texts.path());
  FUZZ_CHECK((r >= 1) == message.empty());

  bool wellFormed = false;
  const std::vector<NumberedLine> lines = NumberedLines(bytes, wellFormed);
  if (r < 1) {
    for (const NumberedLine& line : lines)
      FUZZ_CHECK(texts.GetProgramText(line.number).empty());
    // "Missing string at line 7.", "String too long at line 7.", "Duplicate ... at line 7."
    const size_t at = message.find(u" at line ");
    if (at != Text::npos) {
      const std::string number = ToUtf8(TextView(message).substr(at + 9));
      const int line = std::atoi(number.c_str());
      FUZZ_CHECK(line >= 1 && line <= LineCount(bytes));
    }
    return 0;
  }
  FUZZ_CHECK(wellFormed);
  FUZZ_CHECK(r == static_cast<int>(lines.size()));
  for (const NumberedLine& line : lines) {
    FUZZ_CHECK(line.number >= 1 && line.number <= kMaxEntryNumber);
    const Text text = texts.GetProgramText(line.number);
    FUZZ_CHECK(text.size() <= kMaxEntryLength);
    FUZZ_CHECK(text.empty() == (line.text == "~"));
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'\r') FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == u'\n');
      if (text[i] == u'\n') FUZZ_CHECK(i > 0 && text[i - 1] == u'\r');
    }
  }
  return 0;
}
