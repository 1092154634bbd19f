// The command line's parts that need no program run: the argument parser, the diff, the walk
// for pages, the progress line and the ordered work on many threads.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "cli/commands.hpp"
#include "cli/diff.hpp"
#include "cli/options.hpp"
#include "cli/ordered.hpp"
#include "cli/pages.hpp"
#include "cli/progress.hpp"
#include "tags/report.hpp"
#include "text/codepage.hpp"

namespace tw::cli {
namespace {

// A parse result in a few words: the usage problem, or the command, its files and the
// options that differ from the defaults.
std::string Describe(const ParseResult& result) {
  if (const auto* problem = std::get_if<UsageProblem>(&result)) return "error: " + problem->reason;
  const ParsedArguments& p = std::get<ParsedArguments>(result);
  if (p.action == ParsedArguments::Action::Version) return "version";
  std::string d = p.action == ParsedArguments::Action::Help ? "help" : std::string(p.command->name);
  for (const std::string& file : p.line.operands)
    d += " [" + file + "]";
  const CommandOptions& a = p.line.analysis;
  const RunOptions& r = p.line.run;
  if (r.jobs != 0) d += " jobs=" + std::to_string(r.jobs);
  if (r.json) d += " json";
  if (r.quiet) d += " quiet";
  if (r.backup) d += " backup";
  if (r.dryRun) d += " dry-run";
  if (a.language != kLanguageAuto) d += " language=" + std::to_string(a.language);
  for (const auto& [field, position] : a.listPositions)
    d += " list=" + std::to_string(position);
  if (a.maxBytes) d += " max-bytes=" + ToUtf8(*a.maxBytes);
  if (a.wordsToIgnore) d += " ignore=" + ToUtf8(*a.wordsToIgnore);
  if (a.beginWith) d += " begin=" + ToUtf8(*a.beginWith);
  if (a.lowerCase) d += " lower-case";
  if (a.verbose) d += " verbose";
  return d;
}

struct ParseCase {
  std::vector<std::string> args;
  std::string expected;
};

TEST(ParseArguments, TakesTheOptionsOfEachCommand) {
  const ParseCase cases[] = {
      {{"tag", "a.html", "site", "-j", "2", "--json", "--quiet"},
       "tag [a.html] [site] jobs=2 json quiet"},
      {{"list", "-j3", "--jobs=4", "x"}, "list [x] jobs=4"},
      {{"insert", "--dry-run", "x", "--backup"}, "insert [x] backup dry-run"},
      {{"report", "x", "--language", "de", "--verbose"}, "report [x] language=2 verbose"},
      // A value is the next argument whatever it looks like; the last of a repeated option
      // comes last.
      {{"tag", "--ignore", "--lower-case", "x"}, "tag [x] ignore=--lower-case"},
      {{"tag", "x", "--title-weight", "20", "--title-weight=30"}, "tag [x] list=1 list=2"},
      {{"tag", "x", "--begin="}, "tag [x] begin="},
      {{"tag", "--ignore", "--begin=", "x"}, "tag [x] ignore=--begin="},
      {{"tag", "x", "-j", "--max-bytes="},
       "error: invalid value for --jobs: '--max-bytes=' (1 .. 256)"},
      {{"tag", "x", "--begin", "--", "--max-bytes=", "7"},
       "error: invalid value for --max-bytes: '' (0 .. 1000)"},
      {{"tag", "--", "-x", "--json"}, "tag [-x] [--json]"},
      {{"tag", "-", ""}, "tag [-] []"},
      // A FILE that CLI11 would read as a list of FILEs is taken as it is.
      {{"tag", "[old]", "[a,b]", "[]", "[", "]"}, "tag [[old]] [[a,b]] [[]] [[] []]"},
      {{"list", "--", "[a,b]", "\x1f[]", "\x1f"}, "list [[a,b]] [\x1f[]] [\x1f]"},
      {{"tag", "x", "--begin", "[a,b]", "--ignore", "\x1fy"}, "tag [x] ignore=\x1fy begin=[a,b]"},
      {{"tag", "x", "--title-weight", "[20]"},
       "error: invalid value for --title-weight: '[20]' (10, 20 .. 90)"},
      {{"show", "x", "-h"}, "help [x]"},
      {{"--version", "anything"}, "version"},
      {{"tag", "x", "--max-bytes="}, "error: invalid value for --max-bytes: '' (0 .. 1000)"},
      {{"tag", "x", "--lower-case=true"}, "error: --lower-case takes no value"},
      {{"tag", "x", "--help=1"}, "error: --help takes no value"},
      {{"tag", "x", "--json=yes"}, "error: --json takes no value"},
      {{"tag", "x", "-j", "0"}, "error: invalid value for --jobs: '0' (1 .. 256)"},
      {{"tag", "x", "--jobs", "257"}, "error: invalid value for --jobs: '257' (1 .. 256)"},
      {{"tag", "x", "-j"}, "error: --jobs needs a value"},
      {{"show", "x", "--dry-run"}, "error: unknown option: --dry-run"},
      {{"show", "x", "--language", "de"}, "error: unknown option: --language"},
      {{"tag", "x", "--backup"}, "error: unknown option: --backup"},
      {{"tag", "x", "--bogus=3"}, "error: unknown option: --bogus"},
      {{"tag", "-h", "--bogus"}, "error: unknown option: --bogus"},
      {{"tag", "-xyz"}, "error: unknown option: -xyz"},
      {{"report", "-j", "2"}, "error: no FILE given"},
      {{"frob"}, "error: unknown command: frob"},
      {{}, "error: no COMMAND given"},
  };
  for (const ParseCase& c : cases) {
    std::string line;
    for (const std::string& a : c.args)
      line += " '" + a + "'";
    EXPECT_EQ(Describe(ParseArguments(c.args)), c.expected) << line;
  }
}

struct DiffCase {
  const char* name;
  std::string before;
  std::string after;
  std::string expected;
};

// Each expected diff was checked by applying it with patch to the first text.
TEST(UnifiedDiff, WritesWhatPatchApplies) {
  const std::string tenLines = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n";
  const DiffCase cases[] = {
      {"same", "a\nb\n", "a\nb\n", ""},
      {"line_added_keeps_cr", "<html>\r\n<head>\r\n</head>\r\n<body>\r\n",
       "<html>\r\n<head>\r\n<meta>\r\n</head>\r\n<body>\r\n",
       "--- p.html\n+++ p.html\n@@ -1,4 +1,5 @@\n <html>\r\n <head>\r\n+<meta>\r\n </head>\r\n"
       " <body>\r\n"},
      {"context_of_three_lines", tenLines, "1\n2\n3\n4\n5\nfive\n7\n8\n9\n10\n",
       "--- p.html\n+++ p.html\n@@ -3,7 +3,7 @@\n 3\n 4\n 5\n-6\n+five\n 7\n 8\n 9\n"},
      {"far_apart_changes_two_hunks", tenLines + tenLines,
       "one\n2\n3\n4\n5\n6\n7\n8\n9\n10\n1\n2\n3\n4\n5\n6\n7\n8\n9\nten\n",
       "--- p.html\n+++ p.html\n@@ -1,4 +1,4 @@\n-1\n+one\n 2\n 3\n 4\n@@ -17,4 +17,4 @@\n 7\n 8\n "
       "9\n"
       "-10\n+ten\n"},
      {"last_line_without_line_end", "a\nb", "a\nc",
       "--- p.html\n+++ p.html\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+c\n"
       "\\ No newline at end of file\n"},
      {"lines_removed", "a\nb\nc\n", "a\n", "--- p.html\n+++ p.html\n@@ -1,3 +1 @@\n a\n-b\n-c\n"},
      {"one_line_split", "<head></head><body>", "<head>\n<meta>\n</head>\n<body>",
       "--- p.html\n+++ p.html\n@@ -1 +1,4 @@\n-<head></head><body>\n\\ No newline at end of file\n"
       "+<head>\n+<meta>\n+</head>\n+<body>\n\\ No newline at end of file\n"},
  };
  for (const DiffCase& c : cases)
    EXPECT_EQ(UnifiedDiff(c.before, c.after, "p.html"), c.expected) << c.name;
}

// A tree of folders held in memory; the folders named in `failing` cannot be read.
class FakeTree : public FileTree {
 public:
  bool IsFolder(const std::filesystem::path& path) override {
    return folders.count(path.string()) > 0 || failing.count(path.string()) > 0;
  }
  std::error_code List(const std::filesystem::path& folder,
                       std::vector<FolderEntry>& entries) override {
    if (failing.count(folder.string()) > 0)
      return std::make_error_code(std::errc::no_such_file_or_directory);
    entries = folders.at(folder.string());
    return {};
  }
  uint64_t SizeOf(const std::filesystem::path&) override { return 1; }
  std::string IdentityOf(const std::filesystem::path& path) override {
    return path.lexically_normal().string();
  }

  std::map<std::string, std::vector<FolderEntry>> folders;
  std::set<std::string> failing;
};

TEST(CollectPages, WalksFoldersInPathOrderAndTakesEachPageOnce) {
  using Kind = FolderEntry::Kind;
  FakeTree tree;
  tree.folders["site"] = {{"z.html", Kind::Other, 1},    {"b.PHP", Kind::Other, 1},
                          {"b.bak.PHP", Kind::Other, 1}, {"old.bak.html", Kind::Other, 1},
                          {"notes.txt", Kind::Other, 1}, {"sub", Kind::Folder, 0},
                          {".git", Kind::Folder, 0},     {"linked", Kind::LinkToFolder, 0},
                          {"gone", Kind::Folder, 0},     {"a-b.shtml", Kind::Other, 1},
                          {"empty", Kind::Folder, 0},    {"Index.Htm", Kind::Other, 1}};
  tree.folders["site/sub"] = {{"page.html", Kind::Other, 1}, {"page.HTML", Kind::Other, 1}};
  tree.folders["site/.git"] = {{"x.html", Kind::Other, 1}};
  tree.folders["site/empty"] = {};
  tree.folders["bare"] = {{"readme.txt", Kind::Other, 1}};
  tree.failing = {"site/gone", "lost"};
  const std::vector<std::string> files = {"site", "site/z.html", "./site/sub/page.html",
                                          "bare", "lost",        "missing.html"};
  std::vector<std::string> found;
  for (const PageSource& page : CollectPages(files, tree)) {
    found.push_back(page.path + (page.problem ? " !" + ToUtf8(page.problem->caption) : ""));
  }
  // old.bak.html stays: no old.html beside it. A folder's path order puts its pages after
  // names that sort before its own.
  EXPECT_EQ(found, (std::vector<std::string>{
                       "site/Index.Htm", "site/a-b.shtml", "site/b.PHP", "site/gone !Error",
                       "site/old.bak.html", "site/sub/page.HTML", "site/sub/page.html",
                       "site/z.html", "bare !No pages", "lost !Error", "missing.html"}));
}

TEST(MetaTagContent, TheContentAttributeHoweverQuotedAndItsKeywords) {
  struct Case {
    std::u16string tag;
    std::optional<std::u16string> content;
    std::vector<std::u16string> keywords;
  };
  const Case cases[] = {
      {u"<meta name=\"keywords\" content=\"garden, rakes ,,  compost \">",
       u"garden, rakes ,,  compost ",
       {u"garden", u"rakes", u"compost"}},
      {u"<META CONTENT='a,b' NAME='keywords'>", u"a,b", {u"a", u"b"}},
      {u"<meta name=keywords content = tools>", u"tools", {u"tools"}},
      {u"<meta name=\"keywords\" content=\"it's, \">", u"it's, ", {u"it's"}},
      {u"<meta name=\"keywords\" data-content=\"x\" content=\"y\">", u"y", {u"y"}},
      {u"<meta name=\"keywords\" content=\"\">", u"", {}},
      {u"<meta name=\"keywords\">", std::nullopt, {}},
  };
  for (const Case& c : cases) {
    const std::optional<Text> content = MetaTagContent(c.tag);
    EXPECT_EQ(content, c.content) << ToUtf8(c.tag);
    EXPECT_EQ(SplitKeywords(content.value_or(Text())), c.keywords) << ToUtf8(c.tag);
  }
}

TEST(ProgressText, PagesSpeedAndTimeLeft) {
  struct Case {
    size_t done, pages;
    uint64_t bytesDone, bytes;
    double seconds;
    std::string expected;
  };
  const Case cases[] = {
      {0, 2000, 0, 100'000'000, 0.5, "0 of 2000 pages, 0.0 MB/s, -:-- left"},
      {812, 2000, 40'000'000, 100'000'000, 2.0, "812 of 2000 pages, 20.0 MB/s, 0:03 left"},
      {1, 3, 1'000'000, 7'000'000, 125.0, "1 of 3 pages, 0.0 MB/s, 12:30 left"},
      {1, 2, 1'000, 5'000'000, 1.0, "1 of 2 pages, 0.0 MB/s, 1:23:19 left"},
      {2, 2, 5'000'000, 5'000'000, 1.0, "2 of 2 pages, 5.0 MB/s, 0:00 left"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressText(c.done, c.pages, c.bytesDone, c.bytes, c.seconds), c.expected);
  }
}

TEST(RunInOrder, HandsOverEveryResultInOrderWhateverFinishesFirst) {
  for (unsigned jobs : {1u, 2u, 5u}) {
    std::vector<size_t> emitted;
    RunInOrder<size_t>(
        40, jobs,
        [](size_t i) {
          // Early items take longest, so that later ones finish first.
          std::this_thread::sleep_for(std::chrono::microseconds((40 - i) * 50));
          return i * i;
        },
        [&](size_t i, size_t& square) {
          EXPECT_EQ(square, i * i);
          emitted.push_back(i);
        });
    std::vector<size_t> expected(40);
    for (size_t i = 0; i < expected.size(); ++i)
      expected[i] = i;
    EXPECT_EQ(emitted, expected) << jobs << " jobs";
  }
}

}  // namespace
}  // namespace tw::cli
