// Input file checks: the name, the kind, the encoding and the line ends of a document.
#include "io/istextfile.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <system_error>

#include "io/fileproc.hpp"
#include "io/osfile.hpp"
#include "text/chars.hpp"
#include "text/strproc.hpp"
#include "text/textsearch.hpp"

namespace tw {

namespace {

namespace fs = std::filesystem;

constexpr size_t kSignatureSize = 5;
constexpr std::string_view kRtfSignature = "{\\rtf";
constexpr unsigned char kXmlStart = '<';
constexpr int32_t kEarlyVerdictDivisor = 5;
constexpr double kEarlyVerdictFactor = 10.0;
constexpr double kPercent = 100.0;

constexpr unsigned char kTab = 9;
constexpr unsigned char kBackspace = 8;
constexpr unsigned char kFormFeed = 12;
constexpr unsigned char kLineFeed = 10;
constexpr unsigned char kCarriageReturn = 13;
constexpr unsigned char kFirstPrintable = 32;

constexpr std::array<TextView, 11> kTextExtensions = {
    u"prn", u"csv", u"xhtml", u"xhtm", u"shtml", u"shtm", u"html", u"htm", u"xml", u"log", u"txt"};

#ifdef _WIN32
constexpr TextView kFolderSeparators = u"\\/";
#else
constexpr TextView kFolderSeparators = u"/";
#endif

constexpr TextView kInvalidCaption = u"Invalid input";
constexpr TextView kInvalidText = u"Invalid input file specification";
constexpr TextView kHtmMark = u"htm";
constexpr TextView kPhpExtension = u"php";
constexpr TextView kXmlExtension = u"xml";

size_t LastSeparator(TextView name) {
  return name.find_last_of(kFolderSeparators);
}

// Looks for "charset=" followed by utf-8, bare or in one double or single quote, in the
// joined lines as they arrive.
class Utf8DeclarationSearch {
 public:
  // Whether more text is wanted.
  bool Feed(std::string_view piece) {
    if (checking_ && CheckName(piece, 0)) return false;
    // The key is found by its "=", rarer in a page than any of its letters, and the bytes
    // before it (some perhaps in the pieces before).
    for (size_t at = piece.find(kKeyEnd); at != std::string_view::npos;
         at = piece.find(kKeyEnd, at + 1)) {
      if (!KeyEndsAt(piece, at)) continue;
      // A new "charset=" cannot begin before the name check of the last one is over.
      checking_ = true;
      quoteAllowed_ = true;
      nameMatched_ = 0;
      if (CheckName(piece, at + 1)) return false;
    }
    KeepTail(piece);
    return true;
  }
  bool found() const { return found_; }

 private:
  // Whether the key's name, in any case, stands right before the "=" at `at` of the piece,
  // or begins in the pieces before it.
  bool KeyEndsAt(std::string_view piece, size_t at) const {
    const size_t n = kKeyName.size();
    if (at + tail_.size() < n) return false;
    for (size_t j = 1; j <= n; ++j) {
      const char c = at >= j ? piece[at - j] : tail_[tail_.size() - (j - at)];
      if (static_cast<char>(FoldAsciiCase(static_cast<unsigned char>(c))) != kKeyName[n - j]) {
        return false;
      }
    }
    return true;
  }
  // The last bytes of all the pieces so far, as many as the key's name holds.
  void KeepTail(std::string_view piece) {
    const size_t n = kKeyName.size();
    if (piece.size() >= n) {
      tail_.assign(piece.substr(piece.size() - n));
      return;
    }
    tail_.append(piece);
    if (tail_.size() > n) tail_.erase(0, tail_.size() - n);
  }

  // Goes on with the name check over the piece from `from`; true once the name is complete.
  // The key search looks at the same bytes on its own, as the check cannot hold a key.
  bool CheckName(std::string_view piece, size_t from) {
    for (size_t i = from; checking_ && i < piece.size(); ++i) {
      const char c = piece[i];
      if (quoteAllowed_) {
        quoteAllowed_ = false;
        if (c == kDoubleQuote || c == kSingleQuote) continue;
      }
      if (static_cast<char>(FoldAsciiCase(static_cast<unsigned char>(c))) !=
          kUtf8Name[nameMatched_]) {
        checking_ = false;
      } else if (++nameMatched_ == kUtf8Name.size()) {
        found_ = true;
        checking_ = false;
      }
    }
    return found_;
  }

  static constexpr char kDoubleQuote = '"';
  static constexpr char kSingleQuote = '\'';
  static constexpr std::string_view kUtf8Name = "utf-8";
  static constexpr std::string_view kKeyName = "charset";
  static constexpr char kKeyEnd = '=';
  std::string tail_;
  bool checking_ = false;
  bool quoteAllowed_ = false;
  size_t nameMatched_ = 0;
  bool found_ = false;
};

// UTF-8 lead bytes and the range each allows for the byte after it (which excludes overlong
// forms, surrogates and codes beyond U+10FFFF).
constexpr unsigned char kAsciiEnd = 0x80;
constexpr unsigned char kContinuationFirst = 0x80;
constexpr unsigned char kContinuationLast = 0xBF;
struct Utf8Lead {
  unsigned char first;
  unsigned char last;
  size_t length;
  unsigned char nextFirst;
  unsigned char nextLast;
};
constexpr Utf8Lead kUtf8Leads[] = {{0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF},
                                   {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F},
                                   {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},
                                   {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F}};

// Whether the bytes are UTF-8 holding at least one multi-byte sequence. A sequence cut off
// at the end is allowed when the bytes are only the start of a longer file.
bool IsUtf8ByContent(std::string_view bytes, bool cutOff) {
  bool multiByte = false;
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b < kAsciiEnd) {
      ++i;
      continue;
    }
    const Utf8Lead* lead = nullptr;
    for (const Utf8Lead& l : kUtf8Leads) {
      if (b >= l.first && b <= l.last) lead = &l;
    }
    if (lead == nullptr) return false;
    for (size_t k = 1; k < lead->length; ++k) {
      if (i + k >= bytes.size()) return cutOff && multiByte;
      const unsigned char c = static_cast<unsigned char>(bytes[i + k]);
      const unsigned char lo = k == 1 ? lead->nextFirst : kContinuationFirst;
      const unsigned char hi = k == 1 ? lead->nextLast : kContinuationLast;
      if (c < lo || c > hi) return false;
    }
    multiByte = true;
    i += lead->length;
  }
  return multiByte;
}

}  // namespace

bool DoesFileExist(TextView name) {
  if (name.empty()) return false;
  std::error_code ec;
  const fs::file_status status = fs::status(ToPath(name), ec);
  if (ec) return false;
  return fs::exists(status) && !fs::is_directory(status);
}

Text GetFileExtension(TextView name, bool lower) {
  const size_t sep = LastSeparator(name);
  const TextView last = sep == TextView::npos ? name : name.substr(sep + 1);
  const size_t dot = last.rfind(u'.');
  if (dot == TextView::npos) return Text();
  Text ext(last.substr(dot + 1));
  if (lower) ToLowerGeneralInPlace(ext);
  return ext;
}

bool HasTextExtension(TextView name) {
  const Text ext = GetFileExtension(name, true);
  return std::find(kTextExtensions.begin(), kTextExtensions.end(), TextView(ext)) !=
         kTextExtensions.end();
}

InputFileVerdict ValidateInputFile(TextView path, bool startupCompleted, const ProgramText& texts) {
  InputFileVerdict verdict;
  auto refuse = [&](Text text, Text caption, MsgIcon icon) {
    if (startupCompleted) {
      verdict.message = Message{std::move(caption), std::move(text), icon, MsgButtons::Ok};
    } else {
      verdict.clearInputBox = true;
    }
    return verdict;
  };

  const size_t dot = path.rfind(u'.');
  const size_t sep = LastSeparator(path);
  if (dot == TextView::npos || (sep != TextView::npos && dot < sep)) {
    return refuse(Text(kInvalidText), Text(kInvalidCaption), MsgIcon::Warning);
  }
  const Text ext = ToLowerGeneral(path.substr(dot + 1));
  if (ext.find(kHtmMark) == Text::npos && ext != kPhpExtension) {
    return refuse(texts.GetProgramText(catalogue::kNotHtmlOrPhpText),
                  texts.GetProgramText(catalogue::kNotHtmlOrPhpCaption), MsgIcon::None);
  }
  if (!DoesFileExist(path)) {
    if (!startupCompleted && sep != TextView::npos) {
      // The file dialog is to open in the folder where the file was.
      Text folder(path.substr(0, sep));
      if (folder.empty()) folder = Text(path.substr(0, 1));  // the root folder
      std::error_code ec;
      if (fs::is_directory(ToPath(folder), ec)) verdict.currentFolder = folder;
    }
    return refuse(texts.GetProgramText(catalogue::kFileNotFoundText),
                  texts.GetProgramText(catalogue::kFileNotFoundCaption), MsgIcon::Warning);
  }
  verdict.usable = true;
  return verdict;
}

TextFileKind OpenFailureKind(const FileError& error) {
  if (error.number == ENOENT) return TextFileKind::NoSuchFile;
  return error.permissionDenied ? TextFileKind::AccessDenied : TextFileKind::CannotRead;
}

// The first stage's code for a failure to open or read.
EncodingKind EncodingFailure(const FileError& error) {
  return static_cast<EncodingKind>(Code(OpenFailureKind(error)));
}

EncodingKind GetEncodingKind(TextView name, bool contentCheck) {
  if (name.empty()) return EncodingKind::EmptyName;
  if (!DoesFileExist(name)) return EncodingKind::NoSuchFile;
  DocumentReader document;
  if (const Status error = document.Open(ToPath(name)); error.failed()) {
    return EncodingFailure(error);
  }
  return GetEncodingKind(document, name, contentCheck);
}

EncodingKind GetEncodingKind(DocumentReader& document, TextView name, bool contentCheck) {
  const uint64_t length = document.size();
  if (length == 0) return EncodingKind::ZeroBytes;
  if (const Status error = document.Fill(kSignatureSize); error.failed()) {
    return EncodingFailure(error);
  }
  if (length < kSignatureSize) return EncodingKind::OneToFourBytes;
  const std::string_view head = document.HeldFrom(0);

  const auto b = [&](size_t i) { return static_cast<unsigned char>(head[i]); };
  const Text ext = GetFileExtension(name, true);
  if (head.substr(0, kSignatureSize) == kRtfSignature) return EncodingKind::Rtf;
  if (b(0) == 0xFF && b(1) == 0xFE) return EncodingKind::Utf16Le;
  if (b(0) == 0xFE && b(1) == 0xFF) return EncodingKind::Utf16Be;
  if (b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) return EncodingKind::Utf8;
  if (b(0) == 0x00 && b(1) == 0x00 && b(2) == 0xFE && b(3) == 0xFF) return EncodingKind::Utf32Be;
  if (ext == kXmlExtension) {
    if (b(0) == kXmlStart && b(1) != 0) return EncodingKind::Utf8;
    if (b(0) == kXmlStart && b(1) == 0) return EncodingKind::Utf16Le;
    if (b(0) == 0 && b(1) == kXmlStart) return EncodingKind::Utf16Be;
  }
  if (!contentCheck) return EncodingKind::Undecided;

  if (HasTextExtension(name) && FirstLinesDeclareUtf8(document)) return EncodingKind::Utf8;
  // Without any declaration, valid UTF-8 with multi-byte sequences in the sample is UTF-8.
  const auto sampleSize = static_cast<size_t>(kTextSampleSize);
  if (!document.Fill(sampleSize).failed()) {
    const std::string_view sample = document.HeldFrom(0).substr(0, sampleSize);
    if (IsUtf8ByContent(sample, sample.size() < length)) return EncodingKind::Utf8;
  }
  return EncodingKind::Undecided;
}

TextFileKind IsTextFile(TextView name, int32_t sampleSize, double limitPercent, bool& isUtf8,
                        bool contentCheck) {
  if (name.empty()) return TextFileKind::EmptyName;
  if (!DoesFileExist(name)) return TextFileKind::NoSuchFile;
  DocumentReader document;
  if (const Status error = document.Open(ToPath(name)); error.failed()) {
    return OpenFailureKind(error);
  }
  return IsTextFile(document, name, sampleSize, limitPercent, isUtf8, contentCheck);
}

TextFileKind IsTextFile(DocumentReader& document, TextView name, int32_t sampleSize,
                        double limitPercent, bool& isUtf8, bool contentCheck) {
  const EncodingKind kind = GetEncodingKind(document, name, contentCheck);
  // The failures and RTF keep their codes.
  if (Code(kind) < 0 || kind == EncodingKind::Rtf) return static_cast<TextFileKind>(Code(kind));
  if (kind == EncodingKind::Utf8) {
    isUtf8 = true;
    return TextFileKind::CrLfOrNone;
  }
  if (kind == EncodingKind::Utf16Le || kind == EncodingKind::Utf16Be ||
      kind == EncodingKind::Utf32Be) {
    return TextFileKind::WideText;
  }

  const size_t wanted = sampleSize > 0 ? static_cast<size_t>(sampleSize) : 0;
  if (const Status error = document.Fill(wanted); error.failed()) {
    return error.permissionDenied ? TextFileKind::AccessDenied : TextFileKind::SampleReadFailed;
  }
  const std::string_view sample = document.HeldFrom(0).substr(0, wanted);
  if (sample.empty() && wanted > 0) return TextFileKind::ZeroBytes;

  const double earlyFrom = static_cast<double>(sampleSize) / kEarlyVerdictDivisor;
  int64_t count = 0;
  bool crSeen = false;
  bool lfSeen = false;
  for (size_t k = 0; k < sample.size(); ++k) {
    const unsigned char c = static_cast<unsigned char>(sample[k]);
    if (c == kLineFeed) {
      lfSeen = true;
    } else if (c == kCarriageReturn) {
      crSeen = true;
    } else if (c < kFirstPrintable && c != kTab && c != kBackspace && c != kFormFeed) {
      ++count;
    }
    const double i = static_cast<double>(k + 1);
    if (i > earlyFrom &&
        static_cast<double>(count) * kPercent / i > kEarlyVerdictFactor * limitPercent) {
      return TextFileKind::NotText;
    }
  }
  if (count > 0 &&
      static_cast<double>(count) * kPercent / static_cast<double>(sample.size()) > limitPercent) {
    return TextFileKind::NotText;
  }
  if (crSeen && lfSeen) return TextFileKind::CrLfOrNone;
  if (crSeen) return TextFileKind::CrOnly;
  if (lfSeen) return TextFileKind::LfOnly;
  return TextFileKind::CrLfOrNone;
}

Text ReadTextLines(TextView name, bool skipEmpty, int32_t maximum, int32_t& errorNumber,
                   Text& errorDescription, int32_t& linesTaken) {
  errorNumber = 0;
  errorDescription.clear();
  linesTaken = 0;
  DocumentReader document;
  Status error = document.Open(ToPath(name));
  if (!error.failed()) error = document.Fill(kLineEndSampleSize);
  if (error.failed()) {
    errorNumber = error.number;
    errorDescription = error.description;
    return Text();
  }
  LineReader reader;
  reader.Attach(document, LineEndsOf(document.HeldFrom(0)), true);
  Text result;
  Text line;
  while (reader.ReadLine(line)) {
    if (skipEmpty && line.empty()) continue;
    ++linesTaken;
    if (!result.empty()) result += kCrLf;
    result += line;
    if (maximum > 0 && linesTaken >= maximum) break;
  }
  if (reader.failed()) {
    errorNumber = reader.error().number;
    errorDescription = reader.error().description;
    linesTaken = 0;
    return Text();
  }
  return result;
}

bool StreamTextLines(TextView name, bool skipEmpty, int32_t maximum, const TextPieceSink& sink,
                     FileError& error) {
  DocumentReader document;
  error = document.Open(ToPath(name));
  if (error.failed()) return false;
  return StreamTextLines(document, skipEmpty, maximum, sink, error);
}

bool StreamTextLines(DocumentReader& document, bool skipEmpty, int32_t maximum,
                     const TextPieceSink& sink, FileError& error) {
  error = FileError();
  if (const Status read = document.Fill(static_cast<uint64_t>(kLineEndSampleSize)); read.failed()) {
    error = read;
    return false;
  }
  LineReader reader;
  reader.Attach(document, LineEndsOf(document.HeldFrom(0)), false);
  static constexpr std::string_view kLineBreak = "\r\n";
  int32_t taken = 0;
  bool inLine = false;   // the current line has been taken
  bool anyText = false;  // the joined text is no longer empty
  std::string_view piece;
  bool endsLine = false;
  while (reader.ReadLinePiece(piece, endsLine)) {
    if (!inLine) {
      // Only an empty line begins with a piece that is empty and ends it.
      if (piece.empty() && skipEmpty) continue;
      inLine = true;
      ++taken;
      // Lines are joined by CR LF, none before the first text (as ReadTextLines does).
      if (anyText && !sink(kLineBreak)) return true;
    }
    if (!piece.empty()) {
      anyText = true;
      if (!sink(piece)) return true;
    }
    if (endsLine) {
      inLine = false;
      if (maximum > 0 && taken >= maximum) return true;
    }
  }
  if (reader.failed()) {
    error = reader.error();
    return false;
  }
  return true;
}

bool FirstLinesDeclareUtf8(TextView name) {
  DocumentReader document;
  if (document.Open(ToPath(name)).failed()) return false;
  return FirstLinesDeclareUtf8(document);
}

bool FirstLinesDeclareUtf8(DocumentReader& document) {
  Utf8DeclarationSearch search;
  FileError error;
  const bool read = StreamTextLines(
      document, true, kCharsetSearchLines,
      [&search](std::string_view piece) { return search.Feed(piece); }, error);
  // As with the whole text, lines that cannot be read declare nothing.
  return read && search.found();
}

}  // namespace tw
