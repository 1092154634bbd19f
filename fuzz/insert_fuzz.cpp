// The insertion's rewrite of a document in memory (RewriteWithTag).
//
//   byte 0     1: the tag is the counted bytes as they are; else a keywords meta tag whose
//              content is those bytes without '<', '>', '"', CR and LF
//   counted    the tag bytes or the tag's content (a length byte, then the bytes)
//   the rest   the document
//
// Properties: only Done gives bytes; Done places the tag and keeps every line before the
// first line the insertion may change, every line after the head's end, and every line in
// between that holds neither a keywords meta tag nor the head's end, whole and in order;
// NoPlaceForTag only when the document has no "</head>"; a document of ASCII text with CR LF
// line ends is rewritten the same way with LF line ends; without a keywords meta tag in the
// document, inserting the tag again into the result changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/fileproc.hpp"
#include "support.hpp"
#include "tags/insert.hpp"
#include "text/codepage.hpp"

namespace tw::fuzz {
namespace {

constexpr std::string_view kKeywordsWord = "\"keywords\"";
constexpr std::string_view kHeadEnd = "</head>";

std::string WellFormedTag(std::string_view content) {
  std::string tag = "<meta name=\"keywords\" content=\"";
  for (char c : content) {
    if (c != '<' && c != '>' && c != '"' && c != '\r' && c != '\n') tag.push_back(c);
  }
  tag += "\">";
  return tag;
}

bool AtLineStart(std::string_view text, size_t at) {
  return at == 0 || text[at - 1] == '\n' || text[at - 1] == '\r';
}

void CheckDone(std::string_view document, std::string_view tag, std::string_view out) {
  FUZZ_CHECK(tag.empty() || out.find(tag) != std::string_view::npos);
  std::string_view body = document;
  if (body.starts_with(kUtf8ByteOrderMarkBytes)) {
    FUZZ_CHECK(out.starts_with(kUtf8ByteOrderMarkBytes));
    body.remove_prefix(kUtf8ByteOrderMarkBytes.size());
    out.remove_prefix(kUtf8ByteOrderMarkBytes.size());
  }
  std::vector<RawLine> lines;
  RawLineSplitter splitter(body, LineEndsOf(document));
  for (RawLine line; splitter.Next(line);)
    lines.push_back(line);
  auto whole = [&](size_t k) {
    return std::string(lines[k].content) + std::string(lines[k].ending);
  };

  // The lines the insertion may change lie from the first line holding either word up to
  // the first line that ends the head for certain.
  size_t firstMarked = lines.size();
  size_t headEnd = lines.size();
  for (size_t k = 0; k < lines.size(); ++k) {
    const bool keywords = ContainsNoCase(lines[k].content, kKeywordsWord);
    const bool head = ContainsNoCase(lines[k].content, kHeadEnd);
    if ((keywords || head) && firstMarked == lines.size()) firstMarked = k;
    if (head && !keywords) {
      headEnd = k;
      break;
    }
  }
  std::string prefix;
  for (size_t k = 0; k < firstMarked; ++k)
    prefix += whole(k);
  std::string suffix;
  for (size_t k = headEnd + 1; k < lines.size(); ++k)
    suffix += whole(k);
  FUZZ_CHECK(out.starts_with(prefix));
  FUZZ_CHECK(out.ends_with(suffix));
  FUZZ_CHECK(prefix.size() + suffix.size() <= out.size());

  // The unmarked lines in between, whole lines of the output in their order.
  size_t cursor = prefix.size();
  const size_t limit = out.size() - suffix.size();
  for (size_t k = firstMarked; k < lines.size() && k <= headEnd; ++k) {
    if (ContainsNoCase(lines[k].content, kKeywordsWord) ||
        ContainsNoCase(lines[k].content, kHeadEnd)) {
      continue;
    }
    const std::string line = whole(k);
    size_t at = out.find(line, cursor);
    while (at != std::string_view::npos && !AtLineStart(out, at))
      at = out.find(line, at + 1);
    FUZZ_CHECK(at != std::string_view::npos && at + line.size() <= limit);
    cursor = at + line.size();
  }
}

}  // namespace
}  // namespace tw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tw;
  using namespace tw::fuzz;
  HeadReader head(data, size);
  const bool rawTag = (head.Byte() & 1) != 0;
  const std::string_view counted = head.Counted();
  const std::string tag = rawTag ? std::string(counted) : WellFormedTag(counted);
  const std::string_view document = head.Rest();

  const Rewrite rewrite = RewriteWithTag(document, tag);
  if (rewrite.outcome != Rewrite::Outcome::Done) {
    FUZZ_CHECK(rewrite.bytes.empty());
    if (rewrite.outcome == Rewrite::Outcome::NoPlaceForTag) {
      FUZZ_CHECK(!ContainsNoCase(document, kHeadEnd));
    }
  } else {
    CheckDone(document, tag, rewrite.bytes);
  }

  // CR LF line ends made LF: the same outcome, and the same bytes with LF line ends.
  bool asciiCrLf = tag.find_first_of("\r\n") == std::string::npos;
  for (size_t i = 0; asciiCrLf && i < document.size(); ++i) {
    const char c = document[i];
    asciiCrLf = static_cast<unsigned char>(c) < 0x80 &&
                (c != '\r' || (i + 1 < document.size() && document[i + 1] == '\n')) &&
                (c != '\n' || (i > 0 && document[i - 1] == '\r'));
  }
  if (asciiCrLf) {
    std::string lf;
    for (char c : document) {
      if (c != '\r') lf.push_back(c);
    }
    const size_t firstLf = lf.find('\n');
    if (firstLf != std::string::npos && firstLf < static_cast<size_t>(kLineEndSampleSize)) {
      const Rewrite again = RewriteWithTag(lf, tag);
      FUZZ_CHECK(again.outcome == rewrite.outcome);
      std::string expected;
      for (char c : rewrite.bytes) {
        if (c != '\r') expected.push_back(c);
      }
      FUZZ_CHECK(again.bytes == expected);
    }
  }

  // A second insertion of the same tag finds it in place.
  if (!rawTag && rewrite.outcome == Rewrite::Outcome::Done &&
      !ContainsNoCase(document, kKeywordsWord) &&
      LineEndsOf(rewrite.bytes) == LineEndsOf(document)) {
    const Rewrite second = RewriteWithTag(rewrite.bytes, tag);
    FUZZ_CHECK(second.outcome == Rewrite::Outcome::Done);
    FUZZ_CHECK(second.bytes == rewrite.bytes);
  }
  return 0;
}
