// The benchmark document generator. Its own random numbers (genrandom.hpp) keep the
// documents byte for byte the same on every platform and library.
#include "docgen.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "genrandom.hpp"

namespace tw::bench {

namespace {

constexpr double kZipfExponent = 1.05;
constexpr size_t kWrapColumn = 100;
constexpr size_t kFlushBytes = 1 << 20;
constexpr int kAccentedPercent = 5;

constexpr std::array<std::string_view, 30> kOnsets = {
    "b", "c", "d", "f",  "g",  "h",  "j",  "k",  "l",  "m",  "n",  "p",  "r",  "s",  "t",
    "v", "w", "z", "br", "ch", "cl", "dr", "fl", "gr", "pl", "pr", "sh", "st", "th", "tr"};
constexpr std::array<std::string_view, 9> kVowels = {"a",  "e",  "i",  "o", "u",
                                                     "ai", "ea", "ou", "io"};
constexpr std::array<std::string_view, 9> kCodas = {"", "n", "r", "s", "l", "t", "m", "nd", "st"};
// é è ü ö ñ ç à as Windows-1252 bytes.
constexpr std::array<char, 7> kAccented = {'\xE9', '\xE8', '\xFC', '\xF6', '\xF1', '\xE7', '\xE0'};

class Generator {
 public:
  Generator(const DocumentSpec& spec, std::ofstream& out)
      : spec_(spec), out_(out), random_(spec.seed) {
    MakeVocabulary();
  }

  int64_t Run() {
    Head();
    while (written_ + static_cast<int64_t>(buffer_.size() + line_.size()) < spec_.targetBytes) {
      Block();
    }
    Token("</body></html>");
    EndLine();
    Flush();
    return written_;
  }

 private:
  void MakeVocabulary() {
    std::unordered_set<std::string> seen;
    while (static_cast<int32_t>(words_.size()) < spec_.vocabularySize) {
      const size_t syllables = 1 + random_.Below(3) + (random_.Percent(30) ? 1 : 0);
      std::string w;
      for (size_t s = 0; s < syllables; ++s) {
        w += kOnsets[random_.Below(kOnsets.size())];
        w += kVowels[random_.Below(kVowels.size())];
        if (random_.Percent(40)) w += kCodas[random_.Below(kCodas.size())];
      }
      if (random_.Percent(kAccentedPercent)) {
        const size_t at = w.find_first_of("aeiou");
        if (at != std::string::npos) w[at] = kAccented[random_.Below(kAccented.size())];
      }
      if (seen.insert(w).second) words_.push_back(w);
    }
    // Zipf-like: the word of rank r is drawn with a weight of 1 / r^s.
    double total = 0;
    cumulative_.reserve(words_.size());
    for (size_t r = 0; r < words_.size(); ++r) {
      total += 1.0 / std::pow(static_cast<double>(r + 1), kZipfExponent);
      cumulative_.push_back(total);
    }
  }

  const std::string& Word() {
    const double x = random_.Unit() * cumulative_.back();
    const size_t r = static_cast<size_t>(
        std::upper_bound(cumulative_.begin(), cumulative_.end(), x) - cumulative_.begin());
    return words_[std::min(r, words_.size() - 1)];
  }

  std::string Capitalised(const std::string& w) {
    std::string c = w;
    if (!c.empty() && c[0] >= 'a' && c[0] <= 'z') c[0] = static_cast<char>(c[0] - 'a' + 'A');
    return c;
  }

  // A word as it may stand in running text: plain, marked up or with a reference.
  std::string TextWord() {
    std::string w = Word();
    const size_t accent = w.find('\xE9');
    if (accent != std::string::npos && random_.Percent(50)) w.replace(accent, 1, "&eacute;");
    switch (random_.Below(40)) {
      case 0:
        return "<b>" + w + "</b>";
      case 1:
        return "<i>" + w + "</i>";
      case 2:
        return "<strong>" + w + "</strong>";
      case 3:
        return "<em>" + w + "</em>";
      case 4:
        return "<a href=\"/" + Word() + ".html\" title=\"" + Word() + "\">" + w + "</a>";
      case 5:
        return w + "&nbsp;&amp;";
      case 6:
        return w + "&#8212;" + Word();
      case 7:
        return w + "&trade;";
      case 8:
        return std::to_string(random_.Below(2025)) + " " + w;
      case 9:
        return "&quot;" + w + "&quot;";
      default:
        return w;
    }
  }

  void Sentence() {
    const size_t n = 6 + random_.Below(13);
    for (size_t i = 0; i < n; ++i) {
      std::string w = i == 0 ? Capitalised(Word()) : TextWord();
      if (i + 1 == n) {
        w += random_.Percent(10) ? "?" : ".";
      } else if (random_.Percent(8)) {
        w += ",";
      }
      Token(w);
    }
  }

  void Words(size_t n) {
    for (size_t i = 0; i < n; ++i)
      Token(i == 0 ? Capitalised(Word()) : Word());
  }

  void Head() {
    Token("<!DOCTYPE html>");
    EndLine();
    Token("<html lang=\"en\">");
    EndLine();
    Token("<head>");
    EndLine();
    Token("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">");
    EndLine();
    Token("<title>");
    Words(6);
    Token("</title>");
    EndLine();
    Token("<meta name=\"description\" content=\"");
    Words(20);
    Token("\">");
    EndLine();
    Token("<meta name=\"keywords\" content=\"" + Word() + ", " + Word() + ", " + Word() + "\">");
    EndLine();
    Token("<style type=\"text/css\">");
    EndLine();
    Token("body { font-family: Arial, sans-serif; margin: 0 auto; width: 960px; }");
    EndLine();
    Token("h1, h2 { color: #336; } .box { border: 1px solid #ccc; }");
    EndLine();
    Token("</style>");
    EndLine();
    Token("</head>");
    EndLine();
    Token("<body>");
    EndLine();
  }

  void Block() {
    const size_t kind = random_.Below(100);
    if (kind < 45) {
      Token("<p>");
      const size_t n = 2 + random_.Below(5);
      for (size_t i = 0; i < n; ++i)
        Sentence();
      Token("</p>");
    } else if (kind < 55) {
      const std::string level = std::to_string(1 + random_.Below(4));
      Token("<h" + level + ">");
      Words(3 + random_.Below(5));
      Token("</h" + level + ">");
    } else if (kind < 63) {
      Token("<ul>");
      EndLine();
      const size_t n = 3 + random_.Below(4);
      for (size_t i = 0; i < n; ++i) {
        Token("<li>");
        Sentence();
        Token("</li>");
        EndLine();
      }
      Token("</ul>");
    } else if (kind < 72) {
      Token("<table class=\"data\" cellpadding=\"2\">");
      EndLine();
      const size_t rows = 2 + random_.Below(4);
      for (size_t r = 0; r < rows; ++r) {
        Token("<tr><td>");
        Words(1 + random_.Below(4));
        Token("</td><td align=\"right\">" + std::to_string(random_.Below(100000)) + "</td></tr>");
        EndLine();
      }
      Token("</table>");
    } else if (kind < 82) {
      Token("<div class=\"box\"><span class=\"note\">");
      Words(2 + random_.Below(4));
      Token("</span>");
      Sentence();
      Token("</div>");
    } else if (kind < 87) {
      Token("<!--");
      Sentence();
      Token("-->");
    } else if (kind < 92) {
      Token("<font size=\"+1\" color=\"#003366\">");
      Sentence();
      Token("</font>");
    } else if (kind < 94) {
      Token("<script type=\"text/javascript\">");
      EndLine();
      Token("var " + Word() + " = document.getElementById('" + Word() + "');");
      EndLine();
      Token("if (x < 3 && y > 2) { window.alert(\"" + Word() + "\"); }");
      EndLine();
      Token("</script>");
    } else if (kind < 97) {
      Token("<img src=\"images/" + Word() + ".png\" alt=\"" + Word() + " " + Word() +
            "\" width=\"120\" height=\"80\">");
    } else {
      Token("<br>");
      Token("&copy; " + std::to_string(2000 + random_.Below(25)));
    }
    EndLine();
  }

  void Token(const std::string& token) {
    if (!line_.empty()) {
      if (line_.size() + 1 + token.size() > kWrapColumn) {
        EndLine();
      } else {
        line_ += ' ';
      }
    }
    line_ += token;
  }

  void EndLine() {
    if (line_.empty()) return;
    buffer_ += line_;
    buffer_ += spec_.lineBreaks ? "\r\n" : " ";
    line_.clear();
    if (buffer_.size() >= kFlushBytes) Flush();
  }

  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    written_ += static_cast<int64_t>(buffer_.size());
    buffer_.clear();
  }

  const DocumentSpec& spec_;
  std::ofstream& out_;
  Random random_;
  std::vector<std::string> words_;
  std::vector<double> cumulative_;
  std::string line_;
  std::string buffer_;
  int64_t written_ = 0;
};

}  // namespace

int64_t WriteDocument(const std::filesystem::path& file, const DocumentSpec& spec) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + file.string());
  Generator generator(spec, out);
  const int64_t size = generator.Run();
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
  return size;
}

}  // namespace tw::bench
