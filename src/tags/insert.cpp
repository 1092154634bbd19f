// The tag insertion: the checks of the insert command, the search for an existing one-line
// keywords meta tag, the rewriting of the document's bytes, and the swap through a work file.
#include "tags/insert.hpp"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "io/istextfile.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"
#include "text/textsearch.hpp"

namespace tw {

namespace {

namespace fs = std::filesystem;

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

constexpr std::string_view kPhpOpen = "<?";
constexpr std::string_view kPhpClose = "?>";
constexpr std::string_view kXmlName = "xml";

// "Error while renaming a.html to a.bak.html: Is a directory".
Message ErrorMessage(TextView doing, const FileError& error) {
  Text text = u"Error while ";
  text += doing;
  text += u": ";
  text += error.description.empty() ? u"error " + NumberText(error.number) : error.description;
  return Message{Text(kInsertErrorCaption), std::move(text), MsgIcon::Warning};
}

Text Doing(TextView verb, TextView file) {
  return Text(verb) + u" " + Text(file);
}

Text Renaming(TextView from, TextView to) {
  return u"renaming " + Text(from) + u" to " + Text(to);
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
    if (!fs::exists(ToPath(name), ec) && !ec) return name;
  }
  return Text();
}

bool StartsWithNoCase(std::string_view bytes, size_t at, std::string_view lowerWord) {
  if (at + lowerWord.size() > bytes.size()) return false;
  for (size_t k = 0; k < lowerWord.size(); ++k) {
    if (FoldAsciiCase(static_cast<unsigned char>(bytes[at + k])) !=
        static_cast<unsigned char>(lowerWord[k])) {
      return false;
    }
  }
  return true;
}

// Whether a PHP block is open at a place of the document: reading from its start, a block
// opens at "<?" not followed by "xml" (in any case) and closes at the next "?>". Asked for
// places in increasing order, it reads every byte once.
class PhpBlocks {
 public:
  explicit PhpBlocks(std::string_view document) : document_(document) {}

  bool OpenAt(size_t place) {
    for (;;) {
      if (!open_) {
        const size_t at = document_.find(kPhpOpen, scanned_);
        if (at == std::string_view::npos || at >= place) return false;
        scanned_ = at + kPhpOpen.size();
        open_ = !StartsWithNoCase(document_, scanned_, kXmlName);
      } else {
        const size_t at = document_.find(kPhpClose, scanned_);
        // Open to the end of the document, or closed only at or after the place.
        if (at == std::string_view::npos || at >= place) return true;
        scanned_ = at + kPhpClose.size();
        open_ = false;
      }
    }
  }

 private:
  std::string_view document_;
  size_t scanned_ = 0;  // everything before this has been read
  bool open_ = false;
};

class Rewriter {
 public:
  Rewriter(std::string_view document, std::string_view tagBytes)
      : document_(document), tagBytes_(tagBytes), php_(document) {
    out_.reserve(document.size() + tagBytes.size() + kSlack);
  }

  Rewrite Run() {
    std::string_view body = document_;
    // The byte-order mark stays the first bytes of the file, apart from the first line.
    if (body.starts_with(kUtf8ByteOrderMarkBytes)) {
      bom_ = body.substr(0, kUtf8ByteOrderMarkBytes.size());
      body.remove_prefix(bom_.size());
    }
    const LineEnds ends = LineEndsOf(document_);
    lineEnd_ = ends == LineEnds::LfOnly ? std::string_view("\n") : std::string_view("\r\n");
    RawLineSplitter lines(body, ends);
    RawLine line;
    while (lines.Next(line)) {
      if (headDone_) {
        Keep(line);
        continue;
      }
      const Rewrite::Outcome outcome = Process(line, ends);
      if (outcome != Rewrite::Outcome::Done) return Rewrite{outcome, std::string()};
    }
    if (!tagWritten_) return Rewrite{Rewrite::Outcome::NoPlaceForTag, std::string()};
    return Rewrite{Rewrite::Outcome::Done, std::move(out_)};
  }

 private:
  static constexpr size_t kSlack = 64;

  size_t OffsetOf(std::string_view part) const {
    return static_cast<size_t>(part.data() - document_.data());
  }

  void Keep(const RawLine& line) {
    if (!bom_.empty()) {
      out_.append(bom_);
      bom_ = std::string_view();
    }
    out_.append(line.content);
    out_.append(line.ending);
  }

  Rewrite::Outcome Process(RawLine line, LineEnds ends) {
    // In an LF-only document a CR right before the LF belongs to the line end of a line that
    // is rewritten, which then keeps its CR LF.
    RawLine changed = line;
    if (ends == LineEnds::LfOnly && changed.content.ends_with('\r') && changed.ending == "\n") {
      changed.content.remove_suffix(1);
      changed.ending = document_.substr(OffsetOf(changed.content) + changed.content.size(), 2);
    }
    std::string_view content = changed.content;
    Text lowered = ToLowerGeneral(DecodeCp1252(content));
    std::vector<std::string_view> pieces;
    int32_t tagEnd = 0;
    const int32_t tagStart = FindKeywordsMetaTag(lowered, tagEnd);
    if (tagStart > 0) {
      if (tagEnd == 0) return Rewrite::Outcome::ExistingTagOpen;
      if (php_.OpenAt(OffsetOf(content) + static_cast<size_t>(tagStart - 1))) {
        return Rewrite::Outcome::TagInPhpCode;
      }
      if (tagStart > 1) pieces.push_back(content.substr(0, static_cast<size_t>(tagStart - 1)));
      pieces.push_back(tagBytes_);
      tagWritten_ = true;
      content = TrimSpaceBytes(content.substr(static_cast<size_t>(tagEnd)));
      lowered = ToLowerGeneral(DecodeCp1252(content));
    }
    const int32_t e = InStr(1, lowered, kHeadEnd);
    if (e > 0) {
      const auto before = static_cast<size_t>(e - 1);
      if (php_.OpenAt(OffsetOf(content) + before)) return Rewrite::Outcome::TagInPhpCode;
      if (e > 1) pieces.push_back(content.substr(0, before));
      if (!tagWritten_) {
        pieces.push_back(tagBytes_);
        tagWritten_ = true;
      }
      pieces.push_back(content.substr(before, kHeadEnd.size()));
      const std::string_view rest = TrimSpaceBytes(content.substr(before + kHeadEnd.size()));
      if (!rest.empty()) pieces.push_back(rest);
      headDone_ = true;
    } else if (tagStart > 0) {
      if (!content.empty()) pieces.push_back(content);
    } else {
      // Not a line of the insertion's: its bytes stay, empty lines included.
      Keep(line);
      return Rewrite::Outcome::Done;
    }
    WritePieces(pieces, changed.ending);
    return Rewrite::Outcome::Done;
  }

  // Each piece on a line of its own; the last ends as the line ended, the others with that
  // line end too (the document's own when the line had none).
  void WritePieces(const std::vector<std::string_view>& pieces, std::string_view ending) {
    const std::string_view between = ending.empty() ? lineEnd_ : ending;
    for (size_t k = 0; k < pieces.size(); ++k) {
      if (!bom_.empty()) {
        out_.append(bom_);
        bom_ = std::string_view();
      }
      out_.append(pieces[k]);
      out_.append(k + 1 < pieces.size() ? between : ending);
    }
  }

  std::string_view document_;
  std::string_view tagBytes_;
  std::string_view bom_;
  std::string_view lineEnd_;
  PhpBlocks php_;
  std::string out_;
  bool headDone_ = false;
  bool tagWritten_ = false;
};

// Deletes the work file after a refusal or failure; notes in `message` when that fails.
void DiscardWorkFile(FileOps& ops, const Text& workName, Message& message) {
  if (ops.Remove(ToPath(workName)).failed()) AppendNote(message, kWorkFileLeft, workName);
}

// Puts the work file in the document's place. The document first moves aside to a free name,
// so that it is never deleted before the new one stands; then it becomes the backup, or is
// deleted. A failure puts the former document back under its own name and deletes the work
// file; when even that fails, the message says where each file is.
std::optional<Message> SwapFiles(FileOps& ops, const Text& documentName, const Text& workName,
                                 const Text& backupName, bool withBackup) {
  const auto document = ToPath(documentName);
  const auto work = ToPath(workName);
  const Text swapName = FreeName(documentName, kSwapSuffix);
  if (swapName.empty()) {
    Message message = ErrorMessage(Renaming(documentName, documentName + Text(kSwapSuffix)),
                                   FileError::FromErrno(EEXIST));
    DiscardWorkFile(ops, workName, message);
    return message;
  }
  const auto swap = ToPath(swapName);

  if (const Status error = ops.Rename(document, swap); error.failed()) {
    Message message = ErrorMessage(Renaming(documentName, swapName), error);
    DiscardWorkFile(ops, workName, message);
    return message;
  }
  if (const Status error = ops.Rename(work, document); error.failed()) {
    Message message = ErrorMessage(Renaming(workName, documentName), error);
    if (ops.Rename(swap, document).failed()) {
      AppendNote(message, kOriginalKeptAs, swapName);
      AppendNote(message, kNewKeptAs, workName);
    } else {
      DiscardWorkFile(ops, workName, message);
    }
    return message;
  }
  const Status error = withBackup ? ops.Rename(swap, ToPath(backupName)) : ops.Remove(swap);
  if (error.failed()) {
    // The former document takes its place again, replacing the new one.
    Message message = ErrorMessage(
        withBackup ? Renaming(swapName, backupName) : Doing(u"deleting", swapName), error);
    if (ops.Rename(swap, document).failed()) AppendNote(message, kOriginalKeptAs, swapName);
    return message;
  }
  return std::nullopt;
}

// Whether the file at `path` is still, byte for byte, what `document` read.
Result<bool> StillAsRead(const fs::path& path, const DocumentReader& document, FileOps& ops) {
  DocumentReader now(ops);
  if (Status error = now.Open(path); error.failed()) return error;
  if (now.identity() != document.identity()) return false;
  if (Status error = now.FillAll(); error.failed()) return error;
  return now.Hash() == document.Hash();
}

// The path the document's bytes live at: a symbolic link is followed to its target.
Text TargetOf(const Text& documentPath) {
  std::error_code ec;
  const fs::path target = fs::canonical(ToPath(documentPath), ec);
  return ec ? documentPath : FromPath(target);
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

Rewrite RewriteWithTag(std::string_view document, std::string_view tagBytes) {
  return Rewriter(document, tagBytes).Run();
}

std::string TagBytes(TextView tag, bool utf8Document) {
  // The UTF-8 bytes of the tag, read through the code page, are what EncodeUtf8Latin gives.
  return EncodeForDocument(tag, utf8Document);
}

InsertOutcome InsertMetaTag(const InsertRequest& request, FileOps& ops) {
  DocumentReader document(ops);
  return InsertMetaTag(request, document, ops);
}

InsertOutcome InsertMetaTag(const InsertRequest& request, DocumentReader& document, FileOps& ops) {
  InsertOutcome outcome;
  auto fail = [&](Message message) {
    outcome.messages.push_back(std::move(message));
    return outcome;
  };
  const Text documentName = TargetOf(request.documentPath);
  const Text backupName = BackupFileName(documentName);
  if (backupName.empty()) {
    return fail(Message{Text(kInvalidInputCaption), Text(kInvalidInputFileSpec), MsgIcon::Warning});
  }
  const auto path = ToPath(documentName);
  if (const Status error = ops.CheckWritable(path); error.failed()) {
    return fail(ErrorMessage(Doing(u"opening", documentName) + u" for writing", error));
  }

  // The document's bytes, read once: by the caller's command, or here.
  if (!document.IsOpen() && document.heldEnd() == 0) {
    if (const Status error = document.Open(path); error.failed()) {
      return fail(ErrorMessage(Doing(u"opening", documentName), error));
    }
  }
  if (const Status error = document.FillAll(); error.failed() || document.heldStart() != 0) {
    return fail(ErrorMessage(Doing(u"reading", documentName),
                             error.failed() ? error : FileError::FromErrno(EIO)));
  }
  bool isUtf8 = false;
  if (request.isUtf8.has_value()) {
    isUtf8 = *request.isUtf8;
  } else {
    IsTextFile(document, documentName, kTextSampleSize, kNonTextLimitPercent, isUtf8, true);
  }

  const Rewrite rewrite = RewriteWithTag(document.Held(), TagBytes(request.tagText, isUtf8));
  switch (rewrite.outcome) {
    case Rewrite::Outcome::ExistingTagOpen:
      return fail(
          Message{Text(kNotInsertedCaption), Text(kExistingTagNotOneLine), MsgIcon::Warning});
    case Rewrite::Outcome::TagInPhpCode:
      return fail(Message{Text(kNotInsertedCaption), Text(kTagInPhpCode), MsgIcon::Warning});
    case Rewrite::Outcome::NoPlaceForTag:
      return fail(Message{Text(kNotInsertedCaption), Text(kNoHeadEndNoTag), MsgIcon::Warning});
    case Rewrite::Outcome::Done:
      break;
  }

  // The work file, beside the document; it keeps the document's permissions and, where the
  // system lets us, its owner and group.
  const Text workName = FreeName(documentName, kWorkSuffix);
  if (workName.empty()) {
    return fail(ErrorMessage(Doing(u"creating", documentName + Text(kWorkSuffix)),
                             FileError::FromErrno(EEXIST)));
  }
  const auto work = ToPath(workName);
  Result<UniqueFile> created = ops.CreateNew(work);
  if (!created) return fail(ErrorMessage(Doing(u"creating", workName), created.error()));
  auto discard = [&](Message message) {
    DiscardWorkFile(ops, workName, message);
    return fail(std::move(message));
  };
  if (const Status error = ops.Write(created->get(), rewrite.bytes); error.failed()) {
    UniqueFile closing = std::move(*created);
    return discard(ErrorMessage(Doing(u"writing", workName), error));
  }
  const FileStat& was = document.status();
  if (const Status error = ops.CopyOwner(created->get(), was);
      error.failed() && !error.permissionDenied) {
    UniqueFile closing = std::move(*created);
    return discard(ErrorMessage(Doing(u"giving", workName) + u" its owner", error));
  }
  if (const Status error = ops.FlushAndClose(*created); error.failed()) {
    return discard(ErrorMessage(Doing(u"flushing", workName) + u" to the disk", error));
  }
  {
    std::error_code ec;
    const auto permissions = fs::status(path, ec).permissions();
    if (!ec) fs::permissions(work, permissions, ec);
  }

  // Nothing is swapped in over a document that another program has changed meanwhile.
  const Result<bool> unchanged = StillAsRead(path, document, ops);
  if (!unchanged) return discard(ErrorMessage(Doing(u"reading", documentName), unchanged.error()));
  if (!*unchanged) {
    return discard(Message{request.caption, Text(kChangedMeanwhile), MsgIcon::Warning});
  }

  if (auto failure = SwapFiles(ops, documentName, workName, backupName, request.withBackup)) {
    return fail(std::move(*failure));
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
