// tagwright-cli show and insert as a black box: the whole output, the exit status and the
// document afterwards.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/language2.hpp"
#include "support/testfiles.hpp"
#include "text/codepage.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& s) {
  std::string quoted = "'";
  for (char c : s) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

CliResult RunCli(const std::vector<std::string>& args) {
  TempDir outputs;
  const fs::path out = outputs.path() / "stdout";
  const fs::path err = outputs.path() / "stderr";
  std::string command = Quote(TAGWRIGHT_CLI_PATH);
  for (const std::string& arg : args)
    command += " " + Quote(arg);
  command += " </dev/null >" + Quote(out.string()) + " 2>" + Quote(err.string());
  const int raw = std::system(command.c_str());
  CliResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadBytes(out);
  result.err = ReadBytes(err);
  return result;
}

std::vector<std::string> FolderFiles(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A head and a body with enough words for a tag.
const std::string kHead = "<html>\r\n<head>\r\n<title>Garden tools</title>\r\n";
const std::string kBody =
    "</head>\r\n<body>\r\n<p>Garden tools for every garden.</p>\r\n</body>\r\n";
// Five phrases fill the tag at a maximum of five keywords, so no table word joins them.
const std::vector<std::string> kFixedTag = {"--begin", "seo,web design,tools,html,css",
                                            "--max-keywords", "5"};
const std::string kFixedTagLine =
    "<meta name=\"keywords\" content=\"seo,web design,tools,html,css\">";
const std::string kSuccess = "Meta tag inserted successfully into document.\n";

std::vector<std::string> Args(std::vector<std::string> head, const std::vector<std::string>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

TEST(CliShow, PrintsTheReport) {
  TempDir dir;
  const auto file =
      dir.Write("page.html", kHead + "<meta name=\"description\" content=\"Tools\">\r\n" +
                                 "<meta name=\"keywords\" content=\"garden, tools\">\r\n" + kBody);
  const CliResult r = RunCli({"show", file.string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "TITLE: Garden tools\n\n"
            "DESCRIPTION meta tag: <meta name=\"description\" content=\"Tools\">\n\n"
            "KEYWORDS meta tag: <meta name=\"keywords\" content=\"garden, tools\">\n\n");
  EXPECT_EQ(r.err, "");
}

TEST(CliShow, MissingItemsAndCharactersOfTheCodePage) {
  TempDir dir;
  const auto file = dir.Write("page.html", "<head>\r\n<title>Caf\xE9 \x80</title>\r\n</head>\r\n");
  const CliResult r = RunCli({"show", file.string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "TITLE: Caf\xC3\xA9 \xE2\x82\xAC\n\n\nNo description meta tag found.\n"
            "No keywords meta tag found.\n");
  EXPECT_EQ(r.err, "");
}

TEST(CliShow, NothingFound) {
  TempDir dir;
  const auto file = dir.Write("page.html", "<html><head></head></html>\n");
  const CliResult r = RunCli({"show", file.string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "\nNo title tag found.\nNo description meta tag found.\nNo keywords meta tag found.\n");
  EXPECT_EQ(r.err, "");
}

// File names are bytes: one that is not UTF-8 (here Latin-1) is found all the same, by show
// as by the commands that analyse or insert.
TEST(CliShow, FileNameThatIsNotUtf8) {
  TempDir dir;
  const auto file = dir.Write("caf\xE9.html", "<head>\r\n<title>T</title>\r\n</head>\r\n");
  const CliResult r = RunCli({"show", file.string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "TITLE: T\n\n\nNo description meta tag found.\nNo keywords meta tag found.\n");
  EXPECT_EQ(r.err, "");
}

TEST(CliShow, Refusals) {
  TempDir dir;
  const CliResult missing = RunCli({"show", (dir.path() / "absent.html").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "File not found: Input file not found.\n");

  const CliResult blank = RunCli({"show", "   "});
  EXPECT_EQ(blank.status, 1);
  EXPECT_EQ(blank.out, "");
  EXPECT_EQ(blank.err, "Error: Input file not specified.\n");
}

TEST(CliShow, UsageErrors) {
  const CliResult none = RunCli({"show"});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.out, "");
  EXPECT_TRUE(none.err.starts_with("tagwright-cli: no FILE given\n")) << none.err;

  const CliResult option = RunCli({"show", "a.html", "--backup"});
  EXPECT_EQ(option.status, 2);
  EXPECT_TRUE(option.err.starts_with("tagwright-cli: unknown option: --backup\n")) << option.err;
}

TEST(CliInsert, WithoutBackup) {
  TempDir dir;
  const auto file = dir.Write("page.html", kHead + "\r\n" + kBody);
  const CliResult r = RunCli(Args({"insert", file.string()}, kFixedTag));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kSuccess);
  EXPECT_EQ(r.err, "");
  // The empty line stays: the insertion changes only the line of the closing head tag.
  EXPECT_EQ(ReadBytes(file), kHead + "\r\n" + kFixedTagLine + "\r\n" + kBody);
  EXPECT_EQ(FolderFiles(dir.path()), std::vector<std::string>{"page.html"});
}

TEST(CliInsert, InsertsTheTagThatTagPrints) {
  TempDir dir;
  const auto file = dir.Write("page.htm", kHead + kBody);
  const CliResult tag = RunCli({"tag", file.string(), "--no-space-after-comma"});
  ASSERT_EQ(tag.status, 0) << tag.err;
  const std::string tagLine = tag.out.substr(0, tag.out.find('\n'));
  ASSERT_TRUE(tagLine.starts_with("<meta name=\"keywords\" content=\"")) << tag.out;
  const CliResult r = RunCli({"insert", file.string(), "--no-space-after-comma"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kSuccess);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadBytes(file), kHead + tagLine + "\r\n" + kBody);
}

TEST(CliInsert, WithBackupOnRequestAndAlwaysForPhp) {
  for (const auto& [name, flag] :
       {std::pair<std::string, std::string>{"page.html", "--backup"}, {"page.PHP", ""}}) {
    TempDir dir;
    const std::string original = kHead + kBody;
    const auto file = dir.Write(name, original);
    std::vector<std::string> args = Args({"insert", file.string()}, kFixedTag);
    if (!flag.empty()) args.push_back(flag);
    const CliResult r = RunCli(args);
    const std::string backupName = name == "page.html" ? "page.bak.html" : "page.bak.PHP";
    EXPECT_EQ(r.status, 0) << name;
    EXPECT_EQ(r.out, kSuccess + "The original file was backed up as " +
                         (dir.path() / backupName).string() + "\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadBytes(dir.path() / backupName), original);
    EXPECT_EQ(ReadBytes(file), kHead + kFixedTagLine + "\r\n" + kBody);
  }
}

TEST(CliInsert, TagCharactersInEachEncoding) {
  const std::vector<std::string> phrases = {"--begin",
                                            "caf\xC3\xA9,\xC5\x81\xC3\xB3"
                                            "d\xC5\xBA,a,b,c",
                                            "--max-keywords", "5"};
  struct Case {
    std::string head;
    std::string tagLine;
  };
  const Case cases[] = {
      {kHead,
       "<meta name=\"keywords\" content=\"caf\xE9,&#321;\xF3"
       "d&#378;,a,b,c\">"},
      {kHead + "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\r\n",
       "<meta name=\"keywords\" content=\"caf\xC3\xA9,\xC5\x81\xC3\xB3"
       "d\xC5\xBA,a,b,c\">"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const auto file = dir.Write("page.html", c.head + kBody);
    const CliResult r = RunCli(Args({"insert", file.string()}, phrases));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kSuccess);
    EXPECT_EQ(ReadBytes(file), c.head + c.tagLine + "\r\n" + kBody);
  }
}

TEST(CliInsert, LfOnlyDocumentKeepsItsLineEnds) {
  TempDir dir;
  const auto file = dir.Write(
      "page.html", "<html>\n<head>\n<title>Garden tools</title>\n</head>\n<body>\n</body>\n");
  const CliResult r = RunCli(Args({"insert", file.string()}, kFixedTag));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kSuccess);
  EXPECT_EQ(ReadBytes(file), "<html>\n<head>\n<title>Garden tools</title>\n" + kFixedTagLine +
                                 "\n</head>\n<body>\n</body>\n");
}

struct RefusalCase {
  const char* name;
  std::string document;
  std::string err;
};

TEST(CliInsert, RefusalsLeaveTheDocumentAlone) {
  const RefusalCase cases[] = {
      {"ExistingTagOnTwoLines",
       kHead + "<meta name=\"keywords\"\r\n content=\"garden\">\r\n" + kBody,
       "Not inserted: Meta tag not inserted because existing meta tag extends over more than "
       "one line or is invalid. Suggestion: Delete the existing meta tag.\n"},
      {"NoHeadEnd", "<html>\r\n<title>Garden tools</title>\r\n<body>garden tools</body>\r\n",
       "Not inserted: Meta tag not inserted because the document has no </head> tag and no "
       "keywords meta tag.\n"},
      {"NoWords", "<html><head><title></title></head><body></body></html>\r\n",
       "Insert meta tag into file: The keywords meta tag has not been generated.\n"},
  };
  for (const RefusalCase& c : cases) {
    TempDir dir;
    const auto file = dir.Write("page.html", c.document);
    dir.Write("page.bak.html", "older");
    const CliResult r = RunCli({"insert", file.string(), "--backup"});
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_EQ(r.out, "") << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    EXPECT_EQ(ReadBytes(file), c.document) << c.name;
    EXPECT_EQ(ReadBytes(dir.path() / "page.bak.html"), "older") << c.name;
    EXPECT_EQ(FolderFiles(dir.path()), (std::vector<std::string>{"page.bak.html", "page.html"}))
        << c.name;
  }
}

TEST(CliInsert, MissingDocumentIsRefusedByTheFileCheck) {
  ProgramText texts;
  ASSERT_GT(texts.LoadProgramText(TAGWRIGHT_SOURCE_DATA_DIR, u"qdx.dat"), 0);
  TempDir dir;
  const CliResult r = RunCli({"insert", (dir.path() / "absent.html").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, ToUtf8(texts.GetProgramText(catalogue::kFileNotFoundCaption)) + ": " +
                       ToUtf8(texts.GetProgramText(catalogue::kFileNotFoundText)) + "\n");
  EXPECT_TRUE(FolderFiles(dir.path()).empty());
}

TEST(CliInsert, UsageErrors) {
  const CliResult none = RunCli({"insert", "--backup"});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.out, "");
  EXPECT_TRUE(none.err.starts_with("tagwright-cli: no FILE given\n")) << none.err;

  const CliResult valued = RunCli({"insert", "a.html", "--backup=yes"});
  EXPECT_EQ(valued.status, 2);
  EXPECT_TRUE(valued.err.starts_with("tagwright-cli: --backup takes no value\n")) << valued.err;
}

}  // namespace
}  // namespace tw
