// Common words of six languages and of the six together, which never become keywords, and
// the choice of a document's language from its first lines.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/language.hpp"
#include "io/document.hpp"
#include "text/message.hpp"
#include "text/text.hpp"
#include "words/wordhash.hpp"

namespace tw {

inline constexpr int32_t kMaxCommonWordsPerLanguage = 1000;

class CommonWords {
 public:
  // The file of a list position: "cwds_" + code + ".txt" in the data folder.
  static std::filesystem::path FilePath(const std::filesystem::path& dataFolder, int32_t position);

  // Loads one list; returns the "Error!" message to show when the file cannot be used (the
  // language then stays unavailable).
  std::optional<Message> LoadCommonWords(const std::filesystem::path& dataFolder, int32_t position);
  // All seven lists, without pauses or progress; the messages of those that failed.
  std::vector<Message> LoadAll(const std::filesystem::path& dataFolder);

  bool IsAvailable(int32_t position) const;
  int32_t Count(int32_t position) const;
  // The words of a list in ascending order of character codes.
  const std::vector<Text>& Words(int32_t position) const;
  // Whether the lower-cased word is in the list; false for an unknown position (no language
  // selected) and for a list that is not available.
  bool IsCommonWord(TextView word, int32_t position) const;
  // The same for a word that is already lower-cased (general conversion), whose HashWord
  // is known.
  bool IsLoweredCommonWord(TextView lowered, uint32_t hash, int32_t position) const;

  // Adds words as a common-word file line would (for tests and generated lists).
  void ParseLine(TextView line, int32_t position);
  // Empties one list; the language is then unavailable.
  void Clear(int32_t position);

 private:
  static bool ValidPosition(int32_t position) {
    return position >= 0 && position < intNumCommonWordsLanguages;
  }
  // Adds one word (already lower-cased) unless it is there or the list is full.
  enum class AddOutcome { Added, Present, Full };
  AddOutcome AddCommonWord(TextView word, int32_t position);

  // Sorted by character codes, as the lists are shown; the sets answer the look-ups.
  std::array<std::vector<Text>, intNumCommonWordsLanguages> words_;
  std::array<WordSet, intNumCommonWordsLanguages> sets_;
};

// "Common words not available" for a position, with the file's full path.
Message CommonWordsUnavailableMessage(const std::filesystem::path& dataFolder, int32_t position);

// The two-letter code of the document's language declaration in its first 10 non-empty
// lines, if allowed; else the default.
Text DetectDocumentLanguage(TextView path, TextView allowed, TextView defaultCode);
// The same over a document that `document` has opened; its first lines stay held.
Text DetectDocumentLanguage(DocumentReader& document, TextView allowed, TextView defaultCode);

}  // namespace tw
