// The existing-tag report behind "Show existing  keywords etc.": the title, description,
// keywords and marker meta tags that a document already carries, read from its head.
#pragma once

#include <optional>

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

struct ExistingTagReport {
  // The input file text with leading and trailing spaces removed, for txbInputFile.
  Text inputFile;
  // The message to show instead of a report; the output box is then left alone.
  std::optional<Message> message;
  // The new text of txbMetaTag when a report was made (it replaces the box's text).
  std::optional<Text> outputText;
};

// cmdShowExistingKeywordMetaTag_Click without the window: takes the text of txbInputFile.
// The document is read once, through `ops`.
ExistingTagReport ShowExistingKeywordMetaTag(TextView inputFileText, FileOps& ops = RealFileOps());

}  // namespace tw
