// The page generator. Words are built as UTF-8 and each finished line is written in the
// page's encoding, so the two encodings of a seed hold the same page, but for the few letters
// that only UTF-8 holds (and Windows-1252 pages replace).
#include "pagegen.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#include "genrandom.hpp"

namespace tw::bench {

namespace {

constexpr size_t kFlushBytes = size_t{1} << 20;
constexpr size_t kIndentWidth = 2;
constexpr int kMaxNesting = 4;

// ---- Characters ------------------------------------------------------------------------

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// The code point at `i` of UTF-8 text (the generator writes only valid UTF-8), and its length.
char32_t ReadUtf8(std::string_view s, size_t i, size_t& length) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {
    length = 1;
    return b;
  }
  if (b < 0xE0) {
    length = 2;
    return (char32_t{b & 0x1Fu} << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
  }
  length = 3;
  return (char32_t{b & 0x0Fu} << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
         (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
}

// Windows-1252 bytes 0x80 .. 0x9F and the characters they stand for (0 where none).
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char Cp1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (size_t k = 0; k < kCp1252High.size(); ++k) {
    if (kCp1252High[k] == c) return static_cast<char>(0x80 + k);
  }
  return '?';
}

// Lower-case Latin-1 letters and the upper-case letter 0x20 below them.
bool HasLatin1Upper(char32_t c) {
  return c >= 0xE0 && c <= 0xFE && c != 0xF7;
}

char32_t UpperOf(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - ('a' - 'A');
  if (HasLatin1Upper(c)) return c - 0x20;
  switch (c) {
    case 0x0161:  // š
      return 0x0160;
    case 0x017E:  // ž
      return 0x017D;
    case 0x0153:  // œ
      return 0x0152;
    case 0x0142:  // ł
      return 0x0141;
    case 0x0151:  // ő
      return 0x0150;
    case 0x015F:  // ş
      return 0x015E;
    case 0x011F:  // ğ
      return 0x011E;
    case 0x010D:  // č
      return 0x010C;
    case 0x0159:  // ř
      return 0x0158;
    case 0x017C:  // ż
      return 0x017B;
    case 0x0119:  // ę
      return 0x0118;
    default:
      return c;  // ß and the rest
  }
}

// The first character upper case (Capitalised) or every character (Capitals).
std::string Upper(std::string_view word, bool all) {
  std::string out;
  out.reserve(word.size());
  size_t i = 0;
  bool first = true;
  while (i < word.size()) {
    size_t n = 0;
    const char32_t c = ReadUtf8(word, i, n);
    AppendUtf8(out, first || all ? UpperOf(c) : c);
    first = false;
    i += n;
  }
  return out;
}

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

struct NamedReference {
  char32_t character;
  std::string_view name;
};

// Named references of accented letters as pages write them.
constexpr std::array<NamedReference, 30> kLetterReferences = {{
    {0xE0, "agrave"}, {0xE1, "aacute"}, {0xE2, "acirc"},  {0xE4, "auml"},   {0xE5, "aring"},
    {0xE6, "aelig"},  {0xE7, "ccedil"}, {0xE8, "egrave"}, {0xE9, "eacute"}, {0xEA, "ecirc"},
    {0xEB, "euml"},   {0xED, "iacute"}, {0xEE, "icirc"},  {0xEF, "iuml"},   {0xF1, "ntilde"},
    {0xF3, "oacute"}, {0xF4, "ocirc"},  {0xF6, "ouml"},   {0xF8, "oslash"}, {0xFA, "uacute"},
    {0xFB, "ucirc"},  {0xFC, "uuml"},   {0xDF, "szlig"},  {0xC9, "Eacute"}, {0xC0, "Agrave"},
    {0xC7, "Ccedil"}, {0xD6, "Ouml"},   {0xDC, "Uuml"},   {0xD1, "Ntilde"}, {0xD8, "Oslash"},
}};

std::string_view ReferenceName(char32_t c) {
  for (const NamedReference& r : kLetterReferences) {
    if (r.character == c) return r.name;
  }
  return {};
}

// ---- Vocabulary ------------------------------------------------------------------------

constexpr std::array<std::string_view, 44> kOnsets = {
    "b",  "c",  "d",  "f",  "g",  "h",  "j",  "k",  "l",  "m",  "n",  "p",  "r",  "s",  "t",
    "v",  "w",  "z",  "br", "ch", "cl", "cr", "dr", "fl", "fr", "gl", "gr", "kl", "pl", "pr",
    "sc", "sh", "sk", "sl", "sm", "sn", "sp", "st", "sw", "th", "tr", "tw", "wh", "qu"};
constexpr std::array<std::string_view, 14> kVowels = {"a",  "e",  "i",  "o",  "u",  "ai", "au",
                                                      "ea", "ee", "ie", "io", "oa", "oo", "ou"};
constexpr std::array<std::string_view, 16> kCodas = {
    "", "n", "r", "l", "t", "m", "nd", "st", "rt", "nt", "ck", "ng", "rn", "lt", "mp", "ft"};
constexpr std::array<std::string_view, 12> kSuffixes = {"tion", "ment", "ing", "er",  "ity", "ness",
                                                        "al",   "ic",   "ive", "ure", "ant", "ine"};

// Accented letters for a plain one; the last ones of each row only in UTF-8 pages (their
// stand-ins in Windows-1252 pages follow the bar).
struct AccentRow {
  char plain;
  std::array<char32_t, 6> accented;
};
constexpr std::array<AccentRow, 8> kAccents = {{
    {'a', {0xE0, 0xE1, 0xE2, 0xE4, 0xE5, 0xE6}},
    {'e', {0xE9, 0xE8, 0xEA, 0xEB, 0xE9, 0x0119}},
    {'i', {0xEE, 0xEF, 0xED, 0xEE, 0xEF, 0xED}},
    {'o', {0xF4, 0xF6, 0xF8, 0xF3, 0x0153, 0x0151}},
    {'u', {0xFC, 0xFB, 0xFA, 0xF9, 0xFC, 0xFC}},
    {'n', {0xF1, 0xF1, 0xF1, 0xF1, 0xF1, 0xF1}},
    {'c', {0xE7, 0xE7, 0xE7, 0xE7, 0x010D, 0xE7}},
    {'s', {0xDF, 0xDF, 0x0161, 0xDF, 0x015F, 0x0161}},
}};
// Letters that Windows-1252 cannot hold, and what stands for them in a Windows-1252 page.
constexpr std::array<std::pair<char32_t, char32_t>, 4> kUtf8Only = {
    {{0x0119, 0xEB}, {0x0151, 0xF6}, {0x010D, 0xE7}, {0x015F, 0x0161}}};

// English function words, most frequent first: the bulk of running text that the common
// words drop.
constexpr std::array<std::string_view, 100> kFunctionWords = {
    "the",  "of",    "and",   "to",    "a",      "in",   "is",   "it",    "you",    "that",
    "he",   "was",   "for",   "on",    "are",    "with", "as",   "I",     "his",    "they",
    "be",   "at",    "one",   "have",  "this",   "from", "or",   "had",   "by",     "not",
    "but",  "what",  "all",   "were",  "we",     "when", "your", "can",   "said",   "there",
    "use",  "an",    "each",  "which", "she",    "do",   "how",  "their", "if",     "will",
    "up",   "other", "about", "out",   "many",   "then", "them", "these", "so",     "some",
    "her",  "would", "make",  "like",  "him",    "into", "time", "has",   "look",   "two",
    "more", "write", "go",    "see",   "number", "no",   "way",  "could", "people", "my",
    "than", "first", "been",  "call",  "who",    "its",  "now",  "find",  "long",   "down",
    "day",  "did",   "get",   "come",  "made",   "may",  "part", "over",  "new",    "also"};

// Draws ranks 0 .. n-1 with weights 1 / (r + 1)^s.
class ZipfTable {
 public:
  ZipfTable(size_t n, double exponent) {
    cumulative_.reserve(n);
    double total = 0;
    for (size_t r = 0; r < n; ++r) {
      total += 1.0 / std::pow(static_cast<double>(r + 1), exponent);
      cumulative_.push_back(total);
    }
  }
  size_t Draw(Random& random) const {
    const double x = random.Unit() * cumulative_.back();
    const auto at = std::upper_bound(cumulative_.begin(), cumulative_.end(), x);
    return std::min(static_cast<size_t>(at - cumulative_.begin()), cumulative_.size() - 1);
  }

 private:
  std::vector<double> cumulative_;
};

class Vocabulary {
 public:
  Vocabulary(const PageOptions& options, Random& random)
      : zipf_(static_cast<size_t>(std::max(options.vocabularySize, 1)), options.zipfExponent) {
    const bool utf8 = options.encoding == PageEncoding::Utf8;
    std::unordered_set<std::string> seen;
    for (const std::string_view w : kFunctionWords)
      seen.emplace(w);
    const auto size = static_cast<size_t>(std::max(options.vocabularySize, 1));
    words_.reserve(size);
    while (words_.size() < size) {
      std::string w = Build(random);
      if (w.size() < 3 || w.size() > 18 || w.back() == 's' || w.ends_with("ly") ||
          w.ends_with("ed")) {
        continue;
      }
      if (random.Percent(15)) w = Accented(w, random);
      if (seen.insert(w).second) words_.push_back(std::move(w));
    }
    // Frequent words are short ones, more or less: ranked by length with some noise.
    std::vector<std::pair<double, size_t>> order(words_.size());
    for (size_t i = 0; i < words_.size(); ++i)
      order[i] = {static_cast<double>(Letters(words_[i])) + 6.0 * random.Unit(), i};
    std::sort(order.begin(), order.end());
    std::vector<std::string> ranked;
    ranked.reserve(words_.size());
    for (const auto& entry : order)
      ranked.push_back(std::move(words_[entry.second]));
    words_ = std::move(ranked);
    // Both encodings share the words (and so the page) up to the few letters that only
    // UTF-8 holds.
    if (!utf8) {
      for (std::string& w : words_)
        w = WithStandIns(w);
    }
    for (const std::string& w : words_)
      ascii_.push_back(IsAscii(w));
  }

  size_t Draw(Random& random) const { return zipf_.Draw(random); }
  const std::string& Word(size_t index) const { return words_[index]; }
  bool IsAsciiWord(size_t index) const { return ascii_[index] != 0; }
  size_t Size() const { return words_.size(); }

 private:
  static std::string Build(Random& random) {
    const size_t kind = random.Below(100);
    const size_t syllables = kind < 30 ? 1 : kind < 75 ? 2 : kind < 95 ? 3 : 4;
    std::string w;
    for (size_t s = 0; s < syllables; ++s) {
      if (s > 0 || random.Percent(85)) w += kOnsets[random.Below(kOnsets.size())];
      w += kVowels[random.Below(kVowels.size())];
      if (random.Percent(35)) w += kCodas[random.Below(kCodas.size())];
    }
    if (random.Percent(15)) w += kSuffixes[random.Below(kSuffixes.size())];
    return w;
  }

  static size_t Letters(std::string_view w) {
    return static_cast<size_t>(std::count_if(
        w.begin(), w.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
  }

  static std::string WithStandIns(std::string_view w) {
    if (IsAscii(w)) return std::string(w);
    std::string out;
    for (size_t i = 0; i < w.size();) {
      size_t n = 0;
      char32_t c = ReadUtf8(w, i, n);
      for (const auto& [only, standIn] : kUtf8Only) {
        if (c == only) c = standIn;
      }
      AppendUtf8(out, c);
      i += n;
    }
    return out;
  }

  // One letter of the word accented (a few of them only UTF-8 can hold).
  static std::string Accented(const std::string& w, Random& random) {
    const size_t start = random.Below(w.size());
    for (size_t k = 0; k < w.size(); ++k) {
      const size_t i = (start + k) % w.size();
      for (const AccentRow& row : kAccents) {
        if (row.plain != w[i]) continue;
        const char32_t c = row.accented[random.Below(row.accented.size())];
        std::string out = w.substr(0, i);
        AppendUtf8(out, c);
        out += w.substr(i + 1);
        return out;
      }
    }
    return w;
  }

  ZipfTable zipf_;
  std::vector<std::string> words_;
  std::vector<char> ascii_;
};

// ---- Output ----------------------------------------------------------------------------

// Lines of a page: tokens joined by spaces and wrapped at a column, indented by nesting,
// ended as the page's line ends say, written in the page's encoding.
class PageOut {
 public:
  PageOut(std::ostream& out, const PageOptions& options)
      : out_(out), ending_(options.lineEnding), utf8_(options.encoding == PageEncoding::Utf8) {}

  // 0: no wrapping.
  void SetWrap(size_t column) { wrap_ = column; }
  size_t Wrap() const { return wrap_; }
  void SetTabs(bool tabs) { tabs_ = tabs; }
  void In() { ++depth_; }
  void Out() {
    if (depth_ > 0) --depth_;
  }

  // A token after a space, or at the start of a new line when the line would pass the
  // wrap column.
  void Token(std::string_view token) {
    if (glueNext_) {
      glueNext_ = false;
      line_ += token;
      return;
    }
    if (!line_.empty()) {
      if (wrap_ > 0 && line_.size() + 1 + token.size() > wrap_) {
        EndLine();
      } else {
        line_ += ' ';
      }
    }
    line_ += token;
  }
  // Text right after what stands before it.
  void Glue(std::string_view text) { line_ += text; }
  // The next token right after what stands before it.
  void GlueNext() { glueNext_ = true; }
  // Text as a line of its own.
  void Line(std::string_view text) {
    EndLine();
    line_ += text;
    EndLine();
  }
  // A line of preformatted text: no indentation, never wrapped.
  void RawLine(std::string_view text) {
    EndLine();
    raw_ = true;
    line_ += text;
    EndLine();
    raw_ = false;
  }

  void EndLine() {
    glueNext_ = false;
    if (line_.empty()) return;
    if (ending_ == LineEnding::None) {
      // A minifier drops the break between two tags and keeps one space in text.
      if (last_ != 0 && !(last_ == '>' && line_.front() == '<')) Put(" ");
      Put(line_);
    } else {
      if (!raw_) {
        if (tabs_) {
          buffer_.append(depth_, '\t');
        } else {
          buffer_.append(depth_ * kIndentWidth, ' ');
        }
      }
      Put(line_);
      buffer_ += ending_ == LineEnding::CrLf ? "\r\n" : "\n";
      ++lines_;
    }
    line_.clear();
    if (buffer_.size() >= kFlushBytes) Flush();
  }

  void Finish() {
    EndLine();
    Flush();
  }

  // Bytes so far, counting what is not written yet.
  int64_t Size() const {
    return written_ + static_cast<int64_t>(buffer_.size() + line_.size() + depth_ * kIndentWidth);
  }
  int64_t Written() const { return written_; }
  int64_t Lines() const { return lines_; }

 private:
  void Put(std::string_view text) {
    if (utf8_ || IsAscii(text)) {
      buffer_.append(text);
    } else {
      for (size_t i = 0; i < text.size();) {
        size_t n = 0;
        const char32_t c = ReadUtf8(text, i, n);
        buffer_.push_back(Cp1252Byte(c));
        i += n;
      }
    }
    last_ = text.back();
  }

  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    if (!out_) throw std::runtime_error("cannot write the page");
    written_ += static_cast<int64_t>(buffer_.size());
    buffer_.clear();
  }

  std::ostream& out_;
  LineEnding ending_;
  bool utf8_;
  size_t wrap_ = 100;
  bool tabs_ = false;
  bool raw_ = false;
  bool glueNext_ = false;
  size_t depth_ = 0;
  char last_ = 0;
  std::string line_;
  std::string buffer_;
  int64_t written_ = 0;
  int64_t lines_ = 0;
};

// ---- The generator ---------------------------------------------------------------------

class PageGenerator {
 public:
  PageGenerator(std::ostream& out, const PageOptions& options)
      : options_(options),
        random_(options.seed),
        vocabulary_(options, random_),
        functionZipf_(kFunctionWords.size(), 1.0),
        out_(out, options),
        used_(vocabulary_.Size(), 0) {}

  PageStats Run() {
    if (options_.kind == PageKind::Zipf) {
      ZipfPage();
    } else {
      DocumentationPage();
    }
    out_.Finish();
    PageStats stats;
    stats.bytes = out_.Written();
    stats.lines = out_.Lines();
    stats.textWords = textWords_;
    stats.functionWords = functionWords_;
    stats.distinctTextWords = distinctTextWords_;
    return stats;
  }

 private:
  bool Full() const { return out_.Size() >= options_.targetBytes; }

  // ---- Words ----

  // A vocabulary word as it stands in text: mostly as it is, sometimes plural, capitalised
  // or in capitals.
  std::string TextWord() {
    const size_t index = vocabulary_.Draw(random_);
    if (counting_) {
      ++textWords_;
      if (used_[index] == 0) {
        used_[index] = 1;
        ++distinctTextWords_;
      }
    }
    std::string w = vocabulary_.Word(index);
    if (random_.Percent(10)) w += 's';
    const size_t variant = random_.Below(1000);
    if (variant < 50) {
      w = Upper(w, false);
    } else if (variant < 54) {
      w = Upper(w, true);
    }
    return Referenced(w);
  }

  // A word drawn for markup (attribute values, file names, identifiers): not text.
  const std::string& MarkupWord() { return vocabulary_.Word(vocabulary_.Draw(random_)); }
  // The same, ASCII letters only (a few draws, then whatever came).
  const std::string& AsciiWord() {
    size_t index = vocabulary_.Draw(random_);
    for (int tries = 0; tries < 4 && !vocabulary_.IsAsciiWord(index); ++tries)
      index = vocabulary_.Draw(random_);
    return vocabulary_.Word(index);
  }

  std::string FunctionWord() {
    if (counting_) ++functionWords_;
    return std::string(kFunctionWords[functionZipf_.Draw(random_)]);
  }

  // An accented letter written as a named reference now and then, rarely as a number.
  std::string Referenced(const std::string& w) {
    if (IsAscii(w)) return w;
    const bool named = random_.Percent(25);
    const bool numbered = !named && random_.Percent(3);
    if (!named && !numbered) return w;
    for (size_t i = 0; i < w.size();) {
      size_t n = 0;
      const char32_t c = ReadUtf8(w, i, n);
      if (c >= 0x80) {
        const std::string_view name = ReferenceName(c);
        if (named && name.empty()) return w;
        std::string ref = named ? "&" + std::string(name) + ";"
                                : "&#" + std::to_string(static_cast<uint32_t>(c)) + ";";
        return w.substr(0, i) + ref + w.substr(i + n);
      }
      i += n;
    }
    return w;
  }

  std::string Capitalised(const std::string& w) { return Upper(w, false); }

  // An opening tag with the text right behind it.
  void Open(std::string_view tag) {
    out_.Token(tag);
    out_.GlueNext();
  }

  // A word of running text with what may stand around it: markup, references, numbers,
  // quotes, compounds and contractions.
  void RunningWord(bool first) {
    if (!first && random_.Percent(38)) {
      out_.Token(FunctionWord());
      return;
    }
    std::string w = TextWord();
    if (first) w = Capitalised(w);
    // Attribute values hold words and punctuation only.
    const size_t k = plain_ ? 1000 : random_.Below(1000);
    if (k < 25) {
      out_.Token("<b>" + w + "</b>");
    } else if (k < 40) {
      out_.Token("<strong>" + w + "</strong>");
    } else if (k < 60) {
      out_.Token("<i>" + w + "</i>");
    } else if (k < 75) {
      out_.Token("<em>" + w + "</em>");
    } else if (k < 78) {
      out_.Token("<B>" + w + "</B>");
    } else if (k < 81) {
      out_.Token("<I>" + w + "</I>");
    } else if (k < 111) {
      Link(w);
    } else if (k < 121) {
      out_.Token("<span class=\"" + AsciiWord() + "\">" + w + "</span>");
    } else if (k < 128) {
      out_.Token("<span>" + w + "</span>");
    } else if (k < 133) {
      out_.Token("<font size=\"" + FontSize() + "\">" + w + "</font>");
    } else if (k < 136) {
      out_.Token("<font color=\"#" + Hex() + "\">" + w + "</font>");
    } else if (k < 141) {
      out_.Token("<code>" + AsciiWord() + "</code>");
      out_.Token(w);
    } else if (k < 151) {
      out_.Token(w);
      out_.Token("&amp;");
    } else if (k < 159) {
      out_.Token(w + "&nbsp;" + TextWord());
    } else if (k < 164) {
      out_.Token(w + (random_.Percent(50) ? "&mdash;" : "&#8212;") + TextWord());
    } else if (k < 167) {
      out_.Token(w + (random_.Percent(50) ? "&trade;" : "&reg;"));
    } else if (k < 170) {
      out_.Token(random_.Percent(50) ? "&copy;" : "&#169;");
      out_.Token(w);
    } else if (k < 180) {
      out_.Token("&quot;" + w + "&quot;");
    } else if (k < 184) {
      out_.Token("&laquo;" + w + "&raquo;");
    } else if (k < 187) {
      out_.Token("&lt;" + w + "&gt;");
    } else if (k < 192) {
      out_.Token("\xE2\x80\x9C" + w + "\xE2\x80\x9D");  // curly double quotes
    } else if (k < 212) {
      out_.Token(Number());
      out_.Token(w);
    } else if (k < 227) {
      out_.Token(w + "-" + TextWord());
    } else if (k < 234) {
      out_.Token(Contraction());
      out_.Token(w);
    } else if (k < 244) {
      out_.Token("(" + w);
      out_.Token(TextWord() + ")");
    } else if (k < 246) {
      out_.Token("www." + AsciiWord() + ".com");
    } else {
      out_.Token(w);
    }
  }

  void Link(const std::string& text) {
    // Written as pages wrap them: the attributes may go to the next line.
    out_.Token("<a");
    out_.Token("href=\"" + Url() + "\"");
    if (random_.Percent(30)) out_.Token("title=\"" + Capitalised(MarkupWord()) + "\"");
    std::string rest = ">" + text;
    if (random_.Percent(40)) rest += " " + TextWord();
    out_.Glue(rest + "</a>");
  }

  std::string Url() {
    switch (random_.Below(4)) {
      case 0:
        return "/" + AsciiWord() + "/" + AsciiWord() + ".html";
      case 1:
        return "https://www." + AsciiWord() + ".com/" + AsciiWord() +
               "?id=" + std::to_string(random_.Below(100000));
      case 2:
        return "#" + AsciiWord();
      default:
        return AsciiWord() + ".php?page=" + std::to_string(random_.Below(500));
    }
  }

  std::string FontSize() {
    static constexpr std::array<std::string_view, 9> kSizes = {"1",  "2",  "3",  "4", "5",
                                                               "+1", "+2", "-1", "-2"};
    return std::string(kSizes[random_.Below(kSizes.size())]);
  }

  std::string Hex() {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string h;
    for (int i = 0; i < 6; ++i)
      h += kDigits[random_.Below(16)];
    return h;
  }

  std::string Number() {
    switch (random_.Below(5)) {
      case 0:
        return std::to_string(1900 + random_.Below(130));
      case 1:
        return std::to_string(random_.Below(100)) + "." + std::to_string(random_.Below(10));
      case 2:
        return std::to_string(1 + random_.Below(99)) + "," +
               std::to_string(100 + random_.Below(900));
      case 3:
        return std::to_string(random_.Below(100)) + "%";
      default:
        return std::to_string(random_.Below(50));
    }
  }

  std::string Contraction() {
    static constexpr std::array<std::string_view, 8> kForms = {
        "don't", "it's", "isn't", "we're", "they'll", "can't", "you've", "doesn\xE2\x80\x99t"};
    return std::string(kForms[random_.Below(kForms.size())]);
  }

  void Sentence(size_t lo = 6, size_t hi = 20) {
    const size_t n = random_.Between(lo, hi);
    for (size_t i = 0; i < n; ++i) {
      RunningWord(i == 0);
      if (i + 1 == n) {
        const size_t p = random_.Below(100);
        out_.Glue(p < 85 ? "." : p < 93 ? "?" : p < 97 ? "!" : ":");
      } else if (random_.Percent(7)) {
        out_.Glue(random_.Percent(85) ? "," : ";");
      }
    }
  }

  // A few words, the first capitalised: a heading, a cell, a list entry.
  void Words(size_t n) {
    for (size_t i = 0; i < n; ++i) {
      std::string w = i > 0 && random_.Percent(20) ? FunctionWord() : TextWord();
      out_.Token(i == 0 ? Capitalised(w) : w);
    }
  }

  std::string WordsText(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) {
      if (i > 0) s += ' ';
      std::string w = TextWord();
      s += i == 0 ? Capitalised(w) : w;
    }
    return s;
  }

  // ---- The head ----

  void Head(const std::string& titleSuffix) {
    out_.SetWrap(0);
    out_.Line("<!DOCTYPE html>");
    out_.Line("<html lang=\"en\">");
    out_.Line("<head>");
    out_.In();
    if (options_.encoding == PageEncoding::Utf8) {
      out_.Line("<meta charset=\"utf-8\">");
    } else {
      out_.Line("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">");
    }
    out_.Line("<title>" + WordsText(random_.Between(4, 9)) + titleSuffix + "</title>");
    {
      out_.EndLine();
      out_.Token("<meta name=\"description\" content=\"");
      out_.GlueNext();
      plain_ = true;
      Sentence(18, 30);
      plain_ = false;
      out_.Glue("\">");
      out_.EndLine();
    }
    std::string keywords;
    const size_t n = random_.Between(5, 12);
    for (size_t i = 0; i < n; ++i) {
      if (i > 0) keywords += ", ";
      keywords += TextWord();
    }
    out_.Line("<meta name=\"keywords\" content=\"" + keywords + "\">");
    out_.Line("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">");
    out_.Line("<link rel=\"stylesheet\" href=\"/css/" + AsciiWord() + ".css\" type=\"text/css\">");
    StyleBlock();
    ScriptBlock();
    out_.Out();
    out_.Line("</head>");
    out_.Line("<body>");
  }

  void StyleBlock() {
    out_.Line("<style type=\"text/css\">");
    out_.In();
    const size_t n = random_.Between(3, 10);
    for (size_t i = 0; i < n; ++i) {
      out_.Line("." + AsciiWord() + " > li, #" + AsciiWord() + " { margin: " +
                std::to_string(random_.Below(20)) + "px auto; color: #" + Hex() + "; }");
    }
    out_.Line("body { font-family: Arial, sans-serif; width: 960px; }");
    out_.Out();
    out_.Line("</style>");
  }

  void ScriptBlock() {
    out_.Line(random_.Percent(50) ? "<script type=\"text/javascript\">" : "<SCRIPT>");
    out_.In();
    const std::string v = AsciiWord();
    out_.Line("var " + v + " = document.getElementById('" + AsciiWord() + "');");
    out_.Line("for (var i = 0; i < " + v + ".length && i > -1; i++) {");
    out_.In();
    out_.Line("if (" + v + "[i].title == \"" + MarkupWord() + "\") { " + v +
              "[i].innerHTML = \"<b>" + MarkupWord() + "</b>\"; }");
    out_.Out();
    out_.Line("}");
    out_.Line("// " + AsciiWord() + " " + AsciiWord() + " " + AsciiWord());
    out_.Out();
    out_.Line(random_.Percent(50) ? "</script>" : "</SCRIPT>");
  }

  // ---- The Zipf page ----

  void ZipfPage() {
    Head("");
    out_.In();
    out_.Line("<div id=\"page\">");
    out_.In();
    while (!Full())
      Block(0);
    out_.Out();
    out_.Line("</div>");
    Footer();
    out_.Out();
    out_.Line("</body>");
    out_.Line("</html>");
  }

  void Footer() {
    out_.SetWrap(100);
    out_.EndLine();
    out_.Token("<div class=\"footer\">&copy; " + std::to_string(2000 + random_.Below(25)));
    Words(3);
    out_.Token("|");
    Link(TextWord());
    out_.Glue("</div>");
    out_.EndLine();
  }

  // Blocks as hand-written pages hold them; a third of the paragraphs stand on one line.
  void Block(int nesting) {
    out_.SetWrap(random_.Percent(30) ? 0 : random_.Between(72, 160));
    out_.SetTabs(random_.Percent(15));
    const size_t kind = random_.Below(1000);
    if (kind < 340) {
      Paragraph();
    } else if (kind < 420) {
      Heading();
    } else if (kind < 480) {
      List();
    } else if (kind < 560) {
      Table(nesting);
    } else if (kind < 650) {
      Division(nesting);
    } else if (kind < 690) {
      Comment();
    } else if (kind < 740) {
      Font();
    } else if (kind < 760) {
      ScriptBlock();
    } else if (kind < 770) {
      StyleBlock();
    } else if (kind < 800) {
      Image();
    } else if (kind < 830) {
      Quote();
    } else if (kind < 850) {
      Definitions(random_.Between(3, 8));
    } else if (kind < 860) {
      Form();
    } else if (kind < 875) {
      if (options_.php) {
        PhpParagraph();
      } else {
        Paragraph();
      }
    } else if (kind < 900) {
      Rule();
    } else {
      Paragraph();
    }
  }

  void Paragraph() {
    out_.EndLine();
    const size_t k = random_.Below(10);
    Open(k < 6 ? "<p>" : k < 8 ? "<p class=\"" + AsciiWord() + "\">" : "<P>");
    const size_t n = random_.Between(1, 6);
    for (size_t i = 0; i < n; ++i)
      Sentence();
    out_.Glue(k < 8 ? "</p>" : "</P>");
    out_.EndLine();
  }

  void Heading() {
    out_.EndLine();
    static constexpr std::array<int, 10> kLevels = {1, 2, 2, 2, 3, 3, 3, 4, 5, 6};
    const std::string level = std::to_string(kLevels[random_.Below(kLevels.size())]);
    const size_t k = random_.Below(10);
    if (k < 7) {
      Open("<h" + level + ">");
    } else if (k < 9) {
      Open("<h" + level + " id=\"" + AsciiWord() + "\">");
    } else {
      Open("<H" + level + ">");
    }
    Words(random_.Between(2, 8));
    out_.Glue(k < 9 ? "</h" + level + ">" : "</H" + level + ">");
    out_.EndLine();
  }

  void List() {
    const bool ordered = random_.Percent(30);
    out_.Line(ordered ? "<ol>" : "<ul class=\"" + AsciiWord() + "\">");
    out_.In();
    const size_t n = random_.Between(3, 9);
    for (size_t i = 0; i < n; ++i) {
      out_.EndLine();
      Open("<li>");
      if (random_.Percent(30)) {
        Link(WordsText(random_.Between(1, 4)));
      } else {
        Sentence(3, 14);
      }
      out_.Glue("</li>");
      out_.EndLine();
    }
    out_.Out();
    out_.Line(ordered ? "</ol>" : "</ul>");
  }

  void Table(int nesting) {
    const size_t k = random_.Below(4);
    out_.Line(k == 0   ? "<table>"
              : k == 1 ? "<TABLE BORDER=0 CELLPADDING=2 WIDTH=\"100%\">"
                       : "<table class=\"" + AsciiWord() + "\" cellspacing=\"0\">");
    out_.In();
    const size_t rows = random_.Between(2, 7);
    const size_t cols = random_.Between(2, 5);
    const bool nested = nesting < kMaxNesting && random_.Percent(25);
    const size_t nestRow = random_.Below(rows);
    for (size_t r = 0; r < rows; ++r) {
      out_.Line(random_.Percent(80) ? "<tr>" : "<tr class=\"" + AsciiWord() + "\">");
      out_.In();
      for (size_t c = 0; c < cols; ++c) {
        out_.EndLine();
        if (nested && r == nestRow && c == 0) {
          out_.Line("<td valign=\"top\">");
          out_.In();
          Table(nesting + 1);
          out_.Out();
          out_.Line("</td>");
          continue;
        }
        Open(c + 1 == cols && random_.Percent(50) ? "<td align=\"right\">" : "<td>");
        const size_t what = random_.Below(10);
        if (what < 3) {
          out_.Token(Number());
        } else if (what < 8) {
          Words(random_.Between(1, 4));
        } else {
          Sentence(4, 12);
        }
        out_.Glue("</td>");
        out_.EndLine();
      }
      out_.Out();
      out_.Line("</tr>");
    }
    out_.Out();
    out_.Line(k == 1 ? "</TABLE>" : "</table>");
  }

  void Division(int nesting) {
    const size_t k = random_.Below(3);
    out_.Line(k == 0 ? "<div>"
                     : "<div class=\"" + AsciiWord() + "\" id=\"" + AsciiWord() +
                           std::to_string(random_.Below(1000)) + "\">");
    out_.In();
    out_.EndLine();
    Open(random_.Percent(50) ? "<span>" : "<span class=\"" + AsciiWord() + "\">");
    Words(random_.Between(2, 5));
    out_.Glue("</span>");
    out_.EndLine();
    const size_t n = random_.Between(1, 3);
    for (size_t i = 0; i < n; ++i) {
      if (nesting < kMaxNesting && random_.Percent(30)) {
        Block(nesting + 1);
      } else {
        Paragraph();
      }
    }
    out_.Out();
    out_.Line("</div>");
  }

  // Words in comments are no text: they stay out of the counts.
  void Comment() {
    counting_ = false;
    if (random_.Percent(60)) {
      out_.EndLine();
      out_.Token("<!--");
      Words(random_.Between(3, 10));
      out_.Token("-->");
      out_.EndLine();
    } else {
      out_.Line("<!--");
      const size_t n = random_.Between(2, 6);
      for (size_t i = 0; i < n; ++i) {
        out_.EndLine();
        Sentence(4, 12);
        out_.EndLine();
      }
      out_.Line("-->");
    }
    counting_ = true;
  }

  void Font() {
    out_.EndLine();
    const size_t k = random_.Below(4);
    Open(k == 0   ? "<font size=\"" + FontSize() + "\">"
         : k == 1 ? "<font face=\"Arial\" size=\"" + FontSize() + "\" color=\"#" + Hex() + "\">"
         : k == 2 ? "<FONT SIZE=" + FontSize() + ">"
                  : "<font color=\"#" + Hex() + "\">");
    const size_t n = random_.Between(1, 3);
    for (size_t i = 0; i < n; ++i)
      Sentence();
    out_.Glue(k == 2 ? "</FONT>" : "</font>");
    out_.EndLine();
  }

  void Image() {
    out_.EndLine();
    out_.Token("<img src=\"images/" + AsciiWord() + ".png\" alt=\"" + Capitalised(MarkupWord()) +
               " " + MarkupWord() + "\" width=\"" + std::to_string(random_.Between(40, 600)) +
               "\" height=\"" + std::to_string(random_.Between(40, 400)) + "\">");
    if (random_.Percent(50)) {
      out_.Token("<br>");
      Words(random_.Between(2, 6));
    }
    out_.EndLine();
  }

  void Quote() {
    out_.Line("<blockquote>");
    out_.In();
    out_.EndLine();
    Sentence();
    out_.EndLine();
    out_.Out();
    out_.Line("</blockquote>");
  }

  void Definitions(size_t n) {
    out_.Line(random_.Percent(50) ? "<dl>" : "<dl class=\"" + AsciiWord() + "\">");
    out_.In();
    for (size_t i = 0; i < n; ++i) {
      out_.EndLine();
      Open("<dt>");
      if (random_.Percent(40)) {
        out_.Glue("<code>" + AsciiWord() + "</code>");
      } else {
        Words(random_.Between(1, 3));
      }
      out_.Glue("</dt>");
      out_.EndLine();
      Open("<dd>");
      Sentence(5, 18);
      out_.Glue("</dd>");
      out_.EndLine();
    }
    out_.Out();
    out_.Line("</dl>");
  }

  void Form() {
    out_.Line("<form action=\"/" + AsciiWord() + ".php\" method=\"post\">");
    out_.In();
    out_.EndLine();
    out_.Token("<label for=\"" + AsciiWord() + "\">");
    Words(2);
    out_.Glue("</label>");
    out_.Token("<input type=\"text\" name=\"" + AsciiWord() + "\" value=\"\">");
    out_.EndLine();
    out_.Line("<select name=\"" + AsciiWord() + "\">");
    const size_t n = random_.Between(2, 6);
    for (size_t i = 0; i < n; ++i) {
      out_.EndLine();
      out_.Token("<option value=\"" + std::to_string(i) + "\">");
      Words(1);
      out_.Glue("</option>");
      out_.EndLine();
    }
    out_.Line("</select>");
    out_.Line("<input type=\"submit\" value=\"Send\">");
    out_.Out();
    out_.Line("</form>");
  }

  // A paragraph with PHP in it, opened and closed on its line.
  void PhpParagraph() {
    out_.EndLine();
    Open("<p>");
    Sentence(3, 8);
    out_.Glue(" <?php echo $" + AsciiWord() + "; ?>");
    Sentence(3, 8);
    out_.Glue("</p>");
    out_.EndLine();
  }

  void Rule() {
    out_.Line(random_.Percent(50) ? "<hr>" : "<br clear=\"all\">");
    out_.EndLine();
    out_.Token("&copy;");
    out_.Token(std::to_string(1995 + random_.Below(30)));
    Words(random_.Between(1, 4));
    out_.EndLine();
  }

  // ---- The documentation page ----

  // Chapter titles come from their own random numbers, so that the table of contents and
  // the chapter agree however far the page has come.
  std::string ChapterTitle(size_t chapter) {
    Random local(options_.seed ^ (0x5DEECE66Dull * (chapter + 1)));
    std::string t;
    const size_t n = local.Between(2, 5);
    for (size_t i = 0; i < n; ++i) {
      if (i > 0) t += ' ';
      const std::string& w = vocabulary_.Word(vocabulary_.Draw(local));
      t += i == 0 ? Capitalised(w) : w;
    }
    return t;
  }

  void DocumentationPage() {
    Head(" Reference Manual");
    out_.In();
    out_.SetWrap(0);
    out_.Line("<div class=\"header\"><a href=\"/\">Home</a> &raquo; <a href=\"/docs/\">" +
              Capitalised(AsciiWord()) + "</a> &raquo; Reference</div>");
    // The table of contents: chapters with their sections, a link each.
    const size_t chapters = std::max<size_t>(10, static_cast<size_t>(options_.targetBytes / 40000));
    out_.Line("<div class=\"toc\" id=\"toc\">");
    out_.In();
    out_.Line("<h2>Contents</h2>");
    out_.Line("<ul>");
    out_.In();
    for (size_t c = 1; c <= chapters; ++c) {
      out_.Line("<li><a href=\"#ch" + std::to_string(c) + "\">" + std::to_string(c) + " " +
                ChapterTitle(c) + "</a>");
      out_.In();
      out_.Line("<ul>");
      const size_t sections = 3 + c % 7;
      for (size_t s = 1; s <= sections; ++s) {
        out_.Line("<li><a href=\"#ch" + std::to_string(c) + "-" + std::to_string(s) + "\">" +
                  std::to_string(c) + "." + std::to_string(s) + " " +
                  WordsText(random_.Between(2, 5)) + "</a></li>");
      }
      out_.Line("</ul></li>");
      out_.Out();
    }
    out_.Out();
    out_.Line("</ul>");
    out_.Out();
    out_.Line("</div>");
    for (size_t c = 1; !Full(); ++c)
      Chapter(c, chapters);
    out_.Out();
    out_.Line("</body>");
    out_.Line("</html>");
  }

  void Chapter(size_t c, size_t chapters) {
    const std::string id = "ch" + std::to_string(c);
    out_.SetWrap(0);
    out_.Line("<div class=\"chapter\" id=\"" + id + "\">");
    out_.In();
    out_.Line("<h1>" + std::to_string(c) + " " + ChapterTitle(c) + "</h1>");
    const size_t sections = 3 + c % 7;
    out_.Line("<ul class=\"minitoc\">");
    for (size_t s = 1; s <= sections; ++s) {
      out_.Line("<li><a href=\"#" + id + "-" + std::to_string(s) + "\">" + std::to_string(c) + "." +
                std::to_string(s) + "</a> " + WordsText(random_.Between(1, 3)) + "</li>");
    }
    out_.Line("</ul>");
    for (size_t s = 1; s <= sections && !Full(); ++s) {
      out_.SetWrap(0);
      out_.Line("<h2 id=\"" + id + "-" + std::to_string(s) + "\">" + std::to_string(c) + "." +
                std::to_string(s) + " " + WordsText(random_.Between(2, 6)) + "</h2>");
      const size_t items = random_.Between(6, 18);
      for (size_t i = 0; i < items; ++i)
        DocumentationItem(chapters);
    }
    out_.SetWrap(0);
    out_.Line("<p class=\"nav\"><a href=\"#ch" + std::to_string(c > 1 ? c - 1 : 1) +
              "\">Previous</a> | <a href=\"#toc\">Contents</a> | <a href=\"#ch" +
              std::to_string(c + 1) + "\">Next</a></p>");
    out_.Out();
    out_.Line("</div>");
  }

  void DocumentationItem(size_t chapters) {
    out_.SetWrap(random_.Percent(60) ? 0 : 100);
    const size_t kind = random_.Below(100);
    if (kind < 50) {
      ShortParagraph(chapters);
    } else if (kind < 64) {
      CodeBlock();
    } else if (kind < 74) {
      Definitions(random_.Between(3, 12));
    } else if (kind < 80) {
      Note();
    } else if (kind < 87) {
      ParameterTable();
    } else if (kind < 94) {
      List();
    } else {
      out_.EndLine();
      Open("<h3>");
      Words(random_.Between(2, 5));
      out_.Glue("</h3>");
      out_.EndLine();
    }
  }

  void ShortParagraph(size_t chapters) {
    out_.EndLine();
    Open("<p>");
    const size_t n = random_.Between(1, 3);
    for (size_t i = 0; i < n; ++i) {
      Sentence(5, 16);
      if (random_.Percent(25)) {
        out_.Token("See");
        Open("<a href=\"#ch" + std::to_string(1 + random_.Below(chapters)) + "-" +
             std::to_string(1 + random_.Below(3)) + "\">");
        Words(random_.Between(1, 3));
        out_.Glue("</a>.");
      }
    }
    out_.Glue("</p>");
    out_.EndLine();
  }

  void Note() {
    out_.EndLine();
    out_.Token(random_.Percent(50) ? "<div class=\"note\"><p><strong>Note:</strong>"
                                   : "<div class=\"warning\"><p><b>Warning:</b>");
    Sentence(8, 24);
    out_.Glue("</p></div>");
    out_.EndLine();
  }

  void ParameterTable() {
    out_.Line("<table class=\"params\">");
    out_.In();
    out_.Line("<tr><th>Name</th><th>Type</th><th>Default</th><th>Description</th></tr>");
    static constexpr std::array<std::string_view, 6> kTypes = {"int",    "string", "bool",
                                                               "double", "list",   "map"};
    const size_t rows = random_.Between(2, 10);
    for (size_t r = 0; r < rows; ++r) {
      out_.EndLine();
      Open("<tr><td><code>" + Identifier() + "</code></td><td>" +
           std::string(kTypes[random_.Below(kTypes.size())]) + "</td><td>" +
           std::to_string(random_.Below(100)) + "</td><td>");
      Sentence(4, 14);
      out_.Glue("</td></tr>");
      out_.EndLine();
    }
    out_.Out();
    out_.Line("</table>");
  }

  std::string Identifier() {
    const size_t parts = random_.Between(1, 3);
    const bool camel = random_.Percent(50);
    std::string id;
    for (size_t i = 0; i < parts; ++i) {
      const std::string& w = AsciiWord();
      if (i > 0 && !camel) id += '_';
      id += i > 0 && camel ? Capitalised(w) : w;
    }
    return id;
  }

  // A long code block: each line as it stands, never wrapped, the markup characters as
  // references.
  void CodeBlock() {
    out_.EndLine();
    out_.Token(random_.Percent(50) ? "<pre class=\"code\">" : "<pre>");
    const size_t n = random_.Between(8, 80);
    size_t indent = 0;
    for (size_t i = 0; i < n; ++i) {
      std::string line(indent * 4, ' ');
      const size_t k = random_.Below(12);
      const std::string a = Identifier();
      const std::string b = Identifier();
      switch (k) {
        case 0:
          line += "for (size_t i = 0; i &lt; " + a + ".size(); ++i) {";
          ++indent;
          break;
        case 1:
          line += "if (" + a + " &amp;&amp; !" + b + "-&gt;" + Identifier() + "()) {";
          ++indent;
          break;
        case 2:
          line += "}";
          if (indent > 0) {
            --indent;
            line.assign(indent * 4, ' ');
            line += "}";
          }
          break;
        case 3:
          line += "// " + WordsText(random_.Between(3, 10));
          break;
        case 4:
          line += "std::vector&lt;" + a + "&gt; " + b + " = " + Identifier() + "(" +
                  std::to_string(random_.Below(1000)) + ");";
          break;
        case 5:
          line +=
              "return " + a + "." + b + "(&quot;" + WordsText(random_.Between(1, 4)) + "&quot;);";
          break;
        case 6:
          line += "#include &lt;" + a + "/" + b + ".h&gt;";
          break;
        case 7:
          line += "$ " + AsciiWord() + " --" + AsciiWord() + "=" +
                  std::to_string(random_.Below(64)) + " " + a + ".conf";
          break;
        case 8:
          line += "SELECT " + a + ", " + b + " FROM " + AsciiWord() + " WHERE " + Identifier() +
                  " = '" + AsciiWord() + "';";
          break;
        default:
          line +=
              a + " = " + b + "(" + Identifier() + ", " + std::to_string(random_.Below(100)) + ");";
          break;
      }
      if (i == 0) {
        out_.Glue(line);
        out_.EndLine();
      } else {
        out_.RawLine(line);
      }
    }
    while (indent > 0) {
      --indent;
      out_.RawLine(std::string(indent * 4, ' ') + "}");
    }
    out_.RawLine("</pre>");
  }

  const PageOptions& options_;
  Random random_;
  Vocabulary vocabulary_;
  ZipfTable functionZipf_;
  PageOut out_;
  std::vector<char> used_;
  bool plain_ = false;
  bool counting_ = true;
  int64_t textWords_ = 0;
  int64_t functionWords_ = 0;
  int32_t distinctTextWords_ = 0;
};

}  // namespace

PageStats WritePage(std::ostream& out, const PageOptions& options) {
  PageGenerator generator(out, options);
  return generator.Run();
}

std::string_view KindName(PageKind kind) {
  return kind == PageKind::Zipf ? "zipf" : "docs";
}

std::string_view LineEndingName(LineEnding ending) {
  switch (ending) {
    case LineEnding::CrLf:
      return "crlf";
    case LineEnding::Lf:
      return "lf";
    default:
      return "none";
  }
}

std::string_view EncodingName(PageEncoding encoding) {
  return encoding == PageEncoding::Utf8 ? "utf8" : "cp1252";
}

}  // namespace tw::bench
