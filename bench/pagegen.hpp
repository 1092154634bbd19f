// Pages that make the engine work as hard as real ones do: a large vocabulary drawn with a
// Zipf distribution (accented letters, plural forms, capitalised variants, English function
// words), every kind of markup the scanner weighs or skips (headings, bold and italic text,
// links, nested tables, divisions and spans with and without attributes, font sizes,
// comments, scripts and styles, character references, title and meta tags), as CR LF, LF or
// one-line documents in Windows-1252 or UTF-8.
//
// Two kinds of page:
//  - Zipf: running text in every kind of block, like a large hand-written site page;
//  - Documentation: a page assembled like a software manual: a table of contents of many
//    links, many short paragraphs, long <pre> code blocks, definition lists, tables of
//    parameters.
//
// Standard C++ only, and nothing of the engine, so that it keeps working whatever the engine
// looks like. Deterministic for a seed.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

namespace tw::bench {

enum class PageKind { Zipf, Documentation };
enum class LineEnding { CrLf, Lf, None };
enum class PageEncoding { Windows1252, Utf8 };

struct PageOptions {
  PageKind kind = PageKind::Zipf;
  // The page ends with the first block that reaches this size (in bytes, as written).
  int64_t targetBytes = 20'000'000;
  // None: the page is one line without any line break, as a minifier leaves it.
  LineEnding lineEnding = LineEnding::CrLf;
  PageEncoding encoding = PageEncoding::Windows1252;
  // Distinct base words; each may also stand as its plural, capitalised or in capitals.
  int32_t vocabularySize = 60000;
  // The word of rank r is drawn with a weight of 1 / r^s.
  double zipfExponent = 1.05;
  uint64_t seed = 20240601;
  // Paragraphs with a PHP section in them (Zipf pages). Off by default: a meta tag other
  // than description or keywords skips every PHP section in the rest of its line, so on a
  // one-line page the scan jumps from the head to behind the last one.
  bool php = false;
};

// What was written, for a check of the page against what the engine reports.
struct PageStats {
  int64_t bytes = 0;
  // Line breaks written.
  int64_t lines = 0;
  // Vocabulary words written as text (outside tags, scripts, styles and comments), and how
  // many distinct base words they are.
  int64_t textWords = 0;
  int32_t distinctTextWords = 0;
  // Function words ("the", "of", ...) written as text.
  int64_t functionWords = 0;
};

// Writes the page; throws std::runtime_error when the stream fails.
PageStats WritePage(std::ostream& out, const PageOptions& options);

std::string_view KindName(PageKind kind);
std::string_view LineEndingName(LineEnding ending);
std::string_view EncodingName(PageEncoding encoding);

}  // namespace tw::bench
