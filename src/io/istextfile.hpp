// Input file checks: is the name usable, is the file text, how is it encoded, how do its
// lines end. No function here shows anything; ValidateInputFile returns what to show.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "catalogue/language2.hpp"
#include "io/fileproc.hpp"
#include "text/message.hpp"
#include "text/text.hpp"

namespace tw {

inline constexpr int32_t kTextSampleSize = 16384;
inline constexpr double kNonTextLimitPercent = 1.0;
inline constexpr int32_t kCharsetSearchLines = 10;

// What the first stage of the check finds (GetEncodingKind); the values are its result codes.
enum class EncodingKind : int32_t {
  CannotRead = -9,
  EmptyName = -5,
  OneToFourBytes = -4,
  AccessDenied = -3,
  ZeroBytes = -2,
  NoSuchFile = -1,
  Undecided = 0,  // no byte-order mark, signature or charset declaration
  Utf16Le = 1,
  Utf16Be = 2,
  Utf8 = 3,
  Utf32Be = 5,
  Rtf = 6,
};

// The verdict of IsTextFile, which the run turns into its messages; the values are its
// result codes.
enum class TextFileKind : int32_t {
  CannotRead = -9,
  SampleReadFailed = -6,
  EmptyName = -5,
  OneToFourBytes = -4,
  AccessDenied = -3,
  ZeroBytes = -2,
  NoSuchFile = -1,
  NotText = 0,  // too many control characters
  CrLfOrNone = 1,
  LfOnly = 2,
  CrOnly = 3,
  Rtf = 6,
  WideText = 7,  // UTF-16 or UTF-32 text, which the program does not read
};

constexpr int32_t Code(EncodingKind kind) {
  return static_cast<int32_t>(kind);
}
constexpr int32_t Code(TextFileKind kind) {
  return static_cast<int32_t>(kind);
}

// Whether an IsTextFile verdict is a text the program reads.
constexpr bool IsReadableText(TextFileKind kind) {
  return kind == TextFileKind::CrLfOrNone || kind == TextFileKind::LfOnly ||
         kind == TextFileKind::CrOnly;
}

struct InputFileVerdict {
  bool usable = false;
  // After start-up: the message to show (none when usable).
  std::optional<Message> message;
  // During start-up: the input box is to be emptied.
  bool clearInputBox = false;
  // During start-up, for a missing file whose folder exists: the folder to make current.
  std::optional<Text> currentFolder;
};

InputFileVerdict ValidateInputFile(TextView path, bool startupCompleted, const ProgramText& texts);

EncodingKind GetEncodingKind(TextView name, bool contentCheck);
// Sets isUtf8 for UTF-8 files, else leaves it.
TextFileKind IsTextFile(TextView name, int32_t sampleSize, double limitPercent, bool& isUtf8,
                        bool contentCheck);
// The same checks on a document that `document` has opened (its name gives the extension),
// reading no byte that the document's command does not read anyway.
EncodingKind GetEncodingKind(DocumentReader& document, TextView name, bool contentCheck);
TextFileKind IsTextFile(DocumentReader& document, TextView name, int32_t sampleSize,
                        double limitPercent, bool& isUtf8, bool contentCheck);
// The verdict on a document that cannot be opened or read: no such file, access denied, or
// cannot be read for any other reason.
TextFileKind OpenFailureKind(const FileError& error);
bool HasTextExtension(TextView name);
Text GetFileExtension(TextView name, bool lower);
// The first `maximum` lines (all when 0), joined by CR LF; LF-only documents split at LF.
Text ReadTextLines(TextView name, bool skipEmpty, int32_t maximum, int32_t& errorNumber,
                   Text& errorDescription, int32_t& linesTaken);
bool DoesFileExist(TextView name);

// Takes the next piece of the joined lines; returns false when it needs no more.
using TextPieceSink = std::function<bool(std::string_view)>;
// The text that ReadTextLines gives, handed to `sink` piece by piece as raw bytes (one
// character per byte through the code page) instead of being held whole; reading stops as
// soon as the sink returns false. Returns false with `error` filled when the file cannot be
// opened or read; the sink may have had part of the text by then.
bool StreamTextLines(TextView name, bool skipEmpty, int32_t maximum, const TextPieceSink& sink,
                     FileError& error);
// The same over a document that `document` has opened, from its first byte; what is read
// stays held for the document's scan.
bool StreamTextLines(DocumentReader& document, bool skipEmpty, int32_t maximum,
                     const TextPieceSink& sink, FileError& error);
// Whether the first 10 non-empty lines hold "charset=" followed by utf-8, bare or in double
// or single quotes, in any mix of case. False when they cannot be read.
bool FirstLinesDeclareUtf8(TextView name);
bool FirstLinesDeclareUtf8(DocumentReader& document);

}  // namespace tw
