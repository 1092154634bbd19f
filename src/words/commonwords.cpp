// Common words of six languages and of the six together, loaded from the common-word files
// beside the program, and the choice of a document's language from its first lines.
#include "words/commonwords.hpp"

#include <algorithm>
#include <string>
#include <string_view>
#include <system_error>

#include "io/fileproc.hpp"
#include "io/istextfile.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"
#include "text/textsearch.hpp"

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

constexpr int32_t kLanguageSearchLines = 10;
constexpr size_t kLanguageCodeLength = 2;
// After lang=, the character before the code.
constexpr size_t kPassedOver = 1;
constexpr std::string_view kLangQuoted = "lang=\"";
constexpr std::string_view kLangPlain = "lang=";
constexpr std::string_view kContentQuoted = "content=\"";

Message LoadError(int32_t position, TextView problem) {
  Text text(kLanguageNames[position]);
  text.append(kCrLf);
  text.append(kCrLf);
  text.append(problem);
  return Message{Text(kErrorCaption), text, MsgIcon::Warning, MsgButtons::Ok};
}

// The first occurrence of a word in the joined lines, in any mix of case, and the bytes
// that follow it, as far as they go.
class FirstOccurrence {
 public:
  FirstOccurrence(std::string_view word, size_t following) : finder_(word), following_(following) {}

  void Feed(std::string_view piece) {
    if (complete()) return;
    size_t from = 0;
    if (!found_) {
      from = finder_.FindEnd(piece);
      if (from == std::string_view::npos) return;
      found_ = true;
    }
    after_.append(piece.substr(from, following_ - after_.size()));
  }
  bool found() const { return found_; }
  bool complete() const { return found_ && after_.size() == following_; }
  std::string_view after() const { return after_; }

 private:
  ByteWordFinder finder_;
  size_t following_;
  bool found_ = false;
  std::string after_;
};

// The language declaration of the lowered joined lines, sought in their bytes as they
// arrive: the first lang=", lang= and content=" with the characters after each.
class LanguageDeclarationSearch {
 public:
  // Whether more text is wanted. Once the first lang=" and the three characters after it
  // are known, the code is settled: either it is quoted there, or the first lang=, which
  // cannot come later, gives it.
  bool Feed(std::string_view piece) {
    langQuoted_.Feed(piece);
    langPlain_.Feed(piece);
    contentQuoted_.Feed(piece);
    return !langQuoted_.complete();
  }

  // The code's bytes, as the steps take them from the text; empty when there is none.
  std::string_view CodeBytes() const {
    std::string_view code = QuotedCode(langQuoted_);
    if (code.empty() && langPlain_.found()) {
      // The character right after "=" (usually the opening quote) is passed over.
      const std::string_view after = langPlain_.after();
      if (after.size() > kPassedOver) code = after.substr(kPassedOver, kLanguageCodeLength);
    }
    if (code.empty()) code = QuotedCode(contentQuoted_);
    return code;
  }

 private:
  // The two characters after the word when a double quote follows them.
  static std::string_view QuotedCode(const FirstOccurrence& word) {
    const std::string_view after = word.after();
    if (after.size() > kLanguageCodeLength && after[kLanguageCodeLength] == '"') {
      return after.substr(0, kLanguageCodeLength);
    }
    return std::string_view();
  }

  // The code and its closing quote; for lang= also the character before the code.
  FirstOccurrence langQuoted_{kLangQuoted, kLanguageCodeLength + 1};
  FirstOccurrence langPlain_{kLangPlain, kPassedOver + kLanguageCodeLength};
  FirstOccurrence contentQuoted_{kContentQuoted, kLanguageCodeLength + 1};
};

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
  // One reading of the file: its check and its lines come from the same bytes.
  DocumentReader document;
  bool isUtf8 = false;
  const Status opened = document.Open(file);
  const TextFileKind kind = opened.failed() ? OpenFailureKind(opened)
                                            : IsTextFile(document, FromPath(file), kTextSampleSize,
                                                         kNonTextLimitPercent, isUtf8, true);
  if (!IsReadableText(kind)) {
    switch (kind) {
      case TextFileKind::NoSuchFile:
        return LoadError(position, kNotFound);
      case TextFileKind::ZeroBytes:
        return LoadError(position, kZeroLength);
      case TextFileKind::NotText:
        return LoadError(position, kNotText);
      default:
        return LoadError(position, kOtherError);
    }
  }

  if (document.Fill(kLineEndSampleSize).failed()) return LoadError(position, kOtherError);
  LineReader reader;
  reader.Attach(document, LineEndsOf(document.HeldFrom(0)), true);
  Text line;
  bool firstLine = true;
  while (reader.ReadLine(line)) {
    if (firstLine) {
      firstLine = false;
      // The byte-order mark is not text.
      if (TextView(line).substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
        line.erase(0, kUtf8ByteOrderMark.size());
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
  DocumentReader document;
  if (document.Open(ToPath(path)).failed()) return Text(defaultCode);
  return DetectDocumentLanguage(document, allowed, defaultCode);
}

Text DetectDocumentLanguage(DocumentReader& document, TextView allowed, TextView defaultCode) {
  // The lines are searched as raw bytes while they are read; lines that cannot be read give
  // no code.
  LanguageDeclarationSearch search;
  FileError error;
  const bool read = StreamTextLines(
      document, true, kLanguageSearchLines,
      [&search](std::string_view piece) { return search.Feed(piece); }, error);
  const std::string_view bytes = read ? search.CodeBytes() : std::string_view();
  // The code's characters in their general lower-case form, as in the lowered text.
  Text code = DecodeCp1252(bytes);
  ToLowerGeneralInPlace(code);
  const Text allowedCodes = ToLowerGeneral(allowed);

  if (code.size() < kLanguageCodeLength) return Text(defaultCode);
  if (allowedCodes.empty() || allowedCodes.find(code) != Text::npos) return code;
  return Text(defaultCode);
}

}  // namespace tw
