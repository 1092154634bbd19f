// The existing-tag report over small documents on disk.
#include "tags/report.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "io/fileproc.hpp"
#include "support/faultyfileops.hpp"
#include "support/testfiles.hpp"
#include "text/codepage.hpp"

namespace tw {
namespace {

using test::TempDir;

const Text kNothingFound =
    u"\r\nNo title tag found.\r\nNo description meta tag found.\r\nNo keywords meta tag found.";

struct ReportCase {
  const char* name;
  std::string document;  // the file's bytes
  Text expected;         // the output box afterwards
};

std::string Repeat(char c, size_t n) {
  return std::string(n, c);
}

class ReportTable : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportTable, OutputBoxHoldsTheReport) {
  TempDir dir;
  const auto file = dir.Write("page.html", GetParam().document);
  const ExistingTagReport report = ShowExistingKeywordMetaTag(FromPath(file));
  EXPECT_FALSE(report.message.has_value());
  ASSERT_TRUE(report.outputText.has_value());
  EXPECT_EQ(*report.outputText, GetParam().expected);
  // The document is only read.
  EXPECT_EQ(test::ReadBytes(file), GetParam().document);
}

const ReportCase kReportCases[] = {
    {"Utf8WithByteOrderMarkShowsItsTitleDecoded",
     "\xEF\xBB\xBF<title>Caf\xC3\xA9 cr\xC3\xA8me</title>\r\n</head>\r\n",
     u"TITLE: Caf\u00E9 cr\u00E8me\r\n\r\n\r\nNo description meta tag found.\r\n"
     u"No keywords meta tag found."},
    {"Utf8ByContentDecodesMetaTags",
     "<head>\r\n<meta name=\"description\" content=\"\xC3\x89t\xC3\xA9 "
     "\xE2\x80\x99\">\r\n</head>\r\n",
     u"DESCRIPTION meta tag: <meta name=\"description\" content=\"\u00C9t\u00E9 \u2019\">\r\n\r\n"
     u"\r\nNo title tag found.\r\nNo keywords meta tag found."},
    {"Windows1252StaysOneCharacterPerByte", "<title>Caf\xE9 \x80</title>\r\n</head>\r\n",
     u"TITLE: Caf\u00E9 \u20AC\r\n\r\n\r\nNo description meta tag found.\r\n"
     u"No keywords meta tag found."},
    {"NothingFound", "<html>\r\n<head>\r\n</head>\r\n<body>\r\n", kNothingFound},
    {"AllFourItems",
     "<html>\r\n<head>\r\n  <title>My Page</title>   \r\n"
     "<meta name=\"description\" content=\"A page\">\r\n"
     "<meta name=\"keywords\" content=\"a,b\">\r\n"
     "<meta name=\"generator\" content=\"zorp done\">\r\n</head>\r\n<title>Later</title>\r\n",
     u"TITLE: My Page\r\n\r\n"
     u"DESCRIPTION meta tag: <meta name=\"description\" content=\"A page\">\r\n\r\n"
     u"KEYWORDS meta tag: <meta name=\"keywords\" content=\"a,b\">\r\n\r\n"
     u"ZORP meta tag: <meta name=\"generator\" content=\"zorp done\">\r\n\r\n"},
    {"HeadOnOneLineIsNotExamined",
     "<html><head><title>T</title><meta name=\"keywords\" content=\"k\"></head>\r\n",
     kNothingFound},
    {"TitleAfterTabOrHeadOrWithAttributesIsMissed",
     "\t<title>Tab</title>\r\n<head><title>Head</title>\r\n<title lang=\"en\">Attr</title>\r\n",
     kNothingFound},
    {"TitleClosingOnALaterLine", "<TITLE>First part\r\nsecond part</TITLE>\r\n</head>\r\n",
     u"TITLE: First part\r\n\r\n\r\nNo description meta tag found.\r\nNo keywords meta tag found."},
    {"SeveralTitles", "<title>One</title>\r\n<title>Two</title>\r\n</HEAD>\r\n",
     u"TITLE: One\r\n\r\nTITLE: Two\r\n\r\n"
     u"\r\nNo description meta tag found.\r\nNo keywords meta tag found."},
    {"TwoMetaTagsOnOneLine",
     "<meta name=\"description\" content=\"d\"><META NAME=\"KEYWORDS\" content=\"k\"> <p>\r\n",
     u"KEYWORDS meta tag: <meta name=\"description\" content=\"d\"><META NAME=\"KEYWORDS\" "
     u"content=\"k\">\r\n\r\n"
     u"DESCRIPTION meta tag: <meta name=\"description\" content=\"d\">\r\n\r\n"
     u"\r\nNo title tag found."},
    {"UnquotedOrSingleQuotedNameIsMissed",
     "<meta name=keywords content=\"a\">\r\n<meta name='keywords' content=\"b\">\r\n",
     kNothingFound},
    {"AuthorWhoseContentIsTheQuotedWord", "<meta name=\"author\" content=\"keywords\">\r\n",
     u"KEYWORDS meta tag: <meta name=\"author\" content=\"keywords\">\r\n\r\n"
     u"\r\nNo title tag found.\r\nNo description meta tag found."},
    {"MetaTagContinuingOnTheNextLine", "<meta name=\"keywords\"\r\n content=\"a\">\r\n</head>\r\n",
     u"KEYWORDS meta tag: <meta name=\"keywords\"\r\n\r\n"
     u"\r\nNo title tag found.\r\nNo description meta tag found."},
    {"ClosingBracketBeforeTheMetaTag", "<p class=\"keywords\"> <meta x\r\n",
     u"KEYWORDS meta tag: \r\n\r\n\r\nNo title tag found.\r\nNo description meta tag found."},
    {"CommentLinesAreSkippedWhole",
     "<title>Shown</title>\r\n<!-- note --><meta name=\"keywords\" content=\"a\">\r\n"
     "<p>between</p>\r\n<!-- open\r\n<title>Hidden</title>\r\nclose --> <meta "
     "name=\"description\" content=\"d\">\r\n<p>after</p>\r\n</head>\r\n",
     u"TITLE: Shown\r\n\r\n\r\nNo description meta tag found.\r\nNo keywords meta tag found."},
    {"LineAfterACommentIsNotCheckedForHeadEnd",
     "<!-- c -->\r\n</head><meta name=\"keywords\" "
     "content=\"k\">\r\n<title>T</title>\r\n</head>\r\n"
     "<title>Body</title>\r\n",
     u"KEYWORDS meta tag: <meta name=\"keywords\" content=\"k\">\r\n\r\nTITLE: T\r\n\r\n"
     u"\r\nNo description meta tag found."},
    {"LineAfterACommentIsNotCheckedForAnotherComment",
     "<!-- a -->\r\n<!-- b\r\n<title>Inside</title>\r\nb -->\r\n",
     u"TITLE: Inside\r\n\r\n\r\nNo description meta tag found.\r\nNo keywords meta tag found."},
    {"NoHeadEndListsTheWholeFile",
     "<body>\r\n<title>Late</title>\r\n<p>text</p>\r\n<meta name=\"description\" "
     "content=\"x\">\r\n",
     u"TITLE: Late\r\n\r\nDESCRIPTION meta tag: <meta name=\"description\" content=\"x\">\r\n\r\n"
     u"\r\nNo keywords meta tag found."},
    {"CommentStillOpenAtTheEnd", "<title>T</title>\r\n<!-- open\r\nmore text\r\n",
     u"TITLE: T\r\n\r\n\r\nNo description meta tag found.\r\nNo keywords meta tag found."},
    {"CommentClosingOnTheLastLine", "<title>T</title>\r\n<!--\r\n-->",
     u"TITLE: T\r\n\r\n\r\nNo description meta tag found.\r\nNo keywords meta tag found."},
    {"CommentOpenAndClosedOnTheLastLine", "<!-- only -->", kNothingFound},
    {"LfOnlyDocumentIsReadLineByLine",
     "<head>\n<title>T</title>\n<meta name=\"keywords\" "
     "content=\"k\">\n</head>\n<title>X</title>\n",
     u"TITLE: T\r\n\r\nKEYWORDS meta tag: <meta name=\"keywords\" content=\"k\">\r\n\r\n"
     u"\r\nNo description meta tag found."},
    {"LoneLfStaysInsideACrLfLine",
     "<title>T</title>\n<meta name=\"keywords\" content=\"k\">\r\n</head>\r\n",
     u"TITLE: T\r\n\r\n\r\nNo description meta tag found.\r\nNo keywords meta tag found."},
    {"CrOnlyDocument", "<title>T</title>\r<meta name=\"keywords\" content=\"k\">\r</head>\r",
     u"TITLE: T\r\n\r\nKEYWORDS meta tag: <meta name=\"keywords\" content=\"k\">\r\n\r\n"
     u"\r\nNo description meta tag found."},
    {"TabsStayOnlySpacesAreTrimmed", "  <title>T \t  \r\n",
     u"TITLE: T \t\r\n\r\n\r\nNo description meta tag found.\r\nNo keywords meta tag found."},
    {"QuotedWordClosingTheLine", "<meta name=\"description\"\r\n",
     u"DESCRIPTION meta tag: <meta name=\"description\"\r\n\r\n"
     u"\r\nNo title tag found.\r\nNo keywords meta tag found."},
    {"Windows1252Bytes", "<title>Caf\xE9 \x80\x81\x9F</title>\r\n",
     u"TITLE: Caf\u00E9 \u20AC\u0081\u0178\r\n\r\n"
     u"\r\nNo description meta tag found.\r\nNo keywords meta tag found."},
};

INSTANTIATE_TEST_SUITE_P(Documents, ReportTable, ::testing::ValuesIn(kReportCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(Report, PositionsBeyond32767) {
  TempDir dir;
  const std::string filler = Repeat('w', 40000);
  const auto file =
      dir.Write("long.html", "<title>" + filler + "</title>\r\n" + Repeat(' ', 33000) +
                                 "<meta name=\"keywords\" content=\"" + filler + "\">\r\n");
  const ExistingTagReport report = ShowExistingKeywordMetaTag(FromPath(file));
  ASSERT_TRUE(report.outputText.has_value());
  const Text wide = DecodeCp1252(filler);
  EXPECT_EQ(*report.outputText, u"TITLE: " + wide +
                                    u"\r\n\r\nKEYWORDS meta tag: <meta "
                                    u"name=\"keywords\" content=\"" +
                                    wide + u"\">\r\n\r\n\r\nNo description meta tag found.");
}

TEST(Report, EmptyInputFileBoxGivesAMessageAndNoReport) {
  const ExistingTagReport report = ShowExistingKeywordMetaTag(u"   ");
  EXPECT_EQ(report.inputFile, u"");
  ASSERT_TRUE(report.message.has_value());
  EXPECT_EQ(*report.message, (Message{u"Error", u"Input file not specified.", MsgIcon::Warning}));
  EXPECT_FALSE(report.outputText.has_value());
}

TEST(Report, MissingFileGivesAMessageAndTheTrimmedName) {
  TempDir dir;
  const Text name = FromPath(dir.path() / "absent.html");
  const ExistingTagReport report = ShowExistingKeywordMetaTag(u"  " + name + u" ");
  EXPECT_EQ(report.inputFile, name);
  ASSERT_TRUE(report.message.has_value());
  EXPECT_EQ(*report.message,
            (Message{u"File not found", u"Input file not found.", MsgIcon::Warning}));
  EXPECT_FALSE(report.outputText.has_value());
}

TEST(Report, AFolderIsNotAnInputFile) {
  TempDir dir;
  const ExistingTagReport report = ShowExistingKeywordMetaTag(FromPath(dir.path()));
  ASSERT_TRUE(report.message.has_value());
  EXPECT_EQ(report.message->caption, u"File not found");
}

TEST(Report, UnreadableFileEndsInTheFailureSentence) {
  TempDir dir;
  const auto file = dir.Write("locked.html", "<title>T</title>\r\n");
  std::filesystem::permissions(file, std::filesystem::perms::none);
  if (std::ifstream probe(file); probe.is_open()) {
    GTEST_SKIP() << "file permissions are not enforced for this user (root)";
  }
  const ExistingTagReport report = ShowExistingKeywordMetaTag(FromPath(file));
  EXPECT_FALSE(report.message.has_value());
  ASSERT_TRUE(report.outputText.has_value());
  EXPECT_EQ(*report.outputText, u"Error when looking for keywords meta tag.");
}

// A failure of the one reading of the document ends the report in the failure sentence,
// after whatever it found before; nothing is reported as missing on a default.
TEST(Report, EveryReadFailureEndsInTheFailureSentence) {
  struct Case {
    test::FileOp op;
    int nth;
    Text expected;
  };
  const Text kFailure = u"Error when looking for keywords meta tag.";
  const Case cases[] = {
      {test::FileOp::OpenForReading, 1, kFailure},
      {test::FileOp::Stat, 1, kFailure},
      {test::FileOp::Read, 1, kFailure},
      // The title is in the first read; the closing head tag comes after it.
      {test::FileOp::Read, 2, u"TITLE: T\r\n\r\n" + kFailure},
  };
  TempDir dir;
  const auto file =
      dir.Write("big.html", "<title>T</title>\r\n" + Repeat('x', 600000) + "\r\n</head>\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nth);
    test::FaultyFileOps ops;
    ops.FailOn(c.op, c.nth, EIO);
    const ExistingTagReport report = ShowExistingKeywordMetaTag(FromPath(file), ops);
    EXPECT_FALSE(report.message.has_value());
    ASSERT_TRUE(report.outputText.has_value());
    EXPECT_EQ(*report.outputText, c.expected);
  }
}

TEST(Report, NameIsTrimmedOfSpacesBeforeItIsUsed) {
  TempDir dir;
  const auto file = dir.Write("t.html", "<title>T</title>\r\n</head>\r\n");
  const ExistingTagReport report = ShowExistingKeywordMetaTag(u" " + FromPath(file) + u"  ");
  EXPECT_EQ(report.inputFile, FromPath(file));
  ASSERT_TRUE(report.outputText.has_value());
  EXPECT_EQ(*report.outputText,
            u"TITLE: T\r\n\r\n\r\nNo description meta tag found.\r\nNo keywords meta tag found.");
}

}  // namespace
}  // namespace tw
