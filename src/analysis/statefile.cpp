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

// The 22 lines of the file, in their order: what each holds and how it is written and read.
struct StateLine {
  enum class Kind { Quoted, Position, Check, Backup };
  Kind kind;
  Text AnalysisSettings::*text = nullptr;
  int32_t AnalysisSettings::*position = nullptr;
  bool AnalysisSettings::*check = nullptr;
  int32_t items = 0;       // a position's list size
  bool allowNone = false;  // a position may be -1: nothing selected
};

constexpr StateLine Quoted(Text AnalysisSettings::*text) {
  return StateLine{StateLine::Kind::Quoted, text, nullptr, nullptr, 0, false};
}
constexpr StateLine Position(int32_t AnalysisSettings::*position, int32_t items,
                             bool allowNone = false) {
  return StateLine{StateLine::Kind::Position, nullptr, position, nullptr, items, allowNone};
}
constexpr StateLine Check(bool AnalysisSettings::*check) {
  return StateLine{StateLine::Kind::Check, nullptr, nullptr, check, 0, false};
}
constexpr StateLine Backup() {
  return StateLine{StateLine::Kind::Backup, nullptr, nullptr, nullptr, 0, false};
}

using S = AnalysisSettings;
constexpr StateLine kStateLines[kStateFileLines] = {
    Quoted(&S::txbInputFile),
    Quoted(&S::txbBeginMetaTagWith),
    Quoted(&S::txbWordsToIgnore),
    Quoted(&S::txbMaxNumKeywordsInMetaTag),
    Quoted(&S::txbMaxNumBytesInMetaTag),
    Position(&S::cboShortWordSize, kNineItems),
    Position(&S::cboThresholdFrequency, kNineItems),
    Position(&S::cboTableWeight, kTenItems),
    Position(&S::cboExistingKeywordsWeight, kTenItems),
    Position(&S::cboBoldWeight, kNineItems),
    Check(&S::chkIgnoreShortWords),
    Check(&S::chkIgnoreCommonWords),
    Check(&S::chkPreserveCase),
    Check(&S::chkSpaceAfterComma),
    Position(&S::cboTitleWeight, kNineItems),
    Position(&S::cboDescriptionWeight, kNineItems),
    Position(&S::cboItalicWeight, kNineItems),
    Position(&S::cboDivWeight, kTenItems),
    Position(&S::cboSpanWeight, kTenItems),
    Position(&S::cboLanguage, intNumCommonWordsLanguages, true),
    Backup(),
    Check(&S::chkShowWordsAsFound),
};

void AppendValue(std::string& out, const StateLine& line, const AnalysisSettings& s) {
  switch (line.kind) {
    case StateLine::Kind::Quoted:
      AppendQuoted(out, s.*line.text);
      break;
    case StateLine::Kind::Position:
      AppendNumber(out, s.*line.position);
      break;
    case StateLine::Kind::Check:
      AppendNumber(out, s.*line.check ? 1 : 0);
      break;
    case StateLine::Kind::Backup:
      AppendNumber(out, s.optInsertionWithBackup ? 1 : 0);
      break;
  }
}

// False when the line does not hold a value of its kind.
bool ReadValue(TextView text, const StateLine& line, AnalysisSettings& s) {
  switch (line.kind) {
    case StateLine::Kind::Quoted: {
      std::optional<Text> value = ParseQuoted(text);
      if (!value) return false;
      s.*line.text = std::move(*value);
      return true;
    }
    case StateLine::Kind::Position:
      return ReadPosition(text, line.items, line.allowNone, s.*line.position);
    case StateLine::Kind::Check:
      return ReadCheck(text, s.*line.check);
    case StateLine::Kind::Backup: {
      // Exactly 1 selects "with"; any other number selects "without backup".
      const std::optional<int32_t> backup = ParseNumber(text);
      if (!backup) return false;
      s.optInsertionWithBackup = *backup == 1;
      return true;
    }
  }
  return false;
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
  for (const StateLine& line : kStateLines)
    AppendValue(out, line, s);
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
  for (size_t k = 0; k < std::size(kStateLines); ++k) {
    if (!ReadValue(lines[k], kStateLines[k], s)) return false;
  }
  s.strWordsToIgnoreList = NormaliseWordsToIgnore(s.txbWordsToIgnore);
  // The number boxes come back as the checks that run when the user leaves them would make
  // them (without their messages): a value outside its range, kept by an older program or
  // typed into a file, comes back as the default.
  CheckMaxNumKeywords(s.txbMaxNumKeywordsInMetaTag);
  CheckMaxNumBytes(s.txbMaxNumBytesInMetaTag);
  settings = std::move(s);
  return true;
}

Status SaveState(const std::filesystem::path& file, const AnalysisSettings& settings,
                 FileOps& ops) {
  if (file.empty()) return FileError::FromErrno(ENOENT);
  // Written beside the file and swapped in, so that a failure leaves the old state whole.
  std::filesystem::path temporary = file;
  temporary += std::string(kTemporarySuffix);
  ops.Remove(temporary);  // left over from an earlier attempt
  Result<UniqueFile> created = ops.CreateNew(temporary);
  if (!created) return created.error();
  Status status = ops.Write(created->get(), StateFileText(settings));
  if (status.failed()) {
    created->reset();
  } else {
    status = ops.FlushAndClose(*created);
  }
  if (!status.failed()) status = ops.Rename(temporary, file);
  if (status.failed()) ops.Remove(temporary);
  return status;
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
