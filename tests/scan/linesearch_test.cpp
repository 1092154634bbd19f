// The remembered searches of the rest of the line against fresh plain searches, asked from
// positions that move forward as the walk's do, and now and then from an earlier one.
#include "scan/linesearch.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/textsearch.hpp"

namespace tw {
namespace {

std::string Folded(std::string_view line) {
  std::string out(line);
  for (char& c : out)
    c = static_cast<char>(FoldAsciiCase(static_cast<unsigned char>(c)));
  return out;
}

// The first position at or after `from` where the pattern stands in the line lowered and
// squeezed (spaces between its characters passed over), found the plain way.
size_t PlainSqueezed(std::string_view line, size_t from, std::string_view pattern) {
  const std::string folded = Folded(line);
  for (size_t i = from; i < folded.size(); ++i) {
    size_t k = i;
    size_t j = 0;
    for (; j < pattern.size(); ++j, ++k) {
      if (j > 0) {
        while (k < folded.size() && folded[k] == ' ')
          ++k;
      }
      if (k >= folded.size() || folded[k] != pattern[j]) break;
    }
    if (j == pattern.size()) return i;
  }
  return line.size();
}

size_t OrLength(size_t found, std::string_view line) {
  return found == std::string_view::npos ? line.size() : found;
}

TEST(LineSearches, AgreeWithPlainSearches) {
  const std::vector<std::string> pieces = {
      "name", "NAME", "n",    "ame",     "=",       "\"",  "description", "Description", "keywords",
      "key",  " ",    "  ",   "content", "CONTENT", "con", "tent",        "size",        "SIZE",
      "si",   "ze",   "font", "FoNt",    "f",       "<?",  "?>",          "?",           "<",
      ">",    ";",    "-",    "+",       "7",       "x",   "\xe9",        "\t"};
  std::mt19937 rng(41);
  LineSearches searches;
  for (int round = 0; round < 2000; ++round) {
    std::string line;
    const size_t n = rng() % 40;
    for (size_t k = 0; k < n; ++k)
      line += pieces[rng() % pieces.size()];
    searches.Reset(line);
    const std::string folded = Folded(line);
    size_t from = 0;
    for (int ask = 0; ask < 30; ++ask) {
      // Mostly forward, as the walk moves; sometimes back, which must still be answered.
      from = rng() % 6 == 0 ? rng() % (line.size() + 1) : std::min(line.size(), from + rng() % 6);
      auto plainChar = [&](auto hit) {
        for (size_t i = from; i < line.size(); ++i) {
          if (hit(line[i])) return i;
        }
        return line.size();
      };
      ASSERT_EQ(searches.Next(LineSearches::kGreaterThan, from),
                plainChar([](char c) { return c == '>'; }));
      ASSERT_EQ(searches.Next(LineSearches::kSemicolon, from),
                plainChar([](char c) { return c == ';'; }));
      ASSERT_EQ(searches.Next(LineSearches::kSpace, from),
                plainChar([](char c) { return c == ' '; }));
      ASSERT_EQ(searches.Next(LineSearches::kNumberStart, from),
                plainChar([](char c) { return c == '-' || c == '+' || (c >= '0' && c <= '9'); }));
      ASSERT_EQ(searches.Next(LineSearches::kPhpOpen, from), OrLength(line.find("<?", from), line));
      ASSERT_EQ(searches.Next(LineSearches::kPhpClose, from),
                OrLength(line.find("?>", from), line));
      ASSERT_EQ(searches.Next(LineSearches::kContent, from),
                OrLength(line.find("content", from), line));
      ASSERT_EQ(searches.Next(LineSearches::kFoldedContent, from),
                OrLength(folded.find("content", from), line));
      ASSERT_EQ(searches.Next(LineSearches::kFoldedSize, from),
                OrLength(folded.find("size", from), line));
      for (auto which : {LineSearches::kNameDescription, LineSearches::kNameKeywords,
                         LineSearches::kFont, LineSearches::kSize}) {
        ASSERT_EQ(searches.Next(which, from),
                  PlainSqueezed(line, from, LineSearches::SqueezedPattern(which)))
            << line << " from " << from << " " << LineSearches::SqueezedPattern(which);
      }
      for (std::string_view closing : {"-->", "</style>", "</script>"}) {
        ASSERT_EQ(FindNoCase(line, from, closing), folded.find(closing, from)) << line;
      }
    }
  }
}

}  // namespace
}  // namespace tw
