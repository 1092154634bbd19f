// Common words of six languages and of the six together, loaded from the common-word files
// beside the program, and the choice of a document's language from its first lines.
#include "words/commonwords.hpp"

#include <algorithm>
#include <system_error>

#include "scan/fileproc.hpp"
#include "scan/istextfile.hpp"
#include "text/chars.hpp"
#include "text/strproc.hpp"

namespace tw {

namespace {

constexpr TextView kFilePrefix = u"cwds_";
constexpr TextView kFileSuffix = u".txt";
constexpr TextView kErrorCaption = u"Error!";
constexpr TextView kNotFound = u"File for common words was not found.";
constexpr TextView kZeroLength = u"File is zero-length.";
constexpr TextView kNotText = u"This is not a text file.";
constexpr TextView kOtherError = u"An error was encountered when trying to use this file.";
constexpr TextView kUnavailableCaption = u"Common words not available";
constexpr TextView kAllLanguagesName = u"all 6 languages";
constexpr TextView kFrenchExtraChars = u"-'";
// Tabs, line feeds, carriage returns and no-break spaces count as spaces.
constexpr TextView kSpaceLikeChars = u"\t\n\r\u00A0";
// The UTF-8 byte-order mark read one character per byte.
constexpr TextView kUtf8Bom = u"\u00EF\u00BB\u00BF";

// IsTextFile results that mean the file can be read.
constexpr int32_t kTextCrLf = 1;
constexpr int32_t kTextLf = 2;
constexpr int32_t kTextCr = 3;
constexpr int32_t kNotFoundCode = -1;
constexpr int32_t kZeroLengthCode = -2;
constexpr int32_t kNotTextCode = 0;

constexpr int32_t kLanguageSearchLines = 10;
constexpr int32_t kLanguageCodeLength = 2;
constexpr int32_t kNumSingleLanguages = 6;
constexpr TextView kLangQuoted = u"lang=\"";
constexpr TextView kLangPlain = u"lang=";
constexpr TextView kContentQuoted = u"content=\"";

Message LoadError(int32_t position, TextView problem) {
  Text text(kLanguageNames[position]);
  text.append(kCrLf);
  text.append(kCrLf);
  text.append(problem);
  return Message{Text(kErrorCaption), text, MsgIcon::Warning, MsgButtons::Ok};
}

// The two characters after `marker` at its first occurrence, when a double quote follows
// them; empty otherwise.
Text QuotedCode(const Text& text, TextView marker) {
  const size_t p = text.find(marker);
  if (p == Text::npos) return Text();
  const size_t start = p + marker.size();
  if (start + kLanguageCodeLength < text.size() && text[start + kLanguageCodeLength] == u'"') {
    return text.substr(start, kLanguageCodeLength);
  }
  return Text();
}

}  // namespace

std::filesystem::path CommonWords::FilePath(const std::filesystem::path& dataFolder,
                                            int32_t position) {
  Text name(kFilePrefix);
  name.append(strLanguageCodes[position]);
  name.append(kFileSuffix);
  return dataFolder / ToPath(name);
}

void CommonWords::Clear(int32_t position) {
  if (!ValidPosition(position)) return;
  words_[position].clear();
  sets_[position].Clear();
}

CommonWords::AddOutcome CommonWords::AddCommonWord(TextView word, int32_t position) {
  if (sets_[position].Contains(word)) return AddOutcome::Present;
  if (sets_[position].Size() >= kMaxCommonWordsPerLanguage) return AddOutcome::Full;
  sets_[position].Insert(word);
  std::vector<Text>& words = words_[position];
  // After every entry that does not order above the new word.
  words.insert(std::upper_bound(words.begin(), words.end(), word,
                                [](TextView a, const Text& b) { return a < TextView(b); }),
               Text(word));
  return AddOutcome::Added;
}

void CommonWords::ParseLine(TextView line, int32_t position) {
  if (!ValidPosition(position)) return;
  Text s = TrimSpaces(line);
  if (s.empty()) return;
  ToLowerGeneralInPlace(s);
  s.push_back(u' ');
  for (char16_t& c : s) {
    if (kSpaceLikeChars.find(c) != TextView::npos) c = u' ';
  }
  const TextView extra = position == kFrenchLanguageIndex ? kFrenchExtraChars : TextView();
  size_t p = 0;
  // The appended space ends the last word, so the walk stops before the last character.
  while (p + 1 < s.size()) {
    if (!IsLetterChar(s[p], false, TextView())) {
      ++p;
      continue;
    }
    size_t end = p;
    while (end < s.size() && IsLetterChar(s[end], false, extra))
      ++end;
    const TextView word(s.data() + p, end - p);
    p = end + 1;
    if (AddCommonWord(word, position) == AddOutcome::Full) break;
  }
}

std::optional<Message> CommonWords::LoadCommonWords(const std::filesystem::path& dataFolder,
                                                    int32_t position) {
  if (!ValidPosition(position)) return std::nullopt;
  Clear(position);
  const std::filesystem::path file = FilePath(dataFolder, position);
  bool isUtf8 = false;
  const int32_t kind =
      IsTextFile(FromPath(file), kTextSampleSize, kNonTextLimitPercent, isUtf8, true);
  if (kind != kTextCrLf && kind != kTextLf && kind != kTextCr) {
    switch (kind) {
      case kNotFoundCode:
        return LoadError(position, kNotFound);
      case kZeroLengthCode:
        return LoadError(position, kZeroLength);
      case kNotTextCode:
        return LoadError(position, kNotText);
      default:
        return LoadError(position, kOtherError);
    }
  }

  LineReader reader;
  FileError error;
  if (!reader.Open(file, DetectLineEnds(file), error)) return LoadError(position, kOtherError);
  Text line;
  bool firstLine = true;
  while (reader.ReadLine(line)) {
    if (firstLine) {
      firstLine = false;
      // The byte-order mark is not text.
      if (TextView(line).substr(0, kUtf8Bom.size()) == kUtf8Bom) line.erase(0, kUtf8Bom.size());
    }
    Text trimmed = TrimSpaces(line);
    if (trimmed.empty()) continue;
    if (isUtf8) trimmed = DecodeUtf8Latin(trimmed);
    ParseLine(trimmed, position);
  }
  const bool failed = reader.failed();
  reader.Close();
  if (failed) {
    // A list read only in part is not used.
    Clear(position);
    return LoadError(position, kOtherError);
  }
  return std::nullopt;
}

std::vector<Message> CommonWords::LoadAll(const std::filesystem::path& dataFolder) {
  std::vector<Message> messages;
  for (int32_t position = 0; position < intNumCommonWordsLanguages; ++position) {
    if (auto message = LoadCommonWords(dataFolder, position)) messages.push_back(*message);
  }
  return messages;
}

bool CommonWords::IsAvailable(int32_t position) const {
  return Count(position) > 0;
}

int32_t CommonWords::Count(int32_t position) const {
  return ValidPosition(position) ? static_cast<int32_t>(words_[position].size()) : 0;
}

const std::vector<Text>& CommonWords::Words(int32_t position) const {
  static const std::vector<Text> kNone;
  return ValidPosition(position) ? words_[position] : kNone;
}

bool CommonWords::IsCommonWord(TextView word, int32_t position) const {
  if (!ValidPosition(position)) return false;
  return sets_[position].Contains(ToLowerGeneral(word));
}

bool CommonWords::IsLoweredCommonWord(TextView lowered, uint32_t hash, int32_t position) const {
  return ValidPosition(position) && sets_[position].Contains(lowered, hash);
}

Message CommonWordsUnavailableMessage(const std::filesystem::path& dataFolder, int32_t position) {
  const int32_t shown = std::clamp<int32_t>(position, 0, intNumCommonWordsLanguages - 1);
  const TextView name = shown == kAllLanguagesIndex ? kAllLanguagesName : kLanguageNames[shown];
  std::error_code ec;
  std::filesystem::path file = CommonWords::FilePath(dataFolder, shown);
  const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
  if (!ec) file = absolute;
  Text text(u"Common words in ");
  text.append(name);
  text.append(u" could not be read from file");
  text.append(kCrLf);
  text.append(FromPath(file));
  return Message{Text(kUnavailableCaption), text, MsgIcon::Warning, MsgButtons::Ok};
}

Text DetectDocumentLanguage(TextView path, TextView allowed, TextView defaultCode) {
  int32_t errorNumber = 0;
  Text errorDescription;
  int32_t linesTaken = 0;
  Text text =
      ReadTextLines(path, true, kLanguageSearchLines, errorNumber, errorDescription, linesTaken);
  if (errorNumber != 0) text.clear();
  ToLowerGeneralInPlace(text);
  const Text allowedCodes = ToLowerGeneral(allowed);

  Text code = QuotedCode(text, kLangQuoted);
  if (code.empty()) {
    const size_t p = text.find(kLangPlain);
    // The character right after "=" (usually the opening quote) is passed over.
    const size_t start = p + kLangPlain.size() + 1;
    if (p != Text::npos && start < text.size()) code = text.substr(start, kLanguageCodeLength);
  }
  if (code.empty()) code = QuotedCode(text, kContentQuoted);

  if (code.size() < static_cast<size_t>(kLanguageCodeLength)) return Text(defaultCode);
  if (allowedCodes.empty() || allowedCodes.find(code) != Text::npos) return code;
  return Text(defaultCode);
}

int32_t LanguageIndexFromCode(TextView code) {
  const Text lowered = ToLowerGeneral(code);
  for (int32_t position = 0; position < kNumSingleLanguages; ++position) {
    if (lowered == strLanguageCodes[position]) return position;
  }
  return -1;
}

}  // namespace tw
