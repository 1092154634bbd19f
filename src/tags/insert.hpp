// Writing the keywords meta tag into the document (Insert): in place of a one-line keywords
// meta tag, otherwise just before the closing head tag, with or without a backup copy.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/language2.hpp"
#include "io/document.hpp"
#include "io/fileops.hpp"
#include "io/fileproc.hpp"
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
inline constexpr TextView kTagInPhpCode =
    u"Meta tag not inserted because the keywords meta tag or the </head> tag is inside PHP code.";
inline constexpr TextView kChangedMeanwhile =
    u"The document was changed by another program while the tag was being inserted; nothing "
    u"was written.";
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

// The document rewritten with the tag, in memory. Every line that the insertion does not
// change keeps its bytes; the lines that hold a one-line keywords meta tag, and the line that
// holds the first "</head>", are split into the text before, the tag, the closing head tag
// and the trimmed rest, each ended as the line was ended.
struct Rewrite {
  enum class Outcome {
    Done,
    ExistingTagOpen,  // a keywords meta tag that does not close on its line
    TagInPhpCode,     // the keywords meta tag or the "</head>" begins inside a PHP block
    NoPlaceForTag,    // neither a keywords meta tag nor "</head>"
  };
  Outcome outcome = Outcome::Done;
  std::string bytes;
};
// `tagBytes` is the tag as it is to stand in the document.
Rewrite RewriteWithTag(std::string_view document, std::string_view tagBytes);

// The tag's bytes in a document: its UTF-8 form in a UTF-8 document, otherwise one byte per
// character through the code page and a decimal reference (&#321;) for any other.
std::string TagBytes(TextView tag, bool utf8Document);

struct InsertRequest {
  // The trimmed document path. A symbolic link is followed: its target gets the new content
  // and the backup, and the link stays a link.
  Text documentPath;
  // The tag alone (GetMetaTag).
  Text tagText;
  bool withBackup = false;
  // Whether the document is UTF-8; decided from its bytes when not given.
  std::optional<bool> isUtf8;
  // The insert button's current caption, for the messages that are not errors.
  Text caption = Text(kInsertCaption);
};

struct InsertOutcome {
  bool inserted = false;
  // The messages to show, in order.
  std::vector<Message> messages;
};

// Rewrites the document with the tag through a work file of its own in the document's folder.
// The document is read once (by `document`, when the caller has read it already, else here);
// it is changed only when the whole work file was written and flushed and the document is
// still what was read. A failure while swapping the files puts the former document back
// under its own name. Every error names the file and what was being done.
InsertOutcome InsertMetaTag(const InsertRequest& request, DocumentReader& document,
                            FileOps& ops = RealFileOps());
InsertOutcome InsertMetaTag(const InsertRequest& request, FileOps& ops = RealFileOps());

}  // namespace tw
