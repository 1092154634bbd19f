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

// Result codes of GetEncodingKind and IsTextFile.
namespace textfile {
inline constexpr int32_t kCannotRead = -9;
inline constexpr int32_t kSampleReadFailed = -6;
inline constexpr int32_t kEmptyName = -5;
inline constexpr int32_t kOneToFourBytes = -4;
inline constexpr int32_t kAccessDenied = -3;
inline constexpr int32_t kZeroBytes = -2;
inline constexpr int32_t kNoSuchFile = -1;
inline constexpr int32_t kUndecided = 0;  // GetEncodingKind: nothing decided
inline constexpr int32_t kNotText = 0;    // IsTextFile: too many control characters
inline constexpr int32_t kUtf16Le = 1;
inline constexpr int32_t kUtf16Be = 2;
inline constexpr int32_t kUtf8 = 3;
inline constexpr int32_t kUtf32Be = 5;
inline constexpr int32_t kRtf = 6;
inline constexpr int32_t kCrLfOrNone = 1;
inline constexpr int32_t kLfOnly = 2;
inline constexpr int32_t kCrOnly = 3;
inline constexpr int32_t kWideText = 7;

// Whether an IsTextFile result is a text the program reads.
inline constexpr bool IsReadableText(int32_t code) {
  return code == kCrLfOrNone || code == kLfOnly || code == kCrOnly;
}
}  // namespace textfile

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

// Codes: -9, -5, -4, -3, -2, -1, 0, 1, 2, 3, 5, 6 (see the file-check tables).
int32_t GetEncodingKind(TextView name, bool contentCheck);
// Codes: -9, -6, -5, -4, -3, -2, -1, 0, 1, 2, 3, 6, 7. Sets isUtf8 for UTF-8 files, else leaves it.
int32_t IsTextFile(TextView name, int32_t sampleSize, double limitPercent, bool& isUtf8,
                   bool contentCheck);
// The same checks on a document that `document` has opened (its name gives the extension),
// reading no byte that the document's command does not read anyway.
int32_t GetEncodingKind(DocumentReader& document, TextView name, bool contentCheck);
int32_t IsTextFile(DocumentReader& document, TextView name, int32_t sampleSize, double limitPercent,
                   bool& isUtf8, bool contentCheck);
// The code of a document that cannot be opened: -1 when there is none, -3 for the
// permission-denied error, -9 for any other.
int32_t OpenFailureKind(const FileError& error);
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
