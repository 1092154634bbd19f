// The checks of the insert command before anything is written, in their order.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "catalogue/language2.hpp"
#include "io/fileproc.hpp"
#include "support/testfiles.hpp"
#include "tags/insert.hpp"

namespace tw {
namespace {

const Text kCaption = u"Insert meta tag into file";
const Text kTagOutput =
    u"<meta name=\"keywords\" content=\"a\">\r\n\r\nNumber of keywords in meta tag: 1\r\n"
    u"Number of bytes in meta tag: 33";

ProgramText LoadedTexts() {
  ProgramText texts;
  texts.LoadProgramText(TAGWRIGHT_SOURCE_DATA_DIR, u"qdx.dat");
  return texts;
}

struct CheckCase {
  const char* name;
  Text inputFile;
  Text output;
  bool current;
  int32_t numWords;
  std::optional<Message> expected;
};

TEST(CheckInsertPreconditions, FirstFailingCheckGivesItsMessage) {
  test::TempDir dir;
  const Text document = FromPath(dir.Write("page.html", "<head>\r\n</head>\r\n"));
  const Text missing = FromPath(dir.path() / "missing.html");
  const ProgramText texts = LoadedTexts();
  const Text noInputFile = texts.GetProgramText(catalogue::kNoInputFileText);
  ASSERT_FALSE(noInputFile.empty());

  const Message noFile{kCaption, noInputFile, MsgIcon::Warning};
  const Message nothing{kCaption, u"Nothing to insert.", MsgIcon::Warning};
  const Message notGenerated{kCaption, u"The keywords meta tag has not been generated.",
                             MsgIcon::Information};
  const Message notFound{kCaption, u"File not found.", MsgIcon::Warning};
  const CheckCase cases[] = {
      {"EmptyInput", u"   ", u"", false, 0, noFile},
      {"EmptyOutput", document, u"  ", false, 0, nothing},
      {"NotCurrent", document, kTagOutput, false, 5, notGenerated},
      {"NoWords", document, kTagOutput, true, 0, notGenerated},
      {"NotCurrentEvenIfMissing", missing, kTagOutput, false, 5, notGenerated},
      {"Missing", missing, kTagOutput, true, 5, notFound},
      {"Folder", FromPath(dir.path()), kTagOutput, true, 5, notFound},
      {"AllWell", u"  " + document + u" ", u" word list ", true, 5, std::nullopt},
  };
  for (const CheckCase& c : cases) {
    Text input = c.inputFile;
    Text output = c.output;
    const auto message =
        CheckInsertPreconditions(input, output, c.current, c.numWords, kCaption, texts);
    EXPECT_EQ(message, c.expected) << c.name;
  }
}

TEST(CheckInsertPreconditions, BothTextsAreTrimmedForTheWindow) {
  test::TempDir dir;
  const Text document = FromPath(dir.Write("page.html", "</head>"));
  Text input = u"  " + document + u"  ";
  Text output = u"  word list  ";
  EXPECT_FALSE(CheckInsertPreconditions(input, output, true, 3, kCaption, ProgramText()));
  EXPECT_EQ(input, document);
  EXPECT_EQ(output, u"word list");
}

TEST(CheckInsertPreconditions, CaptionIsTheButtonsCurrentCaption) {
  Text input;
  Text output = kTagOutput;
  const auto message =
      CheckInsertPreconditions(input, output, true, 3, u"Other caption", ProgramText());
  ASSERT_TRUE(message.has_value());
  EXPECT_EQ(message->caption, u"Other caption");
}

}  // namespace
}  // namespace tw
