// tagwright-cli over many pages as a black box: a small site of pages in folders, with what a
// walk must pass over and pages that fail. A page's output among many is compared with what
// the program writes for that page alone.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/testfiles.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::ReadBytes;
using test::TempDir;

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;

  bool operator==(const CliResult&) const = default;
};

std::ostream& operator<<(std::ostream& os, const CliResult& r) {
  return os << "status " << r.status << "\nstdout:\n" << r.out << "\nstderr:\n" << r.err;
}

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s)
    q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs the program in `folder`.
CliResult RunCli(const fs::path& folder, const std::vector<std::string>& args) {
  TempDir outputs;
  const fs::path out = outputs.path() / "stdout";
  const fs::path err = outputs.path() / "stderr";
  std::string command =
      "cd " + Quote(folder.string()) + " && LC_ALL=C " + Quote(TAGWRIGHT_CLI_PATH);
  for (const std::string& a : args)
    command += " " + Quote(a);
  command += " </dev/null >" + Quote(out.string()) + " 2>" + Quote(err.string());
  const int rc = std::system(command.c_str());
  return CliResult{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadBytes(out), ReadBytes(err)};
}

std::vector<std::string> Args(std::vector<std::string> head, const std::vector<std::string>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

const std::string kIndex =
    "<html>\r\n<head>\r\n<title>Garden tools</title>\r\n"
    "<meta name=\"description\" content=\"Tools for the garden\">\r\n"
    "<meta name=\"keywords\" content=\"garden, rakes, compost\">\r\n</head>\r\n"
    "<body><p>Garden tools for every garden. Tools tools.</p></body></html>\r\n";
const std::string kAbout =
    "<html>\n<head>\n<title>Garden tools</title>\n</head>\n"
    "<body><p>About our garden shop. Garden shop shop.</p></body></html>\n";
const std::string kCart =
    "<html lang=\"de\">\r\n<head>\r\n<title>Warenkorb</title>\r\n"
    "<meta name=\"keywords\" content=\"Garten, Werkzeug\">\r\n</head>\r\n"
    "<body>Garten und Garten und Werkzeug Werkzeug</body></html>\r\n";
const std::string kNoPages =
    "No pages: The folder and its subfolders hold no .htm, .html, .shtml or .php file.\n";

// site/ holds four pages (one too short to read) and what the walk passes over: a hidden
// folder, a link to a folder, a backup beside its page, a text file. empty/ holds no page.
class SiteTest : public testing::Test {
 protected:
  SiteTest() {
    const fs::path site = dir_.path() / "site";
    fs::create_directories(site / "shop");
    fs::create_directories(site / ".drafts");
    fs::create_directories(dir_.path() / "empty" / "sub");
    dir_.Write("site/index.html", kIndex);
    dir_.Write("site/about.htm", kAbout);
    dir_.Write("site/shop/Cart.PHP", kCart);
    dir_.Write("site/shop/Cart.bak.PHP", "an older backup");
    dir_.Write("site/tiny.html", "abc");
    dir_.Write("site/.drafts/draft.html", kIndex);
    dir_.Write("site/notes.txt", "notes");
    dir_.Write("empty/sub/readme.txt", "nothing here");
    fs::create_directory_symlink("shop", site / "linked");
  }

  CliResult Run(const std::vector<std::string>& args) const { return RunCli(dir_.path(), args); }

  // Every file and link under the folder with its bytes or its target.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir_.path())) {
      const std::string name = fs::relative(e.path(), dir_.path()).string();
      if (e.is_symlink())
        files[name] = "-> " + fs::read_symlink(e.path()).string();
      else if (e.is_regular_file())
        files[name] = ReadBytes(e.path());
    }
    return files;
  }

  TempDir dir_;
};

// The pages in the order a run over these FILEs takes them.
const std::vector<std::string> kFiles = {"site", "empty", "site/index.html", "gone.html"};
const std::vector<std::string> kPages = {"site/about.htm", "site/index.html", "site/shop/Cart.PHP",
                                         "site/tiny.html", "empty",           "gone.html"};

TEST_F(SiteTest, EachPageWritesWhatItWritesAloneInOrderWithAnyNumberOfJobs) {
  const std::vector<std::vector<std::string>> commands = {
      {"tag"},
      {"list", "--min-frequency", "1"},
      {"show"},
      {"insert", "--dry-run", "--max-keywords", "5"},
      {"tag", "--json", "--verbose"},
      {"list", "--json", "--language", "en"},
      {"show", "--json"},
      {"insert", "--dry-run", "--json"},
  };
  const auto before = Snapshot();
  for (const std::vector<std::string>& command : commands) {
    const bool asJson = std::find(command.begin(), command.end(), "--json") != command.end();
    CliResult expected{1, "", ""};
    for (const std::string& page : kPages) {
      if (!asJson) expected.out += (page == kPages.front() ? "==> " : "\n==> ") + page + " <==\n";
      if (page == "empty") {
        expected.out += asJson
                            ? "{\"error\":{\"caption\":\"No pages\",\"text\":\"The folder and its "
                              "subfolders hold no .htm, .html, .shtml or .php file.\"},"
                              "\"path\":\"empty\"}\n"
                            : "";
        expected.err += asJson ? "" : kNoPages;
        continue;
      }
      const CliResult alone =
          Run(Args({command.front(), page}, {command.begin() + 1, command.end()}));
      expected.out += alone.out;
      expected.err += alone.err;
    }
    for (const std::string jobs : {"1", "2", "5"}) {
      const CliResult all = Run(Args(Args(command, kFiles), {"-j", jobs}));
      EXPECT_EQ(all, expected) << command.front() << " " << command.back() << " -j " << jobs;
    }
  }
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(SiteTest, ExitStatusZeroWhenEveryPageSucceeds) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{"tag", "site/index.html", "site/shop"}, 0},
      {{"show", "site/about.htm", "site/about.htm", "./site/about.htm"}, 0},
      {{"tag", "site/shop", "site/tiny.html"}, 1},
      {{"list", "empty"}, 1},
      {{"report", "site/shop", "gone.html"}, 1},
      {{"tag", "site", "--jobs", "many"}, 2},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Run(c.args).status, c.status) << c.args.back();
  // A page named twice is taken once.
  EXPECT_EQ(Run({"show", "site/about.htm", "./site/about.htm", "site"}).out.find("==> ./site"),
            std::string::npos);
}

// The JSON of a page holds what the text output of each command shows for it.
TEST_F(SiteTest, JsonReadBackGivesWhatTheTextShows) {
  const CliResult lines = Run({"list", "site/index.html", "site/tiny.html", "--json"});
  EXPECT_EQ(lines.status, 1);
  EXPECT_EQ(lines.err, "");
  std::istringstream stream(lines.out);
  std::string line;
  std::vector<json> pages;
  while (std::getline(stream, line))
    pages.push_back(json::parse(line));
  ASSERT_EQ(pages.size(), 2u) << lines.out;

  const json& index = pages[0];
  EXPECT_EQ(index["path"], "site/index.html");
  EXPECT_EQ(index["language"], (json{{"code", "en"}, {"source", "default"}}));
  EXPECT_EQ(index["existing"]["title"], "Garden tools");
  EXPECT_EQ(index["existing"]["description"], "Tools for the garden");
  EXPECT_EQ(index["existing"]["keywords"], (json{"garden", "rakes", "compost"}));
  EXPECT_FALSE(index.contains("error"));

  // The tag and its counts as "tag" prints them.
  const std::string tagText = Run({"tag", "site/index.html"}).out;
  std::string tagLine, blank, keywordsLine, bytesLine;
  std::istringstream tagStream(tagText);
  std::getline(tagStream, tagLine);
  std::getline(tagStream, blank);
  std::getline(tagStream, keywordsLine);
  std::getline(tagStream, bytesLine);
  EXPECT_EQ(index["tag"], tagLine);
  EXPECT_EQ(tagLine, "<meta name=\"keywords\" content=\"tools, garden\">");
  EXPECT_EQ(index["keywords"], (json{"tools", "garden"}));
  EXPECT_EQ("Number of keywords in meta tag: " + index["counts"]["keywords"].dump(), keywordsLine);
  EXPECT_EQ("Number of bytes in meta tag: " + index["counts"]["bytes"].dump(), bytesLine);

  // The words as "list" prints them: rank, value, frequency, density, word.
  std::istringstream listStream(Run({"list", "site/index.html"}).out);
  std::getline(listStream, line);
  ASSERT_EQ(line, "Rank Value Freq. Density");
  size_t rank = 0;
  while (std::getline(listStream, line)) {
    ASSERT_LT(rank, index["words"].size());
    const json& word = index["words"][rank++];
    std::istringstream fields(line);
    size_t shownRank = 0;
    int64_t value = 0;
    int frequency = 0;
    double density = 0;
    std::string text;
    fields >> shownRank >> value >> frequency >> density;
    fields.ignore(3);  // the "%" and two spaces
    std::getline(fields, text);
    EXPECT_EQ(shownRank, rank);
    EXPECT_EQ(word["value"], value);
    EXPECT_EQ(word["frequency"], frequency);
    EXPECT_DOUBLE_EQ(word["density"].get<double>(), density);
    EXPECT_EQ(word["word"], text);
  }
  EXPECT_EQ(rank, index["words"].size());

  // A page that fails: its message, and nothing else it did not get to.
  const CliResult alone = Run({"tag", "site/tiny.html"});
  const json& tiny = pages[1];
  EXPECT_EQ(tiny["error"]["caption"].get<std::string>() + ": " +
                tiny["error"]["text"].get<std::string>() + "\n",
            alone.err);
  EXPECT_FALSE(tiny.contains("tag"));
  EXPECT_FALSE(tiny.contains("words"));

  const json dryRun = json::parse(Run({"insert", "site/index.html", "--dry-run", "--json"}).out);
  EXPECT_EQ(dryRun["diff"], Run({"insert", "site/index.html", "--dry-run"}).out);
  EXPECT_EQ(dryRun["tag"], tagLine);
  EXPECT_FALSE(dryRun.contains("inserted"));
  const json shown = json::parse(Run({"show", "site/shop/Cart.PHP", "--json"}).out);
  EXPECT_EQ(shown, (json{{"path", "site/shop/Cart.PHP"},
                         {"existing",
                          {{"title", "Warenkorb"},
                           {"description", nullptr},
                           {"keywords", {"Garten", "Werkzeug"}}}}}));
}

TEST_F(SiteTest, DryRunPrintsTheDiffAndTouchesNothing) {
  const auto before = Snapshot();
  const CliResult r = Run({"insert", "site/shop", "--dry-run", "--backup"});
  EXPECT_EQ(r.status, 0) << r.err;
  // A folder given: its page under a header.
  EXPECT_EQ(r.out,
            "==> site/shop/Cart.PHP <==\n"
            "--- site/shop/Cart.PHP\n+++ site/shop/Cart.PHP\n@@ -1,6 +1,6 @@\n"
            " <html lang=\"de\">\r\n <head>\r\n <title>Warenkorb</title>\r\n"
            "-<meta name=\"keywords\" content=\"Garten, Werkzeug\">\r\n"
            "+<meta name=\"keywords\" content=\"Warenkorb, Garten, Werkzeug\">\r\n"
            " </head>\r\n <body>Garten und Garten und Werkzeug Werkzeug</body></html>\r\n");
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(SiteTest, InsertWritesEachPageItsTagAndAsksNothing) {
  std::map<std::string, std::string> tags;
  for (const std::string page : {"site/about.htm", "site/index.html", "site/shop/Cart.PHP"}) {
    const std::string out = Run({"tag", page}).out;
    tags[page] = out.substr(0, out.find('\n'));
  }
  const CliResult r = Run({"insert", "site", "-j", "2"});
  EXPECT_EQ(r.status, 1);
  const std::string done = "Meta tag inserted successfully into document.\n";
  EXPECT_EQ(r.out,
            "==> site/about.htm <==\n" + done + "\n==> site/index.html <==\n" + done +
                "\n==> site/shop/Cart.PHP <==\n" + done + "The original file was backed up as " +
                (dir_.path() / "site/shop/Cart.bak.PHP").string() + "\n\n==> site/tiny.html <==\n");
  EXPECT_EQ(r.err, Run({"tag", "site/tiny.html"}).err);
  EXPECT_EQ(ReadBytes(dir_.path() / "site/about.htm"),
            "<html>\n<head>\n<title>Garden tools</title>\n" + tags["site/about.htm"] +
                "\n</head>\n<body><p>About our garden shop. Garden shop shop.</p></body></html>\n");
  EXPECT_NE(ReadBytes(dir_.path() / "site/index.html").find(tags["site/index.html"] + "\r\n"),
            std::string::npos);
  EXPECT_EQ(ReadBytes(dir_.path() / "site/shop/Cart.bak.PHP"), kCart);
  EXPECT_EQ(ReadBytes(dir_.path() / "site/tiny.html"), "abc");
  EXPECT_FALSE(fs::exists(dir_.path() / "site/about.bak.htm"));
}

TEST_F(SiteTest, ReportSummarisesTheSite) {
  const std::string tinyMessage = Run({"tag", "site/tiny.html"}).err;
  const std::string goneMessage = Run({"tag", "gone.html"}).err;
  const CliResult r = Run(Args({"report"}, kFiles));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Pages read: 3\n"
            "Pages failed: 3\n"
            "Pages without a title: 0\n"
            "Pages without a description: 2\n"
            "Pages without a keywords tag: 1\n"
            "\nTitles shared by several pages:\n"
            "  Garden tools\n    site/about.htm\n    site/index.html\n"
            "\nTheir own keywords among those generated, furthest drift first:\n"
            "  1 of 3  site/index.html\n"
            "  2 of 2  site/shop/Cart.PHP\n"
            "\nPages that failed:\n"
            "  site/tiny.html\n    " +
                tinyMessage + "  empty\n    " + kNoPages + "  gone.html\n    " + goneMessage);

  const json report = json::parse(Run(Args({"report", "--json"}, kFiles)).out);
  EXPECT_EQ(report["pagesRead"], 3);
  EXPECT_EQ(report["pagesFailed"], 3);
  EXPECT_EQ(report["withoutTitle"], json::array());
  EXPECT_EQ(report["withoutDescription"], (json{"site/about.htm", "site/shop/Cart.PHP"}));
  EXPECT_EQ(report["withoutKeywords"], (json{"site/about.htm"}));
  EXPECT_EQ(report["sharedTitles"],
            (json{{{"title", "Garden tools"}, {"pages", {"site/about.htm", "site/index.html"}}}}));
  EXPECT_EQ(report["keywordsFound"],
            (json{{{"path", "site/index.html"}, {"existing", 3}, {"found", 1}},
                  {{"path", "site/shop/Cart.PHP"}, {"existing", 2}, {"found", 2}}}));
  ASSERT_EQ(report["failed"].size(), 3u);
  EXPECT_EQ(report["failed"][1]["path"], "empty");
}

}  // namespace
}  // namespace tw
