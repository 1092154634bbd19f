// tagwright-docgen: writes a benchmark page (see pagegen.hpp) or the document of the Google
// Benchmark (docgen.hpp, kind "classic") to a file or to standard output.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "docgen.hpp"
#include "pagegen.hpp"

namespace {

using tw::bench::LineEnding;
using tw::bench::PageEncoding;
using tw::bench::PageKind;
using tw::bench::PageOptions;

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;
constexpr int64_t kLargestPage = int64_t{64} << 30;
constexpr int32_t kLargestVocabulary = 5'000'000;

constexpr std::string_view kUsage = R"(Usage: tagwright-docgen [OPTIONS] -o FILE

Writes a generated HTML page of a given size, the same for the same options.

Options (defaults in brackets):
  -o, --output FILE         the page (- for standard output)
  --kind K                  zipf: running text in every kind of block;
                            docs: a manual (table of contents, short paragraphs,
                            <pre> code, definition lists);
                            classic: the Google Benchmark's document [zipf]
  --size N                  size in bytes; suffixes k, M, G are powers of 10,
                            Ki, Mi, Gi powers of 2 [20M]
  --line-ends E             crlf, lf or none (one line, as minified) [crlf]
  --encoding E              cp1252 (Windows-1252) or utf8 [cp1252]
  --vocabulary N            distinct base words [60000; classic: 20000]
  --zipf S                  Zipf exponent of the word ranks, 0.5 .. 2 [1.05]
  --seed N                  [20240601]
  --php                     zipf: paragraphs with a PHP section in them
  --stats                   print on stderr what was written (key=value)
  -h, --help                this help
)";

[[noreturn]] void Usage(const std::string& error) {
  std::cerr << "tagwright-docgen: " << error << "\n\n" << kUsage;
  std::exit(kExitUsage);
}

std::optional<int64_t> ParseSize(std::string_view text) {
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || value <= 0) return std::nullopt;
  const std::string_view suffix(end, static_cast<size_t>(text.data() + text.size() - end));
  int64_t unit = 1;
  if (suffix.empty() || suffix == "B") {
    unit = 1;
  } else if (suffix == "k" || suffix == "K" || suffix == "kB" || suffix == "KB") {
    unit = 1000;
  } else if (suffix == "M" || suffix == "MB") {
    unit = 1000 * 1000;
  } else if (suffix == "G" || suffix == "GB") {
    unit = 1000 * 1000 * 1000;
  } else if (suffix == "Ki" || suffix == "KiB") {
    unit = int64_t{1} << 10;
  } else if (suffix == "Mi" || suffix == "MiB") {
    unit = int64_t{1} << 20;
  } else if (suffix == "Gi" || suffix == "GiB") {
    unit = int64_t{1} << 30;
  } else {
    return std::nullopt;
  }
  if (value > kLargestPage / unit) return std::nullopt;
  return value * unit;
}

template <class Number>
std::optional<Number> ParseNumber(std::string_view text) {
  Number value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  PageOptions options;
  std::string output;
  bool classic = false;
  bool stats = false;
  std::optional<int32_t> vocabulary;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    auto value = [&]() -> std::string_view {
      if (i + 1 >= args.size()) Usage("missing value for " + std::string(arg));
      return args[++i];
    };
    if (arg == "-h" || arg == "--help") {
      std::cout << kUsage;
      return 0;
    } else if (arg == "-o" || arg == "--output") {
      output = std::string(value());
    } else if (arg == "--kind") {
      const std::string_view v = value();
      if (v == "zipf") {
        options.kind = PageKind::Zipf;
      } else if (v == "docs") {
        options.kind = PageKind::Documentation;
      } else if (v == "classic") {
        classic = true;
      } else {
        Usage("invalid --kind '" + std::string(v) + "'");
      }
    } else if (arg == "--size") {
      const auto size = ParseSize(value());
      if (!size) Usage("invalid --size '" + std::string(args[i]) + "'");
      options.targetBytes = *size;
    } else if (arg == "--line-ends") {
      const std::string_view v = value();
      if (v == "crlf") {
        options.lineEnding = LineEnding::CrLf;
      } else if (v == "lf") {
        options.lineEnding = LineEnding::Lf;
      } else if (v == "none") {
        options.lineEnding = LineEnding::None;
      } else {
        Usage("invalid --line-ends '" + std::string(v) + "'");
      }
    } else if (arg == "--encoding") {
      const std::string_view v = value();
      if (v == "cp1252" || v == "windows-1252") {
        options.encoding = PageEncoding::Windows1252;
      } else if (v == "utf8" || v == "utf-8") {
        options.encoding = PageEncoding::Utf8;
      } else {
        Usage("invalid --encoding '" + std::string(v) + "'");
      }
    } else if (arg == "--vocabulary") {
      vocabulary = ParseNumber<int32_t>(value());
      if (!vocabulary || *vocabulary < 1 || *vocabulary > kLargestVocabulary) {
        Usage("invalid --vocabulary '" + std::string(args[i]) + "'");
      }
    } else if (arg == "--zipf") {
      // from_chars for double is there in GCC 11 and later.
      const auto s = ParseNumber<double>(value());
      if (!s || *s < 0.5 || *s > 2.0) Usage("invalid --zipf '" + std::string(args[i]) + "'");
      options.zipfExponent = *s;
    } else if (arg == "--seed") {
      const auto seed = ParseNumber<uint64_t>(value());
      if (!seed) Usage("invalid --seed '" + std::string(args[i]) + "'");
      options.seed = *seed;
    } else if (arg == "--php") {
      options.php = true;
    } else if (arg == "--stats") {
      stats = true;
    } else {
      Usage("unknown option '" + std::string(arg) + "'");
    }
  }
  if (output.empty()) Usage("no output given (-o FILE)");

  try {
    if (classic) {
      if (options.lineEnding == LineEnding::Lf || options.encoding == PageEncoding::Utf8) {
        Usage("the classic document has CR LF lines or none, in Windows-1252");
      }
      if (output == "-") Usage("the classic document is written to a file");
      tw::bench::DocumentSpec doc;
      doc.targetBytes = options.targetBytes;
      doc.lineBreaks = options.lineEnding == LineEnding::CrLf;
      doc.seed = options.seed;
      if (vocabulary) doc.vocabularySize = *vocabulary;
      const int64_t bytes = tw::bench::WriteDocument(output, doc);
      if (stats) std::cerr << "bytes=" << bytes << '\n';
      return 0;
    }
    if (vocabulary) options.vocabularySize = *vocabulary;
    tw::bench::PageStats written;
    if (output == "-") {
      std::ios::sync_with_stdio(false);
      written = tw::bench::WritePage(std::cout, options);
      std::cout.flush();
      if (!std::cout) throw std::runtime_error("cannot write to standard output");
    } else {
      std::ofstream file(output, std::ios::binary | std::ios::trunc);
      if (!file) throw std::runtime_error("cannot write " + output);
      written = tw::bench::WritePage(file, options);
      file.close();
      if (!file) throw std::runtime_error("cannot write " + output);
    }
    if (stats) {
      std::cerr << "kind=" << tw::bench::KindName(options.kind)
                << " line_ends=" << tw::bench::LineEndingName(options.lineEnding)
                << " encoding=" << tw::bench::EncodingName(options.encoding)
                << " bytes=" << written.bytes << " lines=" << written.lines
                << " text_words=" << written.textWords
                << " distinct_text_words=" << written.distinctTextWords
                << " function_words=" << written.functionWords << '\n';
    }
  } catch (const std::exception& e) {
    std::cerr << "tagwright-docgen: " << e.what() << '\n';
    return kExitFailure;
  }
  return 0;
}
