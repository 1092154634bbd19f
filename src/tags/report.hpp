// The existing-tag report behind "Show existing  keywords etc.": the title, description,
// keywords and marker meta tags that a document already carries, read from its head.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "io/fileops.hpp"
#include "text/message.hpp"
#include "text/text.hpp"

namespace tw {

inline constexpr TextView kInputFileNotSpecified = u"Input file not specified.";
inline constexpr TextView kInputFileNotFound = u"Input file not found.";
inline constexpr TextView kReportErrorCaption = u"Error";
inline constexpr TextView kFileNotFoundCaption = u"File not found";
inline constexpr TextView kReportFailure = u"Error when looking for keywords meta tag.";
inline constexpr TextView kNoTitleFound = u"No title tag found.";
inline constexpr TextView kNoDescriptionFound = u"No description meta tag found.";
inline constexpr TextView kNoKeywordsFound = u"No keywords meta tag found.";

// The same items in structured form: the first title and the first description and keywords
// meta tags of the head, each as the report shows it (the title's text, the whole meta tag).
struct ExistingTags {
  std::optional<Text> title;
  std::optional<Text> descriptionTag;
  std::optional<Text> keywordsTag;
};

struct ExistingTagReport {
  // The input file text with leading and trailing spaces removed, for txbInputFile.
  Text inputFile;
  // The message to show instead of a report; the output box is then left alone.
  std::optional<Message> message;
  // The new text of txbMetaTag when a report was made (it replaces the box's text).
  std::optional<Text> outputText;
  // What the report found, when one was made.
  ExistingTags tags;
};

// cmdShowExistingKeywordMetaTag_Click without the window: takes the text of txbInputFile.
// The document is read once, through `ops`.
ExistingTagReport ShowExistingKeywordMetaTag(TextView inputFileText, FileOps& ops = RealFileOps());

// The items of a document already read, from its first byte (at least through its head);
// `isUtf8` as the document's checks decided.
ExistingTags FindExistingTags(std::string_view documentBytes, bool isUtf8);

// The value of a meta tag's content attribute, quoted with " or ' or not at all; nothing when
// the tag has none.
std::optional<Text> MetaTagContent(TextView metaTag);
// The keywords of a keywords meta tag's content: split at the commas, trimmed, empty ones
// left out.
std::vector<Text> SplitKeywords(TextView content);

}  // namespace tw
