// The insert command's workflow.
#include "analysis/insertion.hpp"

#include "text/chars.hpp"

namespace tw {

namespace {

constexpr TextView kPhpEnding = u".php";

}  // namespace

bool InsertionForcesBackup(TextView documentPath) {
  return documentPath.size() >= kPhpEnding.size() &&
         ToLowerGeneral(documentPath.substr(documentPath.size() - kPhpEnding.size())) == kPhpEnding;
}

InsertOutcome RunInsertCommand(Analysis& analysis, RunHost& host, const ProgramText& texts,
                               TextView caption, DocumentReader* document, FileOps& ops) {
  Text inputFile = host.Settings().txbInputFile;
  Text outputText = host.OutputText();
  std::optional<Message> refusal =
      CheckInsertPreconditions(inputFile, outputText, analysis.blnWordTableCurrent,
                               analysis.table().intNumWords(), caption, texts);
  host.SetInputFileText(std::move(inputFile));
  if (outputText != host.OutputText()) host.SetOutputText(std::move(outputText));
  if (refusal) return InsertOutcome{false, {std::move(*refusal)}};

  // A word list or an existing-tag report in the output box gives way to the tag.
  if (!OutputHoldsKeywordTag(host.OutputText())) analysis.BuildKeywordTag(host);
  InsertRequest request;
  request.documentPath = host.Settings().txbInputFile;
  request.tagText = GetMetaTag(host.OutputText());
  request.withBackup =
      host.Settings().optInsertionWithBackup || InsertionForcesBackup(request.documentPath);
  request.isUtf8 = analysis.blnIsUTF8File;
  request.caption = Text(caption);
  if (document != nullptr) return InsertMetaTag(request, *document, ops);
  return InsertMetaTag(request, ops);
}

}  // namespace tw
