// The run behind "List words" and "Generate/show keywords meta tag": checks the input file,
// reads it line by line through the scanner into the word table, finishes the table and
// writes the word list or the keywords meta tag into the host's output box.
#pragma once

#include <cstdint>
#include <optional>

#include "analysis/host.hpp"
#include "analysis/settings.hpp"
#include "catalogue/language2.hpp"
#include "io/document.hpp"
#include "io/fileproc.hpp"
#include "io/istextfile.hpp"
#include "words/commonwords.hpp"
#include "words/wordtable.hpp"

namespace tw {

inline constexpr TextView kNowProcessing = u"Now processing ...";
inline constexpr TextView kNotShowingWordsAsFound = u"{NOT showing words as found.}";
inline constexpr TextView kListWordsCaption = u"List words";
inline constexpr TextView kStopCaption = u"Stop";
inline constexpr TextView kDifferentWordsFoundCaption = u"Number of different words found:";
inline constexpr TextView kWordsSatisfyingCaption = u"Number of words satisfying above conditions:";
inline constexpr TextView kErrorCaption = u"Error";
// The count labels show the number of different words at every tenth new word.
inline constexpr int32_t kWordCountLabelStep = 10;

class Analysis {
 public:
  Analysis(const ProgramText& texts, const CommonWords& commonWords);

  // tagMode: true for "Generate/show keywords meta tag", false for "List words". Returns
  // true when the output box received the tag or the list; false when the run was refused,
  // stopped or failed (a message has then been shown, or the stopped text written).
  // `document`: the command's reading of the document, when it has begun one (its checks and
  // scan then work on those bytes); the run reads the document itself otherwise.
  bool RunAnalysis(bool tagMode, RunHost& host, DocumentReader* document = nullptr);

  // The output steps alone, from the current table.
  void BuildKeywordTag(RunHost& host);
  void WriteWordList(RunHost& host);

  // True while RunAnalysis is reading the document.
  bool Running() const { return running_; }

  const WordTable& table() const { return table_; }

  bool blnWordTableCurrent = false;
  bool blnStopRequested = false;
  bool blnIsUTF8File = false;
  TextFileKind intTextFileKind = TextFileKind::NotText;

 private:
  class Listener;

  // Whether the table was finished for these options and this document, and nothing that a
  // scan depends on has changed since (blnWordTableCurrent).
  bool TableCurrentFor(const ScanOptions& options, TextView document) const;
  // Checks, reads and scans the document and finishes the table; true when finished.
  bool ScanDocument(const ScanOptions& options, RunHost& host, DocumentReader* given);
  // Back to idle after a scan: caption "List words", controls unlocked.
  void EndScan(RunHost& host);
  Message RefusalMessage(TextFileKind kind) const;

  const ProgramText& texts_;
  const CommonWords& commonWords_;
  // On cache lines of its own: while a second thread counts into it, the scan keeps reading
  // blnStopRequested.
  alignas(64) WordTable table_;
  // What the table was built with.
  std::optional<ScanOptions> tableOptions_;
  Text tableDocument_;
  bool running_ = false;
};

// The message box of a refused input file, by the result of IsTextFile.
Message TextFileRefusal(TextFileKind kind, const ProgramText& texts);

// The tag alone: the output text before its count lines, trimmed of characters of code 32
// or less at both ends (the whole text, trimmed, when it holds no tag).
Text GetMetaTag(TextView outputText);

}  // namespace tw
