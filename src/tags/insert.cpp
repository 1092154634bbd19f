// The tag insertion: the checks of the insert command, the search for an existing one-line
// keywords meta tag, and the rewriting of the document through a work file.
#include "tags/insert.hpp"

#include <cerrno>
#include <string>
#include <system_error>

#include "io/fileproc.hpp"
#include "io/istextfile.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"

namespace tw {

namespace {

constexpr TextView kQuotedKeywords = u"\"keywords\"";
constexpr TextView kMetaOpen = u"<meta ";
constexpr TextView kTagClose = u">";
constexpr TextView kHeadEnd = u"</head>";
constexpr TextView kNumberOfKeywordsMarker = u"Number of keywords in Meta Tag";
constexpr TextView kBackupInfix = u"bak";
constexpr TextView kDot = u".";
// The work file and the temporary name of the swap are formed from the document path.
constexpr TextView kWorkSuffix = u".tagwright-work";
constexpr TextView kSwapSuffix = u"x";
constexpr int32_t kMaxNameAttempts = 1000;

constexpr TextView kOriginalKeptAs = u"The original file is kept as";
constexpr TextView kNewKeptAs = u"The new file is kept as";
constexpr TextView kWorkFileLeft = u"The work file could not be deleted:";

Message ErrorMessage(const FileError& error) {
  Text text = error.description;
  if (text.empty()) text = u"Error " + NumberText(error.number);
  return Message{Text(kInsertErrorCaption), std::move(text), MsgIcon::Warning};
}

void AppendNote(Message& message, TextView note, TextView path) {
  message.text += kCrLf;
  message.text += note;
  message.text += kCrLf;
  message.text += path;
}

// The position of the last "." of the path's file name part (1-based), 0 when none.
int32_t LastDotOfFileName(TextView path) {
  const size_t dot = path.find_last_of(kDot);
  if (dot == TextView::npos) return 0;
  const size_t separator = path.find_last_of(u"/\\");
  if (separator != TextView::npos && separator > dot) return 0;
  return static_cast<int32_t>(dot) + 1;
}

// The first of path + suffix, path + suffix + "1", ... that names no file yet.
Text FreeName(TextView path, TextView suffix) {
  for (int32_t attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    Text name = Text(path) + Text(suffix);
    if (attempt > 0) name += NumberText(attempt);
    std::error_code ec;
    if (!std::filesystem::exists(ToPath(name), ec) && !ec) return name;
  }
  return Text();
}

class Rewriter {
 public:
  Rewriter(LineWriter& writer, Text tagLine) : writer_(writer), tagLine_(std::move(tagLine)) {}

  enum class Result { Done, ExistingTagOpen, ReadFailed, WriteFailed };

  Result Run(LineReader& reader) {
    Text line;
    bool first = true;
    while (reader.ReadLine(line)) {
      if (first) {
        first = false;
        // The byte-order mark stays the first bytes of the file, apart from the line.
        if (TextView(line).starts_with(kUtf8ByteOrderMark)) {
          prefix_ = Text(kUtf8ByteOrderMark);
          line.erase(0, kUtf8ByteOrderMark.size());
        }
      }
      if (!Process(std::move(line)))
        return writeFailed_ ? Result::WriteFailed : Result::ExistingTagOpen;
    }
    if (reader.failed()) return Result::ReadFailed;
    return Result::Done;
  }

  bool tagWritten() const { return tagWritten_; }

 private:
  // False when the insertion must stop (a keywords tag that does not close, or a write error).
  bool Process(Text line) {
    if (headDone_) return Write(line);
    Text lowered = ToLowerGeneral(line);
    int32_t tagEnd = 0;
    const int32_t tagStart = FindKeywordsMetaTag(lowered, tagEnd);
    if (tagStart > 0) {
      if (tagEnd == 0) return false;
      if (tagStart > 1 && !Write(TextView(line).substr(0, static_cast<size_t>(tagStart - 1)))) {
        return false;
      }
      if (!WriteTag()) return false;
      line = TrimSpaces(TextView(line).substr(static_cast<size_t>(tagEnd)));
      lowered = ToLowerGeneral(line);
    }
    const int32_t e = InStr(1, lowered, kHeadEnd);
    if (e > 0) {
      const size_t before = static_cast<size_t>(e - 1);
      if (e > 1 && !Write(TextView(line).substr(0, before))) return false;
      if (!tagWritten_ && !WriteTag()) return false;
      if (!Write(TextView(line).substr(before, kHeadEnd.size()))) return false;
      const Text rest = TrimSpaces(TextView(line).substr(before + kHeadEnd.size()));
      if (!rest.empty() && !Write(rest)) return false;
      headDone_ = true;
      return true;
    }
    if (!line.empty()) return Write(line);
    return true;
  }

  bool WriteTag() {
    tagWritten_ = true;
    return Write(tagLine_);
  }

  bool Write(TextView line) {
    bool ok;
    if (!prefix_.empty()) {
      ok = writer_.WriteLine(prefix_ + Text(line));
      prefix_.clear();
    } else {
      ok = writer_.WriteLine(line);
    }
    if (!ok) writeFailed_ = true;
    return ok;
  }

  LineWriter& writer_;
  Text tagLine_;
  Text prefix_;
  bool headDone_ = false;
  bool tagWritten_ = false;
  bool writeFailed_ = false;
};

// Deletes the work file after a refusal or failure; notes in `message` when that fails.
void DiscardWorkFile(InsertFileOps& ops, const Text& workName, Message& message) {
  const FileError error = ops.Remove(ToPath(workName));
  if (error.failed()) AppendNote(message, kWorkFileLeft, workName);
}

// Gives the document permissions of its own to the file that takes its place.
void CopyPermissions(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code ec;
  const auto status = std::filesystem::status(from, ec);
  if (!ec) std::filesystem::permissions(to, status.permissions(), ec);
}

// Puts the work file in the document's place. The document first moves aside to a free name,
// so that it is never deleted before the new one stands; then it becomes the backup, or is
// deleted. A failure puts the former document back under its own name and deletes the work
// file; when even that fails, the message says where each file is.
std::optional<Message> SwapFiles(InsertFileOps& ops, const Text& documentName, const Text& workName,
                                 const Text& backupName, bool withBackup) {
  const auto document = ToPath(documentName);
  const auto work = ToPath(workName);
  const Text swapName = FreeName(documentName, kSwapSuffix);
  if (swapName.empty()) {
    Message message = ErrorMessage(FileError::FromErrno(EEXIST));
    DiscardWorkFile(ops, workName, message);
    return message;
  }
  const auto swap = ToPath(swapName);

  if (const FileError error = ops.Rename(document, swap); error.failed()) {
    Message message = ErrorMessage(error);
    DiscardWorkFile(ops, workName, message);
    return message;
  }
  if (const FileError error = ops.Rename(work, document); error.failed()) {
    Message message = ErrorMessage(error);
    if (ops.Rename(swap, document).failed()) {
      AppendNote(message, kOriginalKeptAs, swapName);
      AppendNote(message, kNewKeptAs, workName);
    } else {
      DiscardWorkFile(ops, workName, message);
    }
    return message;
  }
  const FileError error = withBackup ? ops.Rename(swap, ToPath(backupName)) : ops.Remove(swap);
  if (error.failed()) {
    // The former document takes its place again, replacing the new one.
    Message message = ErrorMessage(error);
    if (ops.Rename(swap, document).failed()) AppendNote(message, kOriginalKeptAs, swapName);
    return message;
  }
  return std::nullopt;
}

}  // namespace

int32_t FindKeywordsMetaTag(TextView loweredLine, int32_t& tagEnd) {
  tagEnd = 0;
  const int32_t k = InStr(1, loweredLine, kQuotedKeywords);
  if (k == 0) return 0;
  const size_t start = loweredLine.substr(0, static_cast<size_t>(k)).rfind(kMetaOpen);
  if (start == TextView::npos) return 0;
  tagEnd = InStr(k + 1, loweredLine, kTagClose);
  return static_cast<int32_t>(start) + 1;
}

Text BackupFileName(TextView documentPath) {
  const int32_t d = LastDotOfFileName(documentPath);
  if (d == 0) return Text();
  Text backup(documentPath.substr(0, static_cast<size_t>(d)));
  backup += kBackupInfix;
  backup += documentPath.substr(static_cast<size_t>(d - 1));
  return backup;
}

std::optional<Message> CheckInsertPreconditions(Text& inputFile, Text& outputText,
                                                bool wordTableCurrent, int32_t numWords,
                                                TextView caption, const ProgramText& texts) {
  inputFile = TrimSpaces(inputFile);
  if (inputFile.empty()) {
    return Message{Text(caption), texts.GetProgramText(catalogue::kNoInputFileText),
                   MsgIcon::Warning};
  }
  outputText = TrimSpaces(outputText);
  if (outputText.empty()) {
    return Message{Text(caption), Text(kNothingToInsert), MsgIcon::Warning};
  }
  if (!wordTableCurrent || numWords == 0) {
    return Message{Text(caption), Text(kTagNotGenerated), MsgIcon::Information};
  }
  if (!DoesFileExist(inputFile)) {
    return Message{Text(caption), Text(kInsertFileNotFound), MsgIcon::Warning};
  }
  return std::nullopt;
}

bool OutputHoldsKeywordTag(TextView outputText) {
  const Text lowered = ToLowerGeneral(outputText);
  return InStr(1, lowered, kMetaOpen) > 0 && InStr(1, lowered, kQuotedKeywords) > 0 &&
         InStr(1, lowered, ToLowerGeneral(kNumberOfKeywordsMarker)) > 0;
}

InsertOutcome InsertMetaTag(const InsertRequest& request) {
  RealInsertFileOps ops;
  return InsertMetaTag(request, ops);
}

InsertOutcome InsertMetaTag(const InsertRequest& request, InsertFileOps& ops) {
  InsertOutcome outcome;
  const Text& documentName = request.documentPath;
  const Text backupName = BackupFileName(documentName);
  if (backupName.empty()) {
    outcome.messages.push_back(
        Message{Text(kInvalidInputCaption), Text(kInvalidInputFileSpec), MsgIcon::Warning});
    return outcome;
  }
  const auto document = ToPath(documentName);

  if (const FileError error = ops.CheckWritable(document); error.failed()) {
    outcome.messages.push_back(ErrorMessage(error));
    return outcome;
  }

  bool isUtf8 = false;
  if (request.isUtf8.has_value()) {
    isUtf8 = *request.isUtf8;
  } else {
    IsTextFile(documentName, kTextSampleSize, kNonTextLimitPercent, isUtf8, true);
  }
  const LineEnds ends = DetectLineEnds(document);

  LineReader reader;
  FileError error;
  if (!reader.Open(document, ends, error)) {
    outcome.messages.push_back(ErrorMessage(error));
    return outcome;
  }

  const Text workName = FreeName(documentName, kWorkSuffix);
  LineWriter writer;
  error = workName.empty() ? FileError::FromErrno(EEXIST)
                           : ops.CreateNew(ToPath(workName), ends, writer);
  if (error.failed()) {
    reader.Close();
    outcome.messages.push_back(ErrorMessage(error));
    return outcome;
  }
  const auto work = ToPath(workName);

  Rewriter rewriter(writer, isUtf8 ? EncodeUtf8Latin(request.tagText) : request.tagText);
  const Rewriter::Result result = rewriter.Run(reader);
  const FileError readError = reader.error();
  reader.Close();

  // Refusals and failures before the swap: the document is untouched, the work file goes.
  auto discard = [&](Message message) {
    DiscardWorkFile(ops, workName, message);
    outcome.messages.push_back(std::move(message));
    return outcome;
  };
  auto refuse = [&](Message message) {
    writer.Close(false);
    return discard(std::move(message));
  };
  switch (result) {
    case Rewriter::Result::ExistingTagOpen:
      return refuse(
          Message{Text(kNotInsertedCaption), Text(kExistingTagNotOneLine), MsgIcon::Warning});
    case Rewriter::Result::ReadFailed:
      return refuse(ErrorMessage(readError));
    case Rewriter::Result::WriteFailed:
      return refuse(ErrorMessage(writer.error()));
    case Rewriter::Result::Done:
      break;
  }
  if (!rewriter.tagWritten()) {
    return refuse(Message{Text(kNotInsertedCaption), Text(kNoHeadEndNoTag), MsgIcon::Warning});
  }
  if (const FileError flushError = ops.FlushAndClose(writer); flushError.failed()) {
    return discard(ErrorMessage(flushError));
  }
  CopyPermissions(document, work);

  if (auto failure = SwapFiles(ops, documentName, workName, backupName, request.withBackup)) {
    outcome.messages.push_back(std::move(*failure));
    return outcome;
  }

  outcome.inserted = true;
  outcome.messages.push_back(
      Message{request.caption, Text(kInsertedSuccessfully), MsgIcon::Information});
  if (request.withBackup) {
    outcome.messages.push_back(Message{
        request.caption, Text(kBackedUpAs) + Text(kCrLf) + backupName, MsgIcon::Information});
  }
  return outcome;
}

}  // namespace tw
