// The existing-tag report of a document: the input is the document.
//
// Properties: a report is made (the file exists); an item the document cannot hold is
// reported missing; a document of ASCII text with CR LF line ends gets the same report when
// its line ends become LF.
#include <cstddef>
#include <cstdint>
#include <string>

#include "io/fileproc.hpp"
#include "support.hpp"
#include "tags/report.hpp"

namespace tw::fuzz {
namespace {

Text Report(std::string_view document) {
  const std::filesystem::path file = WriteScratchFile("page.html", document);
  const ExistingTagReport report = ShowExistingKeywordMetaTag(FromPath(file));
  FUZZ_CHECK(report.inputFile == FromPath(file));
  FUZZ_CHECK(!report.message.has_value());
  FUZZ_CHECK(report.outputText.has_value());
  return *report.outputText;
}

// The document's ASCII bytes, in order: the characters a report can find markup in, since
// decoding and lowering never make an ASCII character out of others.
std::string AsciiBytes(std::string_view document) {
  std::string ascii;
  for (char c : document) {
    if (static_cast<unsigned char>(c) < 0x80) ascii.push_back(c);
  }
  return ascii;
}

bool ContainsText(const Text& text, TextView part) {
  return text.find(part) != Text::npos;
}

// Every CR is followed by an LF and every LF follows a CR.
bool OnlyCrLf(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
  }
  return true;
}

}  // namespace
}  // namespace tw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tw;
  using namespace tw::fuzz;
  const std::string_view document(reinterpret_cast<const char*>(data), size);
  const Text output = Report(document);
  if (TextView(output).ends_with(kReportFailure)) return 0;

  const std::string ascii = AsciiBytes(document);
  if (!ContainsNoCase(ascii, "<title>")) FUZZ_CHECK(ContainsText(output, kNoTitleFound));
  if (!ContainsNoCase(ascii, "\"description\"")) {
    FUZZ_CHECK(ContainsText(output, kNoDescriptionFound));
  }
  if (!ContainsNoCase(ascii, "\"keywords\"")) FUZZ_CHECK(ContainsText(output, kNoKeywordsFound));

  // The same lines with LF line ends; LF-only is recognised in the first 16,384 bytes.
  if (ascii.size() == document.size() && OnlyCrLf(document)) {
    std::string lf;
    for (char c : document) {
      if (c != '\r') lf.push_back(c);
    }
    const size_t firstLf = lf.find('\n');
    if (firstLf != std::string::npos && firstLf < static_cast<size_t>(kLineEndSampleSize)) {
      FUZZ_CHECK(Report(lf) == output);
    }
  }
  return 0;
}
