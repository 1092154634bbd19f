// The tag insertion over small documents on disk: where the tag goes, what else changes (only
// the lines it must), and the refusals.
#include "tags/insert.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "io/fileproc.hpp"
#include "support/testfiles.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;

const Text kTag = u"<meta name=\"keywords\" content=\"seo, tools\">";
const std::string kTagBytes = "<meta name=\"keywords\" content=\"seo, tools\">";
const Message kSuccess{Text(kInsertCaption), u"Meta tag inserted successfully into document.",
                       MsgIcon::Information};

std::vector<std::string> FolderFiles(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

InsertOutcome Insert(const fs::path& file, TextView tag, bool withBackup,
                     std::optional<bool> isUtf8 = false) {
  InsertRequest request;
  request.documentPath = FromPath(file);
  request.tagText = Text(tag);
  request.withBackup = withBackup;
  request.isUtf8 = isUtf8;
  return InsertMetaTag(request);
}

struct InsertCase {
  const char* name;
  std::string document;
  std::string expected;  // the document afterwards
};

class InsertTable : public ::testing::TestWithParam<InsertCase> {};

TEST_P(InsertTable, DocumentAfterInsertion) {
  TempDir dir;
  const auto file = dir.Write("page.html", GetParam().document);
  const InsertOutcome outcome = Insert(file, kTag, false);
  EXPECT_TRUE(outcome.inserted);
  EXPECT_EQ(outcome.messages, std::vector<Message>{kSuccess});
  EXPECT_EQ(ReadBytes(file), GetParam().expected);
  EXPECT_EQ(FolderFiles(dir.path()), std::vector<std::string>{"page.html"});
}

const InsertCase kInsertCases[] = {
    {"BeforeHeadEndEmptyLinesStay",
     "<html>\r\n<head>\r\n\r\n<title>T</title>\r\n\r\n</head>\r\n\r\n<body>\r\n\r\n</body>\r\n",
     "<html>\r\n<head>\r\n\r\n<title>T</title>\r\n\r\n" + kTagBytes +
         "\r\n</head>\r\n\r\n<body>\r\n\r\n</body>\r\n"},
    {"BlankLinesOfPhpStay", "<?php\r\n$a = \"x\r\n\r\ny\";\r\n?>\r\n<head>\r\n\r\n</head>\r\n",
     "<?php\r\n$a = \"x\r\n\r\ny\";\r\n?>\r\n<head>\r\n\r\n" + kTagBytes + "\r\n</head>\r\n"},
    {"HeadOnOneLineIsSplit", "<html><head><title>T</title></head>  <body>x</body>  \r\nend",
     "<html><head><title>T</title>\r\n" + kTagBytes + "\r\n</head>\r\n<body>x</body>\r\nend"},
    {"LastLineWithoutLineEndIsSplit", "<head>\r\n<title>T</title></head>",
     "<head>\r\n<title>T</title>\r\n" + kTagBytes + "\r\n</head>"},
    {"ExistingTagWithMarkupAroundIt",
     "<head>\r\n<link rel=\"a\"><meta name=\"keywords\" content=\"old\">  <meta name=\"x\">  \r\n"
     "</head>\r\n",
     "<head>\r\n<link rel=\"a\">\r\n" + kTagBytes + "\r\n<meta name=\"x\">\r\n</head>\r\n"},
    {"TwoExistingTagsBothReplaced",
     "<head>\r\n<META NAME=\"Keywords\" CONTENT=\"a\">\r\n<meta name=\"keywords\" content=\"b\">"
     "\r\n</head>\r\n",
     "<head>\r\n" + kTagBytes + "\r\n" + kTagBytes + "\r\n</head>\r\n"},
    {"ExistingTagAndHeadEndOnOneLine",
     "<head><meta name=\"keywords\" content=\"old\"></head><body>\r\n",
     "<head>\r\n" + kTagBytes + "\r\n</head>\r\n<body>\r\n"},
    {"MetaOpeningOnThePreviousLineIsNotRecognised",
     "<head><meta\r\nname=\"keywords\" content=\"a\">\r\n</head>\r\n",
     "<head><meta\r\nname=\"keywords\" content=\"a\">\r\n" + kTagBytes + "\r\n</head>\r\n"},
    {"HeadEndKeepsItsCase", "<HEAD>\r\n</HEAD>\r\n<BODY>\r\n",
     "<HEAD>\r\n" + kTagBytes + "\r\n</HEAD>\r\n<BODY>\r\n"},
    {"LineOfSpacesIsNotEmpty", "<head>\r\n   \r\n   </head>\r\n",
     "<head>\r\n   \r\n   \r\n" + kTagBytes + "\r\n</head>\r\n"},
    {"SecondHeadEndIsCopied", "</head>\r\n</head>\r\n<meta name=\"keywords\" content=\"b\">\r\n",
     kTagBytes + "\r\n</head>\r\n</head>\r\n<meta name=\"keywords\" content=\"b\">\r\n"},
    {"TagWithoutHeadEnd", "<html>\r\n\r\n<meta name=\"keywords\" content=\"a\">\r\n\r\n<p>x\r\n",
     "<html>\r\n\r\n" + kTagBytes + "\r\n\r\n<p>x\r\n"},
    {"CrOnlyLinesStayCr", "<head>\r<title>T</title>\r\r</head>\r<body>\r\r</body>\r",
     "<head>\r<title>T</title>\r\r" + kTagBytes + "\r</head>\r<body>\r\r</body>\r"},
    {"MixedLineEndsStay", "<html>\r<head>\r\n<title>T</title>\r\n</head>\r<body>\r\n",
     "<html>\r<head>\r\n<title>T</title>\r\n" + kTagBytes + "\r</head>\r<body>\r\n"},
    {"LfOnlyLinesStayLf", "<head>\n\n<title>T</title>\n</head>\n<body>\n\n</body>",
     "<head>\n\n<title>T</title>\n" + kTagBytes + "\n</head>\n<body>\n\n</body>"},
    {"CrLfLinesAfterAnLfOnlyStartKeepTheirCrLf",
     "<html>\n<!--" + std::string(20000, 'a') + "-->\n<head>\r\n<title>T</title></head>\r\n<p>\r\n",
     "<html>\n<!--" + std::string(20000, 'a') + "-->\n<head>\r\n<title>T</title>\r\n" + kTagBytes +
         "\r\n</head>\r\n<p>\r\n"},
    {"StrayCrInsideAnLfOnlyDocumentAfterTheSample",
     "<head>\n</head>\n" + std::string(20000, 'a') + "\n<p>x\ry</p>\n",
     "<head>\n" + kTagBytes + "\n</head>\n" + std::string(20000, 'a') + "\n<p>x\ry</p>\n"},
    {"LoneLfInsideACrLfDocument", "<head>\r\n<title>a\nb</title>\r\n</head>\r\n<p>c\nd</p>\r\n",
     "<head>\r\n<title>a\nb</title>\r\n" + kTagBytes + "\r\n</head>\r\n<p>c\nd</p>\r\n"},
    {"Windows1252BytesSurvive",
     "<head>\r\n<title>\x80\x81\x8D\x8F\x90\x9D\x9F\xA0\xE9\xFF</title>\r\n</head>\r\n"
     "\x85\x92\x96\xA0\xFF \r\n\x1A\x01\r\n",
     "<head>\r\n<title>\x80\x81\x8D\x8F\x90\x9D\x9F\xA0\xE9\xFF</title>\r\n" + kTagBytes +
         "\r\n</head>\r\n\x85\x92\x96\xA0\xFF \r\n\x1A\x01\r\n"},
    {"NulBytesSurvive", std::string("<head>\r\n</head>\r\na\0b\r\n", 22),
     "<head>\r\n" + kTagBytes + "\r\n</head>\r\n" + std::string("a\0b\r\n", 5)},
    {"PositionsBeyond32767",
     "<head>" + std::string(40000, 'x') + "<meta name=\"keywords\" content=\"a\">" +
         std::string(40000, 'y') + "</head>\r\n",
     "<head>" + std::string(40000, 'x') + "\r\n" + kTagBytes + "\r\n" + std::string(40000, 'y') +
         "\r\n</head>\r\n"},
    {"Utf8BomStaysFirst", "\xEF\xBB\xBF\r\n<head>\r\n</head>\r\n",
     "\xEF\xBB\xBF\r\n<head>\r\n" + kTagBytes + "\r\n</head>\r\n"},
    {"Utf8BomBeforeTheHeadEnd", "\xEF\xBB\xBF</head>\r\n",
     "\xEF\xBB\xBF" + kTagBytes + "\r\n</head>\r\n"},
    {"PhpBlocksClosedBeforeTheHead",
     "<?php $t = 'a'; ?>\r\n<?xml version=\"1.0\"?>\r\n<head><?= $t ?></head>\r\n",
     "<?php $t = 'a'; ?>\r\n<?xml version=\"1.0\"?>\r\n<head><?= $t ?>\r\n" + kTagBytes +
         "\r\n</head>\r\n"},
    {"XmlDeclarationIsNoPhp", "<?XML version=\"1.0\"?>\r\n<head></head>\r\n",
     "<?XML version=\"1.0\"?>\r\n<head>\r\n" + kTagBytes + "\r\n</head>\r\n"},
    {"Utf8BomBeforeAnExistingTag", "\xEF\xBB\xBF<meta name=\"keywords\" content=\"a\">\r\n",
     "\xEF\xBB\xBF" + kTagBytes + "\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Documents, InsertTable, ::testing::ValuesIn(kInsertCases),
                         [](const auto& test) { return std::string(test.param.name); });

struct RefusalCase {
  const char* name;
  std::string document;
  Message message;
};

class RefusalTable : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTable, DocumentAndOlderBackupUnchanged) {
  TempDir dir;
  const auto file = dir.Write("page.html", GetParam().document);
  const auto backup = dir.Write("page.bak.html", "older backup");
  for (bool withBackup : {false, true}) {
    const InsertOutcome outcome = Insert(file, kTag, withBackup);
    EXPECT_FALSE(outcome.inserted);
    EXPECT_EQ(outcome.messages, std::vector<Message>{GetParam().message});
    EXPECT_EQ(ReadBytes(file), GetParam().document);
    EXPECT_EQ(ReadBytes(backup), "older backup");
    EXPECT_EQ(FolderFiles(dir.path()), (std::vector<std::string>{"page.bak.html", "page.html"}));
  }
}

const Message kMultiLine{u"Not inserted",
                         u"Meta tag not inserted because existing meta tag\r\n"
                         u"extends over more than one line or is invalid.\r\n"
                         u"Suggestion: Delete the existing meta tag.",
                         MsgIcon::Warning};
const Message kNoHead{
    u"Not inserted",
    u"Meta tag not inserted because the document has no </head> tag and no keywords meta tag.",
    MsgIcon::Warning};

const Message kInPhp{u"Not inserted",
                     u"Meta tag not inserted because the keywords meta tag or the </head> tag is "
                     u"inside PHP code.",
                     MsgIcon::Warning};

const RefusalCase kRefusalCases[] = {
    {"ExistingTagClosingOnTheNextLine",
     "<head>\r\n\r\n<meta name=\"keywords\"\r\ncontent=\"a\">\r\n</head>\r\n", kMultiLine},
    {"SecondExistingTagOpen",
     "<head>\r\n<meta name=\"keywords\" content=\"a\">\r\n<meta name=\"keywords\" content=\"b\"\r\n"
     "</head>\r\n",
     kMultiLine},
    {"NoHeadEndAndNoTag", "<html>\r\n\r\n<body>text</body>\r\n", kNoHead},
    {"HeadEndSpelledApart", "<html><head></ head>\r\n", kNoHead},
    {"EchoedKeywordsTag",
     "<head>\r\n<?php echo '<meta name=\"keywords\" content=\"a\">'; ?>\r\n</head>\r\n", kInPhp},
    {"EchoedHeadEnd", "<head>\r\n<?php if ($x) { echo \"</head>\"; } ?>\r\n</head>\r\n", kInPhp},
    {"HeadEndAfterAnUnclosedPhpBlock", "<?PHP\r\n$page = 1;\r\n</head>\r\n", kInPhp},
    {"HeadEndInAShortPhpBlock", "<head><? $a = '</head>' ?></head>\r\n", kInPhp},
};

INSTANTIATE_TEST_SUITE_P(Documents, RefusalTable, ::testing::ValuesIn(kRefusalCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(Insert, WithBackupKeepsTheFormerDocumentUnderTheBackupName) {
  TempDir dir;
  const std::string original = "<head>\r\n\r\n</head>\r\n";
  const auto file = dir.Write("page.php", original);
  dir.Write("page.phpx", "a file of the user's");
  const InsertOutcome outcome = Insert(file, kTag, true);
  EXPECT_TRUE(outcome.inserted);
  const Text backupName = FromPath(dir.path() / "page.bak.php");
  EXPECT_EQ(outcome.messages,
            (std::vector<Message>{kSuccess,
                                  Message{Text(kInsertCaption),
                                          u"The original file was backed up as\r\n" + backupName,
                                          MsgIcon::Information}}));
  EXPECT_EQ(ReadBytes(file), "<head>\r\n\r\n" + kTagBytes + "\r\n</head>\r\n");
  EXPECT_EQ(ReadBytes(dir.path() / "page.bak.php"), original);
  EXPECT_EQ(ReadBytes(dir.path() / "page.phpx"), "a file of the user's");
  EXPECT_EQ(FolderFiles(dir.path()),
            (std::vector<std::string>{"page.bak.php", "page.php", "page.phpx"}));
}

TEST(Insert, InsertingTwiceWithBackupBacksUpTheOnceModifiedDocument) {
  TempDir dir;
  const auto file = dir.Write("index.html", "<head>\r\n</head>\r\n");
  ASSERT_TRUE(Insert(file, kTag, true).inserted);
  const std::string once = ReadBytes(file);
  const Text second = u"<meta name=\"keywords\" content=\"second\">";
  ASSERT_TRUE(Insert(file, second, true).inserted);
  EXPECT_EQ(ReadBytes(dir.path() / "index.bak.html"), once);
  EXPECT_EQ(ReadBytes(file),
            "<head>\r\n<meta name=\"keywords\" content=\"second\">\r\n</head>\r\n");
}

TEST(Insert, WithoutBackupLeavesAnOlderBackupAlone) {
  TempDir dir;
  const auto file = dir.Write("index.html", "<head>\r\n</head>\r\n");
  dir.Write("index.bak.html", "older");
  ASSERT_TRUE(Insert(file, kTag, false).inserted);
  EXPECT_EQ(ReadBytes(dir.path() / "index.bak.html"), "older");
  EXPECT_EQ(FolderFiles(dir.path()), (std::vector<std::string>{"index.bak.html", "index.html"}));
}

TEST(Insert, DocumentKeepsItsPermissions) {
  TempDir dir;
  const auto file = dir.Write("index.html", "<head>\r\n</head>\r\n");
  const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(file, perms);
  ASSERT_TRUE(Insert(file, kTag, true).inserted);
  EXPECT_EQ(fs::status(file).permissions(), perms);
}

TEST(Insert, FileNameWithoutDotIsRefused) {
  TempDir dir;
  fs::create_directory(dir.path() / "web.site");
  const auto file = dir.Write("web.site/index", "<head>\r\n</head>\r\n");
  for (bool withBackup : {false, true}) {
    const InsertOutcome outcome = Insert(file, kTag, withBackup);
    EXPECT_FALSE(outcome.inserted);
    const Message invalid{u"Invalid input", u"Invalid input file specification", MsgIcon::Warning};
    EXPECT_EQ(outcome.messages, std::vector<Message>{invalid});
    EXPECT_EQ(ReadBytes(file), "<head>\r\n</head>\r\n");
    EXPECT_EQ(FolderFiles(dir.path() / "web.site"), std::vector<std::string>{"index"});
  }
}

TEST(Insert, MissingDocumentIsAnError) {
  TempDir dir;
  const InsertOutcome outcome = Insert(dir.path() / "gone.html", kTag, false);
  EXPECT_FALSE(outcome.inserted);
  ASSERT_EQ(outcome.messages.size(), 1u);
  EXPECT_EQ(outcome.messages[0].caption, u"Error");
  EXPECT_EQ(outcome.messages[0].text, u"Error while opening " + FromPath(dir.path() / "gone.html") +
                                          u" for writing: " +
                                          FileError::FromErrno(ENOENT).description);
  EXPECT_TRUE(FolderFiles(dir.path()).empty());
}

TEST(Insert, CaptionOfTheSuccessMessagesIsTheButtonsCaption) {
  TempDir dir;
  const auto file = dir.Write("index.htm", "</head>");
  InsertRequest request;
  request.documentPath = FromPath(file);
  request.tagText = kTag;
  request.withBackup = true;
  request.isUtf8 = false;
  request.caption = u"Insert now";
  const InsertOutcome outcome = InsertMetaTag(request);
  ASSERT_EQ(outcome.messages.size(), 2u);
  EXPECT_EQ(outcome.messages[0].caption, u"Insert now");
  EXPECT_EQ(outcome.messages[1].caption, u"Insert now");
}

// Tags holding characters beyond ASCII, into documents of each encoding.
struct EncodingCase {
  const char* name;
  std::string document;
  std::optional<bool> isUtf8;  // as the caller passes it; none: decided from the file
  Text tag;
  std::string tagBytes;  // the tag as it must stand in the document
};

class EncodingTable : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(EncodingTable, TagBytesInTheDocument) {
  TempDir dir;
  const auto file =
      dir.Write("page.html", GetParam().document + "</head>\r\n<p>\xC3\xA9\xE9</p>\r\n");
  const InsertOutcome outcome = Insert(file, GetParam().tag, false, GetParam().isUtf8);
  ASSERT_TRUE(outcome.inserted);
  EXPECT_EQ(ReadBytes(file),
            GetParam().document + GetParam().tagBytes + "\r\n</head>\r\n<p>\xC3\xA9\xE9</p>\r\n");
}

const std::string kUtf8Declaration =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\r\n";

const EncodingCase kEncodingCases[] = {
    {"Windows1252Document", "<head>\r\n", false,
     u"<meta name=\"keywords\" content=\"caf\u00E9,\u0141\u00F3d\u017A,\u017E,\u20AC\">",
     "<meta name=\"keywords\" content=\"caf\xE9,&#321;\xF3"
     "d&#378;,\x9E,\x80\">"},
    {"CharacterBeyondTheBasicPlane", "<head>\r\n", false,
     u"<meta name=\"keywords\" content=\"a\U0001F600b\">",
     "<meta name=\"keywords\" content=\"a&#128512;b\">"},
    {"Utf8DocumentPassedByTheCaller", "<head>\r\n", true,
     u"<meta name=\"keywords\" content=\"caf\u00E9,\u00C0\u00FF,\u0141\u00F3d\u017A\">",
     "<meta name=\"keywords\" content=\"caf\xC3\xA9,\xC3\x80\xC3\xBF,\xC5\x81\xC3\xB3"
     "d\xC5\xBA\">"},
    {"Utf8DocumentByItsBom", "\xEF\xBB\xBF<head>\r\n", std::nullopt,
     u"<meta name=\"keywords\" content=\"\u00E9t\u00E9\">",
     "<meta name=\"keywords\" content=\"\xC3\xA9t\xC3\xA9\">"},
    {"Utf8DocumentByItsCharset", "<head>\r\n" + kUtf8Declaration, std::nullopt,
     u"<meta name=\"keywords\" content=\"\u00E9t\u00E9\">",
     "<meta name=\"keywords\" content=\"\xC3\xA9t\xC3\xA9\">"},
    {"Windows1252DocumentDecidedFromTheFile", "<head>\r\n", std::nullopt,
     u"<meta name=\"keywords\" content=\"\u00E9t\u00E9\">",
     "<meta name=\"keywords\" content=\"\xE9t\xE9\">"},
};

INSTANTIATE_TEST_SUITE_P(Tags, EncodingTable, ::testing::ValuesIn(kEncodingCases),
                         [](const auto& test) { return std::string(test.param.name); });

struct FindCase {
  const char* line;  // already lowered
  int32_t start;
  int32_t end;
};

TEST(FindKeywordsMetaTag, StartAndEndPositions) {
  const FindCase cases[] = {
      {"<meta name=\"keywords\" content=\"a\">", 1, 34},
      {"ab <meta name=\"keywords\" content=\"a\"> <p>", 4, 37},
      {"<meta name=\"keywords\"", 1, 0},
      {"<meta name=\"x\"><meta name=\"keywords\">", 16, 37},
      {"<meta name=\"keywords\" content=\"a\"><meta name=\"b\">", 1, 34},
      {"\"keywords\" <meta name=\"a\">", 0, 0},
      {"<meta\tname=\"keywords\">", 0, 0},
      {"<meta name=keywords content=\"a\">", 0, 0},
      {"<meta name='keywords'>", 0, 0},
      {"", 0, 0},
  };
  for (const FindCase& c : cases) {
    int32_t end = -1;
    const int32_t start = FindKeywordsMetaTag(Ascii(c.line), end);
    EXPECT_EQ(start, c.start) << c.line;
    EXPECT_EQ(end, c.end) << c.line;
  }
}

TEST(BackupFileName, BakAfterTheLastDotOfTheFileName) {
  const std::pair<Text, Text> cases[] = {
      {u"index.html", u"index.bak.html"},
      {u"/web/page.php", u"/web/page.bak.php"},
      {u"/web/a.b.htm", u"/web/a.b.bak.htm"},
      {u"C:\\web\\index.html", u"C:\\web\\index.bak.html"},
      {u"/web.site/index", u""},
      {u"C:\\web.site\\index", u""},
      {u"index", u""},
  };
  for (const auto& [path, backup] : cases)
    EXPECT_EQ(BackupFileName(path), backup) << ToUtf8(path);
}

TEST(OutputHoldsKeywordTag, NeedsTheTagAndItsCountLine) {
  const std::pair<Text, bool> cases[] = {
      {kTag + u"\r\n\r\nNumber of keywords in meta tag: 2\r\nNumber of bytes in meta tag: 41",
       true},
      {u"<META NAME=\"KEYWORDS\" content=\"a\">\r\nNUMBER OF KEYWORDS IN META TAG: 1", true},
      {kTag, false},
      {u"seo  100  3  2.0\r\ntools  50  1  1.0", false},
      {u"KEYWORDS meta tag: <meta name=\"keywords\" content=\"a\">\r\n\r\n", false},
      {u"<meta name=keywords>\r\nNumber of keywords in meta tag: 1", false},
      {u"", false},
  };
  for (const auto& [text, holds] : cases)
    EXPECT_EQ(OutputHoldsKeywordTag(text), holds);
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// A document that is a symbolic link: the target gets the new content and the backup goes
// beside it; the link stays a link. Owner, group and permission bits stay the target's.
TEST(Insert, ALinkStaysALinkAndItsTargetIsRewritten) {
  for (bool withBackup : {false, true}) {
    SCOPED_TRACE(withBackup);
    TempDir dir;
    fs::create_directories(dir.path() / "site" / "pages");
    const auto target = dir.Write("site/pages/real.html", "<head>\r\n</head>\r\n");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const bool root = ::geteuid() == 0;
    if (root) {
      ASSERT_EQ(::chown(target.c_str(), 4321, 4322), 0);
    }
    const auto link = dir.path() / "link.html";
    fs::create_symlink(fs::path("site") / "pages" / "real.html", link);

    const InsertOutcome outcome = Insert(link, kTag, withBackup);
    ASSERT_TRUE(outcome.inserted);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), fs::path("site") / "pages" / "real.html");
    EXPECT_EQ(ReadBytes(target), "<head>\r\n" + kTagBytes + "\r\n</head>\r\n");
    EXPECT_EQ(FolderFiles(dir.path()), (std::vector<std::string>{"link.html", "site"}));
    const std::vector<std::string> pages =
        withBackup ? std::vector<std::string>{"real.bak.html", "real.html"}
                   : std::vector<std::string>{"real.html"};
    EXPECT_EQ(FolderFiles(dir.path() / "site" / "pages"), pages);
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    if (root) {
      EXPECT_EQ(st.st_uid, 4321u);
      EXPECT_EQ(st.st_gid, 4322u);
    }
  }
}

}  // namespace
}  // namespace tw
