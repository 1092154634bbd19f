// A deterministic generator of realistic HTML documents of any size, for the benchmarks:
// CR LF lines, a 20,000-word vocabulary drawn with a Zipf-like distribution, headings, bold
// and italic text, tables, divisions, spans, font tags, comments, scripts, entities, meta
// tags and some accented words, written as Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <filesystem>

namespace tw::bench {

struct DocumentSpec {
  int64_t targetBytes = 20 * 1024 * 1024;
  // Lines end in CR LF; when false the document is one line without any line break.
  bool lineBreaks = true;
  uint64_t seed = 20240601;
  int32_t vocabularySize = 20000;
};

// Writes the document and returns its size in bytes.
int64_t WriteDocument(const std::filesystem::path& file, const DocumentSpec& spec);

}  // namespace tw::bench
