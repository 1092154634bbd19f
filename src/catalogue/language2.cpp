// The program text catalogue: reads the numbered texts of the program text file and hands
// them out by number.
//
// File format (UTF-8, an optional byte-order mark, lines ending in CR LF, LF or CR):
//   # a comment            blank lines and lines starting with '#' are skipped
//   12=Some text           entry 12; "\n" in the text is a line break, "\\" a backslash
#include "catalogue/language2.hpp"

#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <system_error>

#include "core/number.hpp"
#include "text/codepage.hpp"

namespace tw {

namespace {

// Loader results.
constexpr int kNoText = 0;
constexpr int kCannotOpen = -1;
constexpr int kPartialAllocation = -2;
constexpr int kTooMuchText = -3;
constexpr int kNotRecovered = -4;
constexpr int kFormatBeyondLines = -5;
constexpr int kEmptyFile = -6;
constexpr int kReadError = -7;
constexpr int kGeneralAllocation = -8;
constexpr int kMissingStringBase = 500;
constexpr int kTooLongBase = 1000;
constexpr int kDuplicateBase = 1500;
// Line numbers the missing-string and too-long codes can carry.
constexpr int kMaxReportedLine = 500;

constexpr size_t kMaxEntryLength = 1024;
constexpr size_t kMaxFileSize = 4 * 1024 * 1024;
constexpr size_t kMaxEntries = 20000;
constexpr int kMaxEntryNumber = 1000000;
// More digits than the largest number has (leading zeros included) are no number.
constexpr size_t kMaxDigits = 9;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kCommentMark = '#';
constexpr char kSeparator = '=';
constexpr char kEscape = '\\';
constexpr char16_t kEmptyEntry[] = u"~";

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool IsValidUtf8(std::string_view bytes) {
  const Text decoded = FromUtf8(bytes);
  return ToUtf8(decoded) == bytes;
}

// "\n" becomes CR LF and "\\" a backslash; any other backslash stays as it is.
Text Unescape(const Text& raw) {
  Text out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == kEscape && i + 1 < raw.size()) {
      if (raw[i + 1] == u'n') {
        out += kCrLf;
        ++i;
        continue;
      }
      if (raw[i + 1] == kEscape) {
        out.push_back(kEscape);
        ++i;
        continue;
      }
    }
    out.push_back(raw[i]);
  }
  return out;
}

Text PathText(const std::filesystem::path& path) {
#ifdef _WIN32
  return path.u16string();
#else
  return FromUtf8FileName(path.native());
#endif
}

int LineCode(int base, int line) {
  if (line > kMaxReportedLine) return kFormatBeyondLines;
  return -(base + line);
}

// Parses the whole file; fills `entries` and returns the number of entries or a loader code.
int Parse(std::string_view bytes, std::map<int, Text>& entries) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.remove_prefix(kByteOrderMark.size());
  }
  if (!IsValidUtf8(bytes)) return kNotRecovered;
  int lineNumber = 0;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(pos, end - pos);
    pos = end;
    if (pos < bytes.size() && bytes[pos] == '\r') {
      ++pos;
      if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
    } else if (pos < bytes.size()) {
      ++pos;  // LF
    }
    ++lineNumber;

    if (IsBlank(line) || line.front() == kCommentMark) continue;
    // The number: digits up to the separator.
    const size_t sep = line.find(kSeparator);
    const std::optional<int64_t> parsed =
        sep == std::string_view::npos ? std::nullopt
                                      : ParseWholeNumber(line.substr(0, sep), false, kMaxDigits);
    if (!parsed || *parsed == 0 || *parsed > kMaxEntryNumber) {
      return LineCode(kMissingStringBase, lineNumber);
    }
    const int number = static_cast<int>(*parsed);
    const std::string_view rawText = line.substr(sep + 1);
    if (rawText.empty()) return LineCode(kMissingStringBase, lineNumber);
    const Text text = Unescape(FromUtf8(rawText));
    if (text.size() > kMaxEntryLength) return LineCode(kTooLongBase, lineNumber);
    if (!entries.emplace(number, text).second) return -(kDuplicateBase + lineNumber);
    if (entries.size() > kMaxEntries) return kTooMuchText;
  }
  return entries.empty() ? kNoText : static_cast<int>(entries.size());
}

}  // namespace

int ProgramText::LoadProgramText(const std::filesystem::path& folder, TextView fileName) {
  entries_.clear();
  try {
    path_ = folder / std::filesystem::path(std::u16string(fileName));
    std::error_code ec;
    const bool isFile = std::filesystem::is_regular_file(path_, ec);
    if (!isFile) {
      // A folder of that name exists but cannot be read as a file.
      if (std::filesystem::exists(path_, ec)) return kReadError;
      return kCannotOpen;
    }
    std::ifstream in(path_, std::ios::binary);
    if (!in.is_open()) return kCannotOpen;
    const std::uintmax_t size = std::filesystem::file_size(path_, ec);
    if (ec) return kReadError;
    if (size == 0) return kEmptyFile;
    if (size > kMaxFileSize) return kTooMuchText;
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad() || static_cast<std::uintmax_t>(in.gcount()) != size) return kReadError;
    std::map<int, Text> entries;
    const int result = Parse(bytes, entries);
    if (result > 0) entries_ = std::move(entries);
    return result;
  } catch (const std::bad_alloc&) {
    entries_.clear();
    return kGeneralAllocation;
  } catch (const std::length_error&) {
    entries_.clear();
    return kPartialAllocation;
  } catch (const std::exception&) {
    // A name the file system cannot take.
    entries_.clear();
    return kCannotOpen;
  }
}

Text ProgramText::GetProgramText(int n) const {
  const auto it = entries_.find(n);
  if (it == entries_.end() || it->second == kEmptyEntry) return Text();
  return it->second;
}

Text ProgramText::LoaderMessage(int r, const std::filesystem::path& path) {
  auto ascii = [](std::string_view s) { return Text(s.begin(), s.end()); };
  auto atLine = [&](std::string_view what, int line) {
    return ascii(what) + u" " + ascii(std::to_string(line)) + u".";
  };
  if (r >= 1) return Text();
  switch (r) {
    case kNoText:
      return u"No program text was read.";
    case kCannotOpen:
      return Text(u"Cannot open file containing program text.") + Text(kCrLf) + PathText(path);
    case kPartialAllocation:
      return u"Particular memory allocation error.";
    case kTooMuchText:
      return u"Too much program text.";
    case kNotRecovered:
      return u"Text not recovered.";
    case kEmptyFile:
      return u"File is empty.";
    case kReadError:
      return u"Error reading file.";
    case kGeneralAllocation:
      return u"General memory allocation error.";
    default:
      break;
  }
  if (r >= -kMissingStringBase) return u"Error " + ascii(std::to_string(r));
  if (r >= -kTooLongBase) return atLine("Missing string at line", -r - kMissingStringBase);
  if (r >= -kDuplicateBase) return atLine("String too long at line", -r - kTooLongBase);
  return atLine("Duplicate in program text at line", -r - kDuplicateBase);
}

}  // namespace tw
