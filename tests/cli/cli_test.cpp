// tagwright-cli as a black box: the built program runs on small documents in temporary
// folders; its whole output, its stderr lines and its exit status are compared.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/language2.hpp"
#include "support/testfiles.hpp"
#include "text/codepage.hpp"

namespace tw {
namespace {

using test::TempDir;

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

CliResult RunCli(const TempDir& dir, const std::vector<std::string>& args) {
  const auto out = dir.path() / "cli-stdout.txt";
  const auto err = dir.path() / "cli-stderr.txt";
  // The densities of the word list follow the user's number format: the tests expect a point.
  std::string command =
      "cd " + Quote(dir.path().string()) + " && LC_ALL=C " + Quote(TAGWRIGHT_CLI_PATH);
  for (const std::string& a : args)
    command += " " + Quote(a);
  command += " >" + Quote(out.string()) + " 2>" + Quote(err.string()) + " </dev/null";
  const int rc = std::system(command.c_str());
  CliResult r;
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.out = test::ReadBytes(out);
  r.err = test::ReadBytes(err);
  return r;
}

// The message line the program prints for a message box.
std::string MessageLine(const Text& caption, const Text& text) {
  std::string line = ToUtf8(caption) + ": " + ToUtf8(text);
  for (size_t p; (p = line.find("\r\n")) != std::string::npos;)
    line.replace(p, 2, " ");
  return line + "\n";
}

class CliTest : public testing::Test {
 protected:
  CliTest() { texts_.LoadProgramText(TAGWRIGHT_SOURCE_DATA_DIR, u"qdx.dat"); }
  std::string Catalogue(int n) const { return ToUtf8(texts_.GetProgramText(n)); }

  TempDir dir_;
  ProgramText texts_;
};

// Title words weigh 80 and survive the minimum frequency; "for" is a common English word.
const std::string kGardenPage =
    "<html><head><title>Garden tools</title></head>\r\n"
    "<body><p>Garden tools for every garden. Tools tools.</p></body></html>\r\n";

const std::string kGardenTag =
    "<meta name=\"keywords\" content=\"tools, Garden\">\n"
    "\n"
    "Number of keywords in meta tag: 2\n"
    "Number of bytes in meta tag: 44\n";

const std::string kGardenList =
    "Rank Value Freq. Density\n"
    "   1   100    3  33.33%  tools\n"
    "   2    97    2  22.22%  Garden\n";

// 800 words: beta three times (0.375 %), alpha once (0.125 %), the rest too short to count.
std::string EightHundredWords() {
  std::string words = "alpha beta beta beta";
  for (int k = 4; k < 800; ++k)
    words += " zz";
  return "<html><body><p>" + words + "</p></body></html>\r\n";
}

struct OutputCase {
  const char* name;
  std::string document;
  std::vector<std::string> args;  // FILE is added after the command
  std::string expected;
};

void PrintTo(const OutputCase& c, std::ostream* os) {
  *os << c.name;
}

class CliOutputTest : public CliTest, public testing::WithParamInterface<OutputCase> {};

TEST_P(CliOutputTest, PrintsWhatTheOutputBoxWouldHold) {
  const OutputCase& c = GetParam();
  dir_.Write("page.html", c.document);
  std::vector<std::string> args = {c.args.front(), "page.html"};
  args.insert(args.end(), c.args.begin() + 1, c.args.end());
  const CliResult r = RunCli(dir_, args);
  EXPECT_EQ(r.out, c.expected);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliOutputTest,
    testing::Values(
        OutputCase{"tag", kGardenPage, {"tag"}, kGardenTag},
        OutputCase{"list", kGardenPage, {"list"}, kGardenList},
        OutputCase{"lf_line_ends",
                   "<title>Garden tools</title>\n<p>Garden tools for every "
                   "garden. Tools tools.</p>\n",
                   {"tag"},
                   kGardenTag},
        OutputCase{"no_space_after_comma",
                   kGardenPage,
                   {"tag", "--no-space-after-comma"},
                   "<meta name=\"keywords\" content=\"tools,Garden\">\n\n"
                   "Number of keywords in meta tag: 2\nNumber of bytes in meta tag: 43\n"},
        OutputCase{"lower_case",
                   kGardenPage,
                   {"tag", "--lower-case"},
                   "<meta name=\"keywords\" content=\"tools, garden\">\n\n"
                   "Number of keywords in meta tag: 2\nNumber of bytes in meta tag: 44\n"},
        OutputCase{"begin_with_phrases_fill_the_limit",
                   kGardenPage,
                   {"tag", "--max-keywords", "5", "--begin", "a,b,c,d,e"},
                   "<meta name=\"keywords\" content=\"a,b,c,d,e\">\n\n"
                   "Number of keywords in meta tag: 5\nNumber of bytes in meta tag: 40\n"},
        OutputCase{"ignore_words",
                   kGardenPage,
                   {"tag", "--ignore", " TOOLS  "},
                   "<meta name=\"keywords\" content=\"Garden\">\n\n"
                   "Number of keywords in meta tag: 1\nNumber of bytes in meta tag: 37\n"},
        OutputCase{"max_bytes",
                   kGardenPage,
                   {"tag", "--max-bytes=37"},
                   "<meta name=\"keywords\" content=\"tools\">\n\n"
                   "Number of keywords in meta tag: 1\nNumber of bytes in meta tag: 36\n"},
        OutputCase{"title_weight",
                   kGardenPage,
                   {"list", "--title-weight", "10", "--min-frequency", "1"},
                   "Rank Value Freq. Density\n"
                   "   1   100    4  44.44%  tools\n"
                   "   2    67    3  33.33%  garden\n"
                   "   3    33    1  11.11%  every\n"},
        OutputCase{"keep_common_and_short_words",
                   "<p>to be or not to be</p>\r\n",
                   {"list", "--keep-common-words", "--keep-short-words", "--short-words", "1"},
                   "Rank Value Freq. Density\n"
                   "   1   100    2  33.33%  to\n"
                   "   2   100    2  33.33%  be\n"},
        OutputCase{"accented_words_in_utf8",
                   "<p>caf\xE9 caf\xE9 na&iuml;ve na\xEFve</p>\r\n",
                   {"list", "--language", "fr"},
                   "Rank Value Freq. Density\n"
                   "   1   100    2  50.00%  caf\xC3\xA9\n"
                   "   2   100    2  50.00%  na\xC3\xAFve\n"},
        OutputCase{"density_halves_round_up",
                   EightHundredWords(),
                   {"list", "--min-frequency", "1"},
                   "Rank Value Freq. Density\n"
                   "   1   100    3  0.38%  beta\n"
                   "   2    33    1  0.13%  alpha\n"},
        OutputCase{"no_words",
                   "<p>a b c</p>\r\n",
                   {"tag"},
                   "No words with more than 2 letters occur at least twice.\n"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(CliTest, TheLanguageComesFromTheDocumentUnlessGiven) {
  const std::string page =
      "<html lang=\"de\"><body>Garten und Garten und Werkzeug Werkzeug</body></html>\r\n";
  dir_.Write("seite.html", page);
  CliResult r = RunCli(dir_, {"list", "seite.html"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find("und"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Garten"), std::string::npos);

  r = RunCli(dir_, {"list", "seite.html", "--keep-common-words"});
  EXPECT_NE(r.out.find("  und\n"), std::string::npos) << r.out;

  // English common words do not hold the German "und".
  r = RunCli(dir_, {"list", "seite.html", "--language", "en"});
  EXPECT_NE(r.out.find("  und\n"), std::string::npos) << r.out;
}

TEST_F(CliTest, VerboseSaysHowTheLanguageWasChosenAndChangesNothingElse) {
  const std::string german =
      "<p>Laden Sie das Archiv herunter und entpacken Sie es in einen Ordner. Starten Sie "
      "dann das Skript, das alles pr\xfc"
      "ft, was Sie brauchen, und sagt Ihnen, was fehlt.</p>\r\n";
  struct Case {
    std::string page;
    std::vector<std::string> args;
    std::string line;
  };
  const Case cases[] = {
      {"<html lang=\"fr\">" + german, {"tag"}, "language: fr (declared)"},
      {german, {"list"}, "language: de (recognised)"},
      {kGardenPage, {"tag"}, "language: en (default)"},
      {german, {"tag", "--language", "it"}, "language: it (given)"},
      {german, {"tag", "--language", "all"}, "language: all (given)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    dir_.Write("page.html", c.page);
    std::vector<std::string> args = c.args;
    args.insert(args.begin() + 1, "page.html");
    const CliResult quiet = RunCli(dir_, args);
    args.push_back("--verbose");
    const CliResult verbose = RunCli(dir_, args);
    EXPECT_EQ(verbose.err, c.line + "\n");
    EXPECT_EQ(verbose.out, quiet.out);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(verbose.status, 0);
  }
}

struct RefusalCase {
  const char* name;
  std::string file;
  std::string bytes;  // no file is written when the name is empty
  int captionEntry;
  int textEntry;  // 0: the literal text below
  std::string text;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
  *os << c.name;
}

class CliRefusalTest : public CliTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(CliRefusalTest, AMessageBoxIsOneLineOnStderr) {
  const RefusalCase& c = GetParam();
  if (!c.bytes.empty() || c.name == std::string("zero_bytes")) dir_.Write(c.file, c.bytes);
  const CliResult r = RunCli(dir_, {"tag", c.file});
  const std::string text = c.textEntry != 0 ? Catalogue(c.textEntry) : c.text;
  EXPECT_EQ(r.err, MessageLine(FromUtf8(Catalogue(c.captionEntry)), FromUtf8(text)));
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliRefusalTest,
    testing::Values(RefusalCase{"missing", "gone.html", "", catalogue::kFileNotFoundCaption,
                                catalogue::kFileNotFoundText, ""},
                    RefusalCase{"wrong_kind", "notes.txt", "plain text here",
                                catalogue::kNotHtmlOrPhpCaption, catalogue::kNotHtmlOrPhpText, ""},
                    RefusalCase{"tiny", "tiny.html", "abc", catalogue::kTooShortCaption, 0,
                                "File contains from 1 to 4 bytes only."},
                    RefusalCase{"zero_bytes", "empty.html", "", catalogue::kTooShortCaption,
                                catalogue::kZeroLengthText, ""},
                    RefusalCase{"binary", "blob.html", std::string(3000, '\x01') + "<html>",
                                catalogue::kFileNotFoundCaption, 0, "This is not a text file."}),
    [](const auto& test) { return std::string(test.param.name); });

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  std::string firstLine;
};

void PrintTo(const UsageCase& c, std::ostream* os) {
  *os << c.name;
}

class CliUsageTest : public CliTest, public testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsageTest, ABadCommandLineGivesTheUsage) {
  dir_.Write("page.html", kGardenPage);
  const CliResult r = RunCli(dir_, GetParam().args);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.substr(0, r.err.find('\n')), GetParam().firstLine);
  EXPECT_NE(r.err.find("Usage: tagwright-cli"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliUsageTest,
    testing::Values(
        UsageCase{"no_command", {}, "tagwright-cli: no COMMAND given"},
        UsageCase{"unknown_command", {"frob", "page.html"}, "tagwright-cli: unknown command: frob"},
        UsageCase{"no_file", {"tag"}, "tagwright-cli: no FILE given"},
        UsageCase{"insert_option_on_tag",
                  {"tag", "page.html", "other.html", "--dry-run"},
                  "tagwright-cli: unknown option: --dry-run"},
        UsageCase{"unknown_option",
                  {"list", "page.html", "--bogus"},
                  "tagwright-cli: unknown option: --bogus"},
        UsageCase{"title_weight_not_a_step",
                  {"tag", "page.html", "--title-weight", "55"},
                  "tagwright-cli: invalid value for --title-weight: '55' (10, 20 .. 90)"},
        UsageCase{"title_weight_too_high",
                  {"tag", "page.html", "--title-weight", "100"},
                  "tagwright-cli: invalid value for --title-weight: '100' (10, 20 .. 90)"},
        UsageCase{"bold_weight_zero",
                  {"tag", "page.html", "--bold-weight", "0"},
                  "tagwright-cli: invalid value for --bold-weight: '0' (1, 2 .. 9)"},
        UsageCase{"table_weight_sign",
                  {"tag", "page.html", "--table-weight", "+1"},
                  "tagwright-cli: invalid value for --table-weight: '+1' (0, 1 .. 9)"},
        UsageCase{"max_keywords_low",
                  {"tag", "page.html", "--max-keywords", "4"},
                  "tagwright-cli: invalid value for --max-keywords: '4' (5 .. 100)"},
        UsageCase{"max_bytes_high",
                  {"tag", "page.html", "--max-bytes", "1001"},
                  "tagwright-cli: invalid value for --max-bytes: '1001' (0 .. 1000)"},
        UsageCase{"language",
                  {"tag", "page.html", "--language", "nl"},
                  "tagwright-cli: invalid value for --language: 'nl' (auto, en, fr, de, it, pt, "
                  "es, all)"},
        UsageCase{"missing_value",
                  {"tag", "page.html", "--span-weight"},
                  "tagwright-cli: --span-weight needs a value"},
        UsageCase{"value_on_a_flag",
                  {"tag", "page.html", "--lower-case=yes"},
                  "tagwright-cli: --lower-case takes no value"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(CliTest, HelpGoesToStdout) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, std::vector<std::string>{"tag", "-h"}}) {
    const CliResult r = RunCli(dir_, args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("Usage: tagwright-cli", 0), 0u);
    EXPECT_NE(r.out.find("tagwright-cli list FILE [OPTIONS]"), std::string::npos);
    EXPECT_NE(r.out.find("tagwright-cli tag FILE [OPTIONS]"), std::string::npos);
    EXPECT_NE(r.out.find("--keep-common-words"), std::string::npos);
  }
}

TEST_F(CliTest, AFileNameAfterTheEndOfOptions) {
  dir_.Write("-page.html", kGardenPage);
  const CliResult r = RunCli(dir_, {"tag", "--", "-page.html"});
  EXPECT_EQ(r.out, kGardenTag);
  EXPECT_EQ(r.status, 0);
}

}  // namespace
}  // namespace tw
