// The saved state: 22 lines of UTF-8 text, read once at start-up and written when quitting.
#include "analysis/statefile.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "analysis/folder.hpp"
#include "core/number.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"

namespace tw {

namespace {

constexpr char16_t kQuote = u'"';
constexpr std::string_view kTemporarySuffix = ".tmp";
// Whole numbers in the file have at most this many digits.
constexpr size_t kMaxNumberDigits = 9;

// The list sizes, for the range check of a stored position.
constexpr int32_t kNineItems = 9;
constexpr int32_t kTenItems = 10;

// A text holding a line break cannot be stored on one line; it is stored empty so that the
// other settings still come back.
Text StorableText(TextView text) {
  if (text.find_first_of(u"\r\n") != TextView::npos) return {};
  return Text(text);
}

void AppendLine(std::string& out, TextView line) {
  out += ToUtf8(line);
  out += "\r\n";
}

void AppendQuoted(std::string& out, TextView text) {
  Text line;
  line += kQuote;
  line += StorableText(text);
  line += kQuote;
  AppendLine(out, line);
}

void AppendNumber(std::string& out, int64_t n) {
  AppendLine(out, NumberText(n));
}

std::vector<Text> SplitLines(TextView text) {
  std::vector<Text> lines;
  Text current;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == kCR || c == kLF) {
      lines.push_back(std::move(current));
      current.clear();
      if (c == kCR && i + 1 < text.size() && text[i + 1] == kLF) ++i;
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

// A quoted value: from the first double quote to the last one of the line.
std::optional<Text> ParseQuoted(TextView line) {
  Text trimmed = TrimSpaces(line);
  if (trimmed.size() < 2 || trimmed.front() != kQuote) return std::nullopt;
  size_t last = trimmed.rfind(kQuote);
  if (last == 0) return std::nullopt;
  return trimmed.substr(1, last - 1);
}

std::optional<int32_t> ParseNumber(TextView line) {
  const std::optional<int64_t> n = ParseWholeNumber(TrimSpaces(line), true, kMaxNumberDigits);
  if (!n) return std::nullopt;
  return static_cast<int32_t>(*n);
}

bool ReadPosition(TextView line, int32_t count, bool allowNone, int32_t& position) {
  std::optional<int32_t> n = ParseNumber(line);
  if (!n) return false;
  if (*n == kNoSelection && allowNone) {
    position = *n;
    return true;
  }
  if (*n < 0 || *n >= count) return false;
  position = *n;
  return true;
}

bool ReadCheck(TextView line, bool& checked) {
  std::optional<int32_t> n = ParseNumber(line);
  if (!n || (*n != 0 && *n != 1)) return false;
  checked = *n == 1;
  return true;
}

Text DescriptionOf(int err) {
  if (err == 0) err = EIO;
  return FromUtf8(std::generic_category().message(err));
}

}  // namespace

StateFileLocation ComputeStateFilePath(const std::filesystem::path& base, TextView folderName,
                                       TextView shortName) {
  StateFileLocation location;
  std::filesystem::path folder = ProgramStateFolder(base, folderName);
  Text fileName = ToLowerGeneral(shortName) + Text(kStateFileExtension);
  location.file =
      folder.empty() ? std::filesystem::path() : folder / std::filesystem::path(fileName);
  location.folderReady = EnsureFolder(folder, location.folderError);
  return location;
}

std::string StateFileText(const AnalysisSettings& s) {
  std::string out;
  AppendQuoted(out, s.txbInputFile);
  AppendQuoted(out, s.txbBeginMetaTagWith);
  AppendQuoted(out, s.txbWordsToIgnore);
  AppendQuoted(out, s.txbMaxNumKeywordsInMetaTag);
  AppendQuoted(out, s.txbMaxNumBytesInMetaTag);
  AppendNumber(out, s.cboShortWordSize);
  AppendNumber(out, s.cboThresholdFrequency);
  AppendNumber(out, s.cboTableWeight);
  AppendNumber(out, s.cboExistingKeywordsWeight);
  AppendNumber(out, s.cboBoldWeight);
  AppendNumber(out, s.chkIgnoreShortWords ? 1 : 0);
  AppendNumber(out, s.chkIgnoreCommonWords ? 1 : 0);
  AppendNumber(out, s.chkPreserveCase ? 1 : 0);
  AppendNumber(out, s.chkSpaceAfterComma ? 1 : 0);
  AppendNumber(out, s.cboTitleWeight);
  AppendNumber(out, s.cboDescriptionWeight);
  AppendNumber(out, s.cboItalicWeight);
  AppendNumber(out, s.cboDivWeight);
  AppendNumber(out, s.cboSpanWeight);
  AppendNumber(out, s.cboLanguage);
  AppendNumber(out, s.optInsertionWithBackup ? 1 : 0);
  AppendNumber(out, s.chkShowWordsAsFound ? 1 : 0);
  return out;
}

bool LoadState(const std::filesystem::path& file, AnalysisSettings& settings) {
  if (file.empty()) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  std::string_view view = bytes;
  if (view.substr(0, kUtf8ByteOrderMarkBytes.size()) == kUtf8ByteOrderMarkBytes) {
    view.remove_prefix(kUtf8ByteOrderMarkBytes.size());
  }
  std::vector<Text> lines = SplitLines(FromUtf8(view));
  if (lines.size() < static_cast<size_t>(kStateFileLines)) return false;

  AnalysisSettings s = settings;
  Text* texts[] = {&s.txbInputFile, &s.txbBeginMetaTagWith, &s.txbWordsToIgnore,
                   &s.txbMaxNumKeywordsInMetaTag, &s.txbMaxNumBytesInMetaTag};
  for (size_t i = 0; i < std::size(texts); ++i) {
    std::optional<Text> value = ParseQuoted(lines[i]);
    if (!value) return false;
    *texts[i] = std::move(*value);
  }
  s.strWordsToIgnoreList = NormaliseWordsToIgnore(s.txbWordsToIgnore);
  s.txbMaxNumKeywordsInMetaTag = LeftChars(s.txbMaxNumKeywordsInMetaTag, kNumberBoxMaxChars);
  s.txbMaxNumBytesInMetaTag = LeftChars(s.txbMaxNumBytesInMetaTag, kNumberBoxMaxChars);

  struct PositionLine {
    int line;  // 1-based
    int32_t* position;
    int32_t count;
    bool allowNone;
  };
  const PositionLine positions[] = {
      {6, &s.cboShortWordSize, kNineItems, false},
      {7, &s.cboThresholdFrequency, kNineItems, false},
      {8, &s.cboTableWeight, kTenItems, false},
      {9, &s.cboExistingKeywordsWeight, kTenItems, false},
      {10, &s.cboBoldWeight, kNineItems, false},
      {15, &s.cboTitleWeight, kNineItems, false},
      {16, &s.cboDescriptionWeight, kNineItems, false},
      {17, &s.cboItalicWeight, kNineItems, false},
      {18, &s.cboDivWeight, kTenItems, false},
      {19, &s.cboSpanWeight, kTenItems, false},
      {20, &s.cboLanguage, intNumCommonWordsLanguages, true},
  };
  for (const PositionLine& p : positions) {
    if (!ReadPosition(lines[p.line - 1], p.count, p.allowNone, *p.position)) return false;
  }

  struct CheckLine {
    int line;
    bool* checked;
  };
  const CheckLine checks[] = {
      {11, &s.chkIgnoreShortWords}, {12, &s.chkIgnoreCommonWords}, {13, &s.chkPreserveCase},
      {14, &s.chkSpaceAfterComma},  {22, &s.chkShowWordsAsFound},
  };
  for (const CheckLine& c : checks) {
    if (!ReadCheck(lines[c.line - 1], *c.checked)) return false;
  }

  std::optional<int32_t> backup = ParseNumber(lines[20]);
  if (!backup) return false;
  s.optInsertionWithBackup = *backup == 1;

  settings = std::move(s);
  return true;
}

std::optional<Text> SaveState(const std::filesystem::path& file, const AnalysisSettings& settings) {
  if (file.empty()) return DescriptionOf(ENOENT);
  std::filesystem::path temporary = file;
  temporary += std::string(kTemporarySuffix);
  std::string text = StateFileText(settings);
  errno = 0;
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return DescriptionOf(errno);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      int err = errno;
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return DescriptionOf(err);
    }
    out.close();
    if (out.fail()) {
      int err = errno;
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return DescriptionOf(err);
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, file, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return FromUtf8(ec.message());
  }
  return std::nullopt;
}

Message SaveStateFailureMessage(TextView description) {
  Message m;
  m.caption = Text(kSaveStateCaption);
  m.text = Text(kSaveStateError) + Text(description);
  m.icon = MsgIcon::Warning;
  m.buttons = MsgButtons::Ok;
  return m;
}

}  // namespace tw
