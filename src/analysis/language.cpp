// Choosing a document's language: its declaration, else its words counted against the six
// single-language common-word lists.
#include "analysis/language.hpp"

#include <algorithm>
#include <filesystem>

#include "analysis/settings.hpp"
#include "io/fileproc.hpp"
#include "io/istextfile.hpp"
#include "scan/scanner.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "words/filters.hpp"
#include "words/wordhash.hpp"

namespace tw {

namespace {

// A declaration counts when its code is one of the six, whose codes the code of the list of
// all six joins.
TextView DeclarableCodes() {
  return strLanguageCodes[kAllLanguagesIndex];
}

// Counts the words the scanner cuts out of the first bytes, and feeds it their lines.
class HitCounter final : public ScanListener {
 public:
  HitCounter(MemoryLineReader& lines, const CommonWords& commonWords)
      : lines_(lines), commonWords_(commonWords) {}

  void AddWord(std::string_view word, const OccurrenceContext& /*context*/,
               Occurrence /*occurrence*/) override {
    lowered_.clear();
    DecodeCp1252Append(word, lowered_);
    ToLowerGeneralInPlace(lowered_);
    const uint32_t hash = HashWord(lowered_);
    // A word common in several of the languages tells none of them apart.
    int32_t owner = -1;
    for (int32_t position = 0; position < kAllLanguagesIndex; ++position) {
      if (!commonWords_.IsLoweredCommonWord(lowered_, hash, position)) continue;
      if (owner >= 0) {
        owner = -1;
        break;
      }
      owner = position;
    }
    if (owner >= 0) ++result_.hits[static_cast<size_t>(owner)];
    ++result_.words;
  }
  bool AfterWord() override { return full(); }
  bool ReadRawLine(std::string_view& line) override { return lines_.ReadLine(line); }

  bool full() const { return result_.words >= kRecognitionWordLimit; }
  const LanguageHits& result() const { return result_; }

 private:
  MemoryLineReader& lines_;
  const CommonWords& commonWords_;
  LanguageHits result_;
  Text lowered_;
};

}  // namespace

LanguageHits CountLanguageHits(std::string_view firstBytes, bool isUtf8,
                               const CommonWords& commonWords) {
  const std::string_view bytes = firstBytes.substr(0, kRecognitionByteLimit);
  MemoryLineReader lines(bytes, LineEndsOf(bytes));
  HitCounter counter(lines, commonWords);
  // The window's default weights count the words of every section; no language is selected,
  // so hyphens and apostrophes end words as they do for every language but French.
  const ScanOptions options;
  MarkupScanner scanner(options, counter);
  scanner.Reset();
  std::string_view line;
  bool firstLine = true;
  while (!counter.full() && !scanner.ReachedEndOfDocument() && lines.ReadLine(line)) {
    if (firstLine) {
      firstLine = false;
      if (line.starts_with(kUtf8ByteOrderMarkBytes))
        line.remove_prefix(kUtf8ByteOrderMarkBytes.size());
    }
    scanner.ScanLine(line, isUtf8, true);
  }
  return counter.result();
}

int32_t RecogniseLanguage(const LanguageHits& hits) {
  int32_t best = 0;
  for (int32_t position = 1; position < kAllLanguagesIndex; ++position) {
    if (hits.hits[static_cast<size_t>(position)] > hits.hits[static_cast<size_t>(best)]) {
      best = position;
    }
  }
  int32_t runnerUp = 0;
  for (int32_t position = 0; position < kAllLanguagesIndex; ++position) {
    if (position != best) runnerUp = std::max(runnerUp, hits.hits[static_cast<size_t>(position)]);
  }
  const int32_t top = hits.hits[static_cast<size_t>(best)];
  if (top < kRecognitionMinHits) return -1;
  if (top * kRecognitionLeadDenominator < runnerUp * kRecognitionLeadNumerator) return -1;
  return best;
}

LanguageChoice ChooseDocumentLanguage(TextView path, const CommonWords& commonWords) {
  DocumentReader document;
  if (document.Open(ToPath(path)).failed()) {
    return LanguageChoice{kEnglishLanguageIndex, LanguageSource::Default};
  }
  const Result<LanguageChoice> choice = ChooseDocumentLanguage(document, path, commonWords);
  return choice ? *choice : LanguageChoice{kEnglishLanguageIndex, LanguageSource::Default};
}

Result<LanguageChoice> ChooseDocumentLanguage(DocumentReader& document, TextView name,
                                              const CommonWords& commonWords) {
  const int32_t declared =
      LanguageIndexFromCode(DetectDocumentLanguage(document, DeclarableCodes(), u""));
  if (document.error().failed()) return document.error();
  if (declared >= 0) return LanguageChoice{declared, LanguageSource::Declared};

  bool isUtf8 = false;
  const TextFileKind kind =
      IsTextFile(document, name, kTextSampleSize, kNonTextLimitPercent, isUtf8, true);
  if (document.error().failed()) return document.error();
  // A file the run refuses (binary, RTF, UTF-16) is no text: its bytes cut into words would
  // only hit short words of the lists by chance.
  if (!IsReadableText(kind)) return LanguageChoice{kEnglishLanguageIndex, LanguageSource::Default};
  if (const Status read = document.Fill(kRecognitionByteLimit); read.failed()) return read;
  const std::string_view head = document.HeldFrom(0).substr(0, kRecognitionByteLimit);
  const int32_t recognised = RecogniseLanguage(CountLanguageHits(head, isUtf8, commonWords));
  if (recognised >= 0) return LanguageChoice{recognised, LanguageSource::Recognised};
  return LanguageChoice{kEnglishLanguageIndex, LanguageSource::Default};
}

std::string LanguageChoiceLine(const LanguageChoice& choice) {
  std::string line = "language: ";
  line += ToUtf8(strLanguageCodes[static_cast<size_t>(choice.position)]);
  switch (choice.source) {
    case LanguageSource::Declared:
      line += " (declared)";
      break;
    case LanguageSource::Recognised:
      line += " (recognised)";
      break;
    case LanguageSource::Default:
      line += " (default)";
      break;
  }
  return line;
}

}  // namespace tw
