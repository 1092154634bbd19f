// Unified diffs through dtl's shortest edit script and its hunks.
#include "cli/diff.hpp"

#include <dtl/dtl.hpp>
#include <vector>

namespace tw::cli {

namespace {

// Lines of context around a change.
constexpr size_t kContext = 3;

std::vector<std::string_view> Lines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t lf = bytes.find('\n', start);
    const size_t end = lf == std::string_view::npos ? bytes.size() : lf + 1;
    lines.push_back(bytes.substr(start, end - start));
    start = end;
  }
  return lines;
}

// "-START,COUNT" as diff writes it: the count left out when it is 1, and an empty range
// named by the line before it.
std::string Range(char sign, long long start, long long count) {
  std::string text(1, sign);
  if (count == 0) {
    text += std::to_string(start > 0 ? start - 1 : 0);
    text += ",0";
    return text;
  }
  text += std::to_string(start);
  if (count != 1) {
    text += ',';
    text += std::to_string(count);
  }
  return text;
}

void AddLine(std::string& out, char mark, std::string_view line) {
  out += mark;
  out += line;
  if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

}  // namespace

std::string UnifiedDiff(std::string_view before, std::string_view after, std::string_view name) {
  if (before == after) return std::string();
  using Elem = std::string_view;
  dtl::Diff<Elem, std::vector<Elem>> diff(Lines(before), Lines(after));
  diff.compose();
  diff.composeUnifiedHunks();

  std::string out = "--- " + std::string(name) + "\n+++ " + std::string(name) + "\n";
  for (auto hunk : diff.getUniHunks()) {
    // dtl may close a hunk at the end of the document with one line of context too many.
    std::vector<std::pair<Elem, dtl::elemInfo>> lines = hunk.change;
    lines.insert(lines.end(), hunk.common[1].begin(), hunk.common[1].end());
    size_t trailing = 0;
    while (trailing < lines.size() &&
           lines[lines.size() - 1 - trailing].second.type == dtl::SES_COMMON)
      ++trailing;
    if (trailing > kContext) {
      const auto extra = static_cast<long long>(trailing - kContext);
      lines.resize(lines.size() - static_cast<size_t>(extra));
      hunk.b -= extra;
      hunk.d -= extra;
    }
    out += "@@ " + Range('-', hunk.a, hunk.b) + " " + Range('+', hunk.c, hunk.d) + " @@\n";
    for (const auto* part : {&hunk.common[0], &lines}) {
      for (const auto& [line, info] : *part) {
        const char mark = info.type == dtl::SES_ADD      ? '+'
                          : info.type == dtl::SES_DELETE ? '-'
                                                         : ' ';
        AddLine(out, mark, line);
      }
    }
  }
  return out;
}

}  // namespace tw::cli
