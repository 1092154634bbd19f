// The analysis run: file checks, line-by-line reading and scanning, progress, stop, the
// finishing steps of the table and the output.
#include "analysis/run.hpp"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <exception>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <system_error>

#include "analysis/countingthread.hpp"
#include "io/istextfile.hpp"
#include "scan/scanner.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"
#include "words/tagbuilder.hpp"
#include "words/wordlist.hpp"

namespace tw {

namespace {

constexpr TextView kNotTextFile = u"This is not a text file.";
constexpr TextView kTinyFile = u"File contains from 1 to 4 bytes only.";
constexpr TextView kCannotUseFile = u"An error was encountered when attempting to use this file.";
constexpr TextView kStoppedWith = u"Stopped with";
constexpr TextView kStoppedWord = u" word";
constexpr TextView kStoppedPlural = u"s";
constexpr TextView kStoppedIdentified = u" identified.";
constexpr TextView kNumberOfKeywordsMarker = u"Number of keywords in meta tag";

// A line longer than this cannot be scanned with 32-bit positions.
constexpr size_t kMaxLineChars = static_cast<size_t>(INT32_MAX) / 2;
// How often, in words, a long line reports how far the run has come.
constexpr int64_t kProgressWordStep = 4096;
// From this size on a document's words are counted in a second thread, for a host that does
// not watch each word: below it, starting the thread costs more than it saves.
constexpr int64_t kCountAlongsideFromBytes = int64_t{1} << 20;

// The text of the error box of a failure after the document was opened.
Text DescriptionOf(const FileError& e) {
  if (!e.description.empty()) return e.description;
  return FileError::FromErrno(e.number != 0 ? e.number : EIO).description;
}

}  // namespace

// Hands the scanner's words to the table, shows progress, yields, and reads further lines
// for a PHP section that goes on.
class Analysis::Listener final : public ScanListener {
 public:
  Listener(Analysis& analysis, RunHost& host, LineReader& reader, int64_t totalBytes)
      : analysis_(analysis),
        host_(host),
        reader_(reader),
        totalBytes_(totalBytes),
        watchesEachWord_(host.WatchesEachWord()) {}

  void SetScanner(const MarkupScanner* scanner) { scanner_ = scanner; }

  // From now on the words go to a thread that counts them while the scan goes on.
  void CountAlongside(CountingThread& counting) { counting_ = &counting; }

  void AddWord(std::string_view word, const OccurrenceContext& /*context*/,
               Occurrence occurrence) override {
    if (counting_ != nullptr) {
      counting_->Add(word, occurrence);
    } else {
      analysis_.table_.AddWordSoon(word, occurrence, WhenCounted{this});
    }
  }
  // Counts the words the table (or the counting thread) still holds back.
  void CountWaitingWords() {
    if (counting_ != nullptr) {
      // The entries are made one by one: the n-th new word makes the n-th.
      int32_t made = 0;
      counting_->Finish([this, &made](std::string_view word) { ShowNewWord(word, ++made); });
      counting_ = nullptr;
    } else {
      analysis_.table_.Flush(WhenCounted{this});
    }
  }

  bool AfterWord() override {
    // A host that does not look at each word is served after each line only.
    if (watchesEachWord_) host_.Yield();
    if (++words_ % kProgressWordStep == 0 && scanner_ != nullptr) {
      Report(lineStartBytes_ + static_cast<int64_t>(scanner_->linePosition()));
    }
    return analysis_.blnStopRequested;
  }

  // A read failure ends the document for the scanner; the run then reports it.
  bool ReadRawLine(std::string_view& line) override {
    lineStartBytes_ = static_cast<int64_t>(reader_.position());
    if (failure_.failed() || !reader_.ReadLineView(line)) {
      if (reader_.failed()) failure_ = reader_.error();
      return false;
    }
    // A line longer than this cannot be scanned with 32-bit positions.
    if (line.size() > kMaxLineChars) {
      failure_ = FileError::FromErrno(EFBIG);
      return false;
    }
    return true;
  }
  const FileError& failure() const { return failure_; }
  bool watchesEachWord() const { return watchesEachWord_; }

  void Report(int64_t bytes) { host_.ReportProgress(std::min(bytes, totalBytes_), totalBytes_); }
  int64_t bytesRead() const { return static_cast<int64_t>(reader_.position()); }

 private:
  // What the table tells of each word as it counts it.
  struct WhenCounted {
    Listener* listener;
    void operator()(AddResult result, std::string_view word) const {
      if (result == AddResult::NewWord) {
        listener->ShowNewWord(word, listener->analysis_.table_.intNumWords());
      }
    }
  };

  // The word that made the n-th entry of the table.
  void ShowNewWord(std::string_view word, int32_t n) {
    if (n % kWordCountLabelStep == 0) {
      host_.SetWordCountLabels(kDifferentWordsFoundCaption, NumberText(n));
    }
    if (host_.OutputText() == kNowProcessing) host_.SetOutputText(Text());
    // The user may tick or untick the box during the run.
    if (host_.Settings().chkShowWordsAsFound) {
      Text shown = DecodeCp1252(word);
      shown.push_back(u' ');
      host_.AppendOutputText(shown);
      host_.MoveOutputCaretToEnd();
    } else if (host_.OutputText().empty()) {
      host_.SetOutputText(Text(kNotShowingWordsAsFound));
    }
  }

  Analysis& analysis_;
  RunHost& host_;
  LineReader& reader_;
  const MarkupScanner* scanner_ = nullptr;
  int64_t totalBytes_;
  bool watchesEachWord_;
  CountingThread* counting_ = nullptr;
  int64_t lineStartBytes_ = 0;
  FileError failure_;
  int64_t words_ = 0;
};

Analysis::Analysis(const ProgramText& texts, const CommonWords& commonWords)
    : texts_(texts), commonWords_(commonWords) {}

Message TextFileRefusal(TextFileKind kind, const ProgramText& texts) {
  Message m;
  m.icon = MsgIcon::Warning;
  m.buttons = MsgButtons::Ok;
  switch (kind) {
    case TextFileKind::NotText:
      m.text = Text(kNotTextFile);
      m.caption = texts.GetProgramText(catalogue::kFileNotFoundCaption);
      break;
    case TextFileKind::NoSuchFile:
      m.text = texts.GetProgramText(catalogue::kCheckFileNotFound);
      m.caption = texts.GetProgramText(catalogue::kFileNotFoundCaption);
      break;
    case TextFileKind::ZeroBytes:
      m.text = texts.GetProgramText(catalogue::kZeroLengthText);
      m.caption = texts.GetProgramText(catalogue::kTooShortCaption);
      break;
    case TextFileKind::AccessDenied:
      m.text = texts.GetProgramText(catalogue::kAccessDeniedText);
      m.caption = texts.GetProgramText(catalogue::kNoInputFileCaption);
      break;
    case TextFileKind::OneToFourBytes:
      m.text = Text(kTinyFile);
      m.caption = texts.GetProgramText(catalogue::kTooShortCaption);
      break;
    default:
      m.text = Text(kCannotUseFile);
      m.caption = texts.GetProgramText(catalogue::kFileNotFoundCaption);
      break;
  }
  return m;
}

Message Analysis::RefusalMessage(TextFileKind kind) const {
  return TextFileRefusal(kind, texts_);
}

bool Analysis::TableCurrentFor(const ScanOptions& options, TextView document) const {
  return blnWordTableCurrent && tableOptions_ == options && tableDocument_ == document;
}

bool Analysis::RunAnalysis(bool tagMode, RunHost& host, DocumentReader* document) {
  if (running_) return false;
  const ScanOptions options = ResolveOptions(host.Settings()).scan;
  if (!TableCurrentFor(options, TrimSpaces(host.Settings().txbInputFile)) &&
      !ScanDocument(options, host, document)) {
    return false;
  }
  if (tagMode) {
    BuildKeywordTag(host);
  } else {
    WriteWordList(host);
  }
  host.PlaceDefaultFocus();
  return true;
}

void Analysis::EndScan(RunHost& host) {
  running_ = false;
  host.SetListWordsCaption(kListWordsCaption);
  host.SetControlsEnabled(true);
}

bool Analysis::ScanDocument(const ScanOptions& options, RunHost& host, DocumentReader* given) {
  blnWordTableCurrent = false;
  tableOptions_.reset();
  host.SetInputFileText(TrimSpaces(host.Settings().txbInputFile));
  const Text document = host.Settings().txbInputFile;
  if (document.empty()) {
    host.ShowMessage(Message{texts_.GetProgramText(catalogue::kNoInputFileCaption),
                             texts_.GetProgramText(catalogue::kNoInputFileText), MsgIcon::Warning,
                             MsgButtons::Ok});
    return false;
  }
  const InputFileVerdict verdict = ValidateInputFile(document, true, texts_);
  if (!verdict.usable) {
    if (verdict.message) host.ShowMessage(*verdict.message);
    return false;
  }
  // The document is read once: its checks and its scan work on the bytes of one reading
  // (the command's own, when it has begun reading already).
  DocumentReader local;
  DocumentReader& bytes = given != nullptr ? *given : local;
  blnIsUTF8File = false;
  if (const Status opened = bytes.IsOpen() ? Status{} : bytes.Open(ToPath(document));
      opened.failed()) {
    intTextFileKind = OpenFailureKind(opened);
  } else {
    intTextFileKind =
        IsTextFile(bytes, document, kTextSampleSize, kNonTextLimitPercent, blnIsUTF8File, true);
  }
  // Documents with LF line ends are read line by line like the others, so they need no
  // question before the run.
  if (!IsReadableText(intTextFileKind)) {
    host.ShowMessage(RefusalMessage(intTextFileKind));
    return false;
  }
  if (const Status read = bytes.Fill(kLineEndSampleSize); read.failed()) {
    host.ShowMessage(Message{Text(kErrorCaption), DescriptionOf(read), MsgIcon::Warning});
    return false;
  }

  // Prepare the table, the scanner and the window.
  const LineEnds ends = LineEndsOf(bytes.HeldFrom(0));
  const auto totalBytes = static_cast<int64_t>(bytes.size());

  LineReader reader;
  reader.Attach(bytes, ends, true);
  Listener listener(*this, host, reader, totalBytes);
  MarkupScanner scanner(options, listener);
  listener.SetScanner(&scanner);

  // A host that watches the run word by word sees each word counted as it comes.
  table_.Reset(options, commonWords_, static_cast<size_t>(totalBytes), listener.watchesEachWord());
  scanner.Reset();
  host.SetOutputText(Text());
  host.RepaintOutput();
  blnStopRequested = false;
  running_ = true;
  host.SetListWordsCaption(kStopCaption);
  host.SetControlsEnabled(false);
  const bool lowerLines = !options.preserveCase;

  try {
    // A host that does not watch each word may let a second thread count the words of a
    // long document while the scan goes on; without a thread to be had they are counted here.
    std::optional<CountingThread> counting;
    if (!listener.watchesEachWord() && host.MayCountAlongside() &&
        totalBytes >= kCountAlongsideFromBytes) {
      try {
        counting.emplace(table_);
        listener.CountAlongside(*counting);
      } catch (const std::system_error&) {
        counting.reset();
      }
    }
    std::string_view line;
    bool firstLine = true;
    while (!blnStopRequested && !scanner.ReachedEndOfDocument()) {
      if (!listener.ReadRawLine(line)) break;
      if (firstLine) {
        firstLine = false;
        if (line.starts_with(kUtf8ByteOrderMarkBytes))
          line.remove_prefix(kUtf8ByteOrderMarkBytes.size());
      }
      // A document without line breaks is held only once: its line is prepared where the
      // reader read it, and the scanner takes that room over.
      static_assert(DocumentReader::kRoomToSpare >= LineBuffer::kSpare + 1);
      size_t room = 0;
      std::unique_ptr<char[]> lineRoom = reader.TakeLineRoom(room);
      const bool taken =
          lineRoom != nullptr
              ? scanner.TakeLineInPlace(std::move(lineRoom), room, line, blnIsUTF8File, lowerLines)
              : scanner.TakeLine(line, blnIsUTF8File, lowerLines);
      if (!taken) continue;
      reader.ReleaseLine();
      scanner.ScanTakenLine();
      host.Yield();
      listener.Report(listener.bytesRead());
    }
    listener.CountWaitingWords();
    scanner.ReleaseLine();
    reader.Close();
    if (listener.failure().failed()) {
      EndScan(host);
      host.ShowMessage(
          Message{Text(kErrorCaption), DescriptionOf(listener.failure()), MsgIcon::Warning});
      blnWordTableCurrent = false;
      return false;
    }
    table_.lngTotalWords = scanner.wordCount();
    EndScan(host);

    if (blnStopRequested) {
      if (host.Settings().chkShowWordsAsFound) {
        host.AppendOutputText(kCrLf);
        host.AppendOutputText(kCrLf);
      } else {
        host.SetOutputText(Text());
      }
      const int32_t n = table_.intNumWords();
      Text stopped(kStoppedWith);
      stopped += FormatWithLeadingSpace(n);
      stopped += kStoppedWord;
      if (n != 1) stopped += kStoppedPlural;
      stopped += kStoppedIdentified;
      host.AppendOutputText(stopped);
      host.MoveOutputCaretToEnd();
      host.SetWordCountLabels(TextView(), TextView());
      return false;
    }

    table_.ApplyMinFrequency(options.minFrequency);
    table_.MergeCaseVariants();
    table_.NormaliseKeyValues();
    host.SetWordCountLabels(kWordsSatisfyingCaption, NumberText(table_.intNumWords()));
    blnWordTableCurrent = true;
    tableOptions_ = options;
    tableDocument_ = document;
    return true;
  } catch (const std::bad_alloc&) {
    reader.Close();
    if (running_) EndScan(host);
    host.ShowMessage(
        Message{Text(kErrorCaption), FileError::FromErrno(ENOMEM).description, MsgIcon::Warning});
  } catch (const std::exception& e) {
    reader.Close();
    if (running_) EndScan(host);
    host.ShowMessage(Message{Text(kErrorCaption), FromUtf8(e.what()), MsgIcon::Warning});
  }
  blnWordTableCurrent = false;
  return false;
}

void Analysis::BuildKeywordTag(RunHost& host) {
  try {
    const AnalysisOptions options = ResolveOptions(host.Settings());
    // The phrases are shown as the tag takes them: trimmed.
    host.SetBeginWithText(options.tag.beginWith);
    host.SetOutputText(BuildKeywordTagText(
        table_, options, blnIsUTF8File ? TagEncoding::Utf8 : TagEncoding::SingleByte));
  } catch (const std::exception& e) {
    host.ShowMessage(Message{Text(kErrorCaption), FromUtf8(e.what()), MsgIcon::Warning});
  }
  host.RepaintOutput();
}

void Analysis::WriteWordList(RunHost& host) {
  try {
    host.SetOutputText(WordListText(table_, ResolveOptions(host.Settings()).scan));
  } catch (const std::exception& e) {
    host.ShowMessage(Message{Text(kErrorCaption), FromUtf8(e.what()), MsgIcon::Warning});
  }
  host.MoveOutputCaretToStart();
  host.RepaintOutput();
}

Text GetMetaTag(TextView outputText) {
  Text text = TrimSpaces(outputText);
  const size_t at = text.find(kNumberOfKeywordsMarker);
  if (at != Text::npos) text = TrimSpaces(TextView(text).substr(0, at));
  return TrimControlAndSpaces(text);
}

}  // namespace tw
