// Writing the keywords meta tag into the document (Insert): in place of a one-line keywords
// meta tag, otherwise just before the closing head tag, with or without a backup copy.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "catalogue/language2.hpp"
#include "tags/insertfileops.hpp"
#include "text/message.hpp"
#include "text/text.hpp"

namespace tw {

inline constexpr TextView kInsertCaption = u"Insert meta tag into file";
inline constexpr TextView kNothingToInsert = u"Nothing to insert.";
inline constexpr TextView kTagNotGenerated = u"The keywords meta tag has not been generated.";
inline constexpr TextView kInsertFileNotFound = u"File not found.";
inline constexpr TextView kInsertedSuccessfully = u"Meta tag inserted successfully into document.";
inline constexpr TextView kBackedUpAs = u"The original file was backed up as";
inline constexpr TextView kNotInsertedCaption = u"Not inserted";
inline constexpr TextView kExistingTagNotOneLine =
    u"Meta tag not inserted because existing meta tag\r\n"
    u"extends over more than one line or is invalid.\r\n"
    u"Suggestion: Delete the existing meta tag.";
inline constexpr TextView kNoHeadEndNoTag =
    u"Meta tag not inserted because the document has no </head> tag and no keywords meta tag.";
inline constexpr TextView kInsertErrorCaption = u"Error";
inline constexpr TextView kInvalidInputCaption = u"Invalid input";
inline constexpr TextView kInvalidInputFileSpec = u"Invalid input file specification";

// The position of the "<meta " of a keywords meta tag on a lowered line (0 when none); the
// position of its closing ">" goes to `tagEnd` (0 when the tag does not close on the line).
int32_t FindKeywordsMetaTag(TextView loweredLine, int32_t& tagEnd);

// The document path with "bak" inserted after the last "." of its file name; empty when the
// file name has no ".".
Text BackupFileName(TextView documentPath);

// The checks of cmdInsert_Click that need no window, in order. Trims both texts in place (the
// caller writes them back into txbInputFile and txbMetaTag). Returns the message to show when
// the insertion must not go on; `caption` is the insert button's current caption.
std::optional<Message> CheckInsertPreconditions(Text& inputFile, Text& outputText,
                                                bool wordTableCurrent, int32_t numWords,
                                                TextView caption, const ProgramText& texts);

// Whether the output box holds a generated keywords meta tag with its count lines; when not,
// BuildKeywordTag must run before the insertion.
bool OutputHoldsKeywordTag(TextView outputText);

struct InsertRequest {
  // The trimmed document path.
  Text documentPath;
  // The tag alone (GetMetaTag).
  Text tagText;
  bool withBackup = false;
  // Whether the document is UTF-8; decided from the file itself when not given.
  std::optional<bool> isUtf8;
  // The insert button's current caption, for the success messages.
  Text caption = Text(kInsertCaption);
};

struct InsertOutcome {
  bool inserted = false;
  // The messages to show, in order.
  std::vector<Message> messages;
};

// Rewrites the document with the tag through a work file of its own in the document's folder.
// The document is changed only when the whole work file was written and flushed; a failure
// while swapping the files puts the former document back under its own name.
InsertOutcome InsertMetaTag(const InsertRequest& request, InsertFileOps& ops);
InsertOutcome InsertMetaTag(const InsertRequest& request);

}  // namespace tw
