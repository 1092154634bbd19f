// The markup scanner: which words a document yields and in which context each stands,
// skipped blocks and sections, tags over several lines, PHP, font sizes, stops, hostile
// input, the one-pass marking of context tags against the replacements in turn, and the
// byte scanner against the reference scanner over 16-bit text on random documents.
#include "scan/scanner.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/settings.hpp"
#include "scan/entities.hpp"
#include "scan/literalscan.hpp"
#include "scan/randommarkup.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"

namespace tw {
namespace {

// Records the words and reads further lines from the fixture's queue.
class Recorder final : public ScanListener {
 public:
  struct Occurrence {
    Text word;
    OccurrenceContext context;
  };
  std::vector<Occurrence> words;
  std::deque<Text>* pending = nullptr;
  int stopAfterWords = -1;
  int afterWordCalls = 0;

  void AddWord(std::string_view word, const OccurrenceContext& context,
               tw::Occurrence /*occurrence*/) override {
    words.push_back({DecodeCp1252(word), context});
  }
  bool AfterWord() override {
    ++afterWordCalls;
    return stopAfterWords >= 0 && afterWordCalls >= stopAfterWords;
  }
  bool ReadRawLine(std::string_view& line) override {
    if (pending->empty()) return false;
    raw_ = EncodeCp1252(pending->front());
    pending->pop_front();
    line = raw_;
    return true;
  }

 private:
  std::string raw_;
};

// A word and its context in a short form: "word" then "/token" for every context that
// differs from plain body text.
std::string Describe(const Recorder::Occurrence& o) {
  std::string s = ToUtf8(o.word);
  const OccurrenceContext& c = o.context;
  if (c.blnInTitle) s += "/title";
  if (c.blnInDescription) s += "/desc";
  if (c.blnInExistingKeywords) s += "/kw";
  if (c.blnBold) s += "/b";
  if (c.blnItalic) s += "/i";
  if (c.intHeadingWeight != 0) s += "/h" + std::to_string(c.intHeadingWeight);
  if (c.intFontSize != kInitialFontSize) s += "/f" + std::to_string(c.intFontSize);
  if (c.intTableDepth != 0) s += "/table" + std::to_string(c.intTableDepth);
  if (c.intDivDepth != 0) s += "/div" + std::to_string(c.intDivDepth);
  if (c.intSpanDepth != 0) s += "/span" + std::to_string(c.intSpanDepth);
  return s;
}

class ScanFixture {
 public:
  // The settings as the window holds them; a run takes its options from them.
  AnalysisSettings settings;
  ScanOptions options;
  Recorder recorder;
  MarkupScanner scanner{options, recorder};

  // Prepares and scans the lines as the run does (each line as the bytes of the code page).
  void Run(const std::vector<Text>& lines) {
    options = ResolveOptions(settings).scan;
    pending_.assign(lines.begin(), lines.end());
    recorder.pending = &pending_;
    recorder.words.clear();
    scanner.Reset();
    const bool lower = !settings.chkPreserveCase;
    while (!pending_.empty() && !scanner.ReachedEndOfDocument()) {
      const std::string line = EncodeCp1252(pending_.front());
      pending_.pop_front();
      if (!scanner.ScanLine(line, false, lower)) continue;
      if (recorder.stopAfterWords >= 0 && recorder.afterWordCalls >= recorder.stopAfterWords) {
        break;
      }
    }
  }

  std::vector<std::string> Described() const {
    std::vector<std::string> out;
    for (const auto& o : recorder.words)
      out.push_back(Describe(o));
    return out;
  }

 private:
  std::deque<Text> pending_;
};

struct ScanCase {
  const char* name;
  std::vector<Text> lines;
  std::vector<std::string> expected;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
  *os << c.name;
}

class DefaultSettingsScan : public testing::TestWithParam<ScanCase> {};

TEST_P(DefaultSettingsScan, YieldsTheWordsInTheirContexts) {
  ScanFixture f;
  f.Run(GetParam().lines);
  EXPECT_EQ(f.Described(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Contexts, DefaultSettingsScan,
    testing::Values(
        ScanCase{"heading", {u"<h2>About us</h2>"}, {"About/h25", "us/h25"}},
        ScanCase{"heading ends at its marker after punctuation or a tag",
                 {u"<h3>Shop now!<br></h3> after"},
                 {"Shop/h20", "now/h20", "after"}},
        ScanCase{"heading with attributes is no context",
                 {u"<h1 class=x>Title</h1> tail"},
                 {"Title", "tail"}},
        ScanCase{"heading levels", {u"<h1>a</h1><h6>b</h6>"}, {"a/h30", "b/h5"}},
        ScanCase{"mixed-case title in a preserved line",
                 {u"<Title>Shop</Title> x"},
                 {"Shop/title", "x"}},
        ScanCase{"bold forms",
                 {u"<B>one</B> <b>two</b> <Strong>three</STRONG> four"},
                 {"one/b", "two/b", "three/b", "four"}},
        ScanCase{"italic forms", {u"<I>one</I> <em>two</Em> three"}, {"one/i", "two/i", "three"}},
        ScanCase{"a bold tag with an inner space is markup", {u"<b >x</b> y"}, {"x", "y"}},
        ScanCase{"contexts go on over lines",
                 {u"<b>one", u"two</b>", u"three"},
                 {"one/b", "two/b", "three"}},
        ScanCase{"description meta tag",
                 {u"<meta name=\"description\" content=\"Red widgets\"> body"},
                 {"Red/desc", "widgets/desc", "body"}},
        ScanCase{"description name with spaces and capitals",
                 {u"<META NAME = \"Description\" CONTENT=\"Red\">x"},
                 {"Red/desc", "x"}},
        ScanCase{"single-quoted description counts nothing",
                 {u"<meta name='description' content='Red widgets'> body"},
                 {"body"}},
        ScanCase{"content before name",
                 {u"<meta content=\"Red widgets\" name=\"description\">after"},
                 {"Red/desc", "widgets/desc", "name/desc", "description/desc", "after"}},
        ScanCase{"keywords meta tag with weight 0 counts nothing",
                 {u"<meta name=\"keywords\" content=\"alpha, beta\"> gamma"},
                 {"gamma"}},
        ScanCase{"other meta tags are skipped",
                 {u"<meta name=\"author\" content=\"Jane Doe\"> text"},
                 {"text"}},
        ScanCase{"description content goes on in the next line",
                 {u"<meta name=\"description\" content=\"Red", u"widgets\"> body"},
                 {"Red/desc", "widgets/desc", "body"}},
        ScanCase{"stray greater-than", {u"a > b <p>text"}, {"a", "b", "text"}},
        ScanCase{"tag over two lines", {u"one <a href=", u"\"x.html\">two</a>"}, {"one", "two"}},
        ScanCase{
            "angle brackets nest inside a tag", {u"<a title=\"<p>\" x>no</a> yes"}, {"no", "yes"}},
        ScanCase{"a line that is only a tag", {u"<p>", u"<br/>"}, {}},
        ScanCase{"script with attributes and mixed-case end",
                 {u"<SCRIPT type=\"text/javascript\">var hidden = 1;", u"more();</Script>shown"},
                 {"shown"}},
        ScanCase{"style block", {u"<style>p { color: red }</style>seen"}, {"seen"}},
        ScanCase{"comment", {u"<!-- hidden", u"still hidden --> seen"}, {"seen"}},
        ScanCase{"a comment must open exactly", {u"<! -- not a comment --> seen"}, {"seen"}},
        ScanCase{"undecoded reference skipped whole", {u"Brand&trade; rocks"}, {"Brand", "rocks"}},
        ScanCase{
            "ampersand without semicolon before a space", {u"AT&T rocks"}, {"AT", "T", "rocks"}},
        ScanCase{"decoded references",
                 {u"caf&eacute; &amp; Fish&nbsp;Chips"},
                 {"café", "Fish", "Chips"}},
        ScanCase{"digits split words", {u"mp3 3d x2y"}, {"mp", "d", "x", "y"}},
        ScanCase{"contractions",
                 {u"don't stop Peter's car they're"},
                 {"stop", "Peter", "s", "car", "they", "re"}},
        ScanCase{"contraction before punctuation", {u"don't."}, {"don", "t"}},
        ScanCase{"font size", {u"<font size=5>big</font> small"}, {"big/f5", "small"}},
        ScanCase{"font size plus", {u"<font size=+2>big</font>"}, {"big/f5"}},
        ScanCase{"font size minus clamps", {u"<font size=-4>tiny</font>"}, {"tiny/f1"}},
        ScanCase{"font size above 7 clamps", {u"<font size=12>huge</font>"}, {"huge/f7"}},
        ScanCase{"font size halves go to even",
                 {u"<font size=2.5>a</font><font size=3.5>b</font>"},
                 {"a/f2", "b/f4"}},
        ScanCase{"nested font sizes come back",
                 {u"<font size=5>a<font size=1>b</font>c</font>d"},
                 {"a/f5", "b/f1", "c/f5", "d"}},
        ScanCase{"font end tag in the next line keeps the size",
                 {u"<font size=4>text", u"</font> after"},
                 {"text", "after"}},
        ScanCase{"font tag over two lines", {u"<font size=5", u"color=red>x</font>y"}, {"x", "y"}},
        ScanCase{"php on one line", {u"a <?php echo 'hidden'; ?> b"}, {"a", "b"}},
        ScanCase{"php over lines, text after its end",
                 {u"<?php", u"echo 'hidden';", u"   ", u"$x = 1; ?> shown"},
                 {"shown"}},
        ScanCase{"php in a font tag switches font sizes off",
                 {u"<font size=5 color=\"<?php echo $c; ?>\">a</font>", u"<font size=6>b</font>"},
                 {"a", "b"}},
        ScanCase{"php open at the end of the document skips the rest",
                 {u"seen <?php", u"echo 'hidden';"},
                 {"seen"}},
        ScanCase{"php open on the last line", {u"seen <?php echo 'hidden';"}, {"seen"}},
        ScanCase{"tables add their weight once",
                 {u"<table><tr><td>a<table>b</table>c</table>d"},
                 {"a/table1", "b/table2", "c/table1", "d"}},
        ScanCase{
            "end tag without a table", {u"</table>a<table>b</table>c"}, {"a", "b/table1", "c"}},
        ScanCase{"div and span",
                 {u"<div class=x>a<span>b</span></div>c"},
                 {"a/div1", "b/div1/span1", "c"}}),
    [](const auto& test) {
      std::string name = test.param.name;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST(ScannerSettings, KeywordsMetaTagCountsWhenItsWeightIsAboveZero) {
  ScanFixture f;
  f.settings.cboExistingKeywordsWeight = 3;
  f.Run({u"<meta name=\"keywords\" content=\"alpha, beta\"> gamma"});
  EXPECT_EQ(f.Described(), (std::vector<std::string>{"alpha/kw", "beta/kw", "gamma"}));
  // The word "content" of a keywords tag is sought in its own case.
  f.Run({u"<meta name=\"keywords\" CONTENT=\"alpha\"> gamma"});
  EXPECT_EQ(f.Described(), (std::vector<std::string>{"gamma"}));
}

TEST(ScannerSettings, LoweredLinesMarkEveryCaseForm) {
  ScanFixture f;
  f.settings.chkPreserveCase = false;
  f.Run({u"<TITLE>Shop</TITLE><B>Big</B><H2>Head</H2><Em>It</eM>"});
  EXPECT_EQ(f.Described(), (std::vector<std::string>{"shop/title", "big/b", "head/h25", "it/i"}));
}

TEST(ScannerSettings, ZeroWeightSectionsAreSkippedOverLines) {
  ScanFixture f;
  f.settings.cboTableWeight = 0;
  std::vector<Text> lines = {u"before <TABLE border=1>"};
  for (int i = 0; i < 8; ++i)
    lines.push_back(u"<tr><td>hidden <table><tr><td>deeper");
  for (int i = 0; i < 4; ++i)
    lines.push_back(u"</td></tr></table></table>");
  lines.push_back(u"hidden still</td></tr></table> after");
  f.Run(lines);
  EXPECT_EQ(f.Described(), (std::vector<std::string>{"before", "after"}));
}

TEST(ScannerSettings, ZeroWeightDivAndSpanAreSkipped) {
  ScanFixture f;
  f.settings.cboDivWeight = 0;
  f.settings.cboSpanWeight = 0;
  f.Run({u"a <div>b <div>c</div>", u"d</DIV> e <span>f", u"g</span> h"});
  EXPECT_EQ(f.Described(), (std::vector<std::string>{"a", "e", "h"}));
}

// A closing tag right behind a section skipped within the line still closes its own section.
TEST(ScannerSettings, ClosingTagRightAfterASkippedSectionIsSeen) {
  struct Case {
    int32_t table, div, span;
    Text line;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {1, 2, 0, u"<div>dv <span>sp</span></div> four", {"dv/div1", "four"}},
      {1,
       0,
       2,
       u"<table><tr><td>tb <div>hidden</div></td></tr></table> after",
       {"tb/table1", "after"}},
      {0,
       2,
       2,
       u"<span>sp <table>hidden</table></span> <div>dv</div> after",
       {"sp/span1", "dv/div1", "after"}},
      {1, 2, 0, u"<div>a <span>x</span><span>y</span></div> b", {"a/div1", "b"}},
  };
  for (const Case& c : cases) {
    ScanFixture f;
    f.settings.cboTableWeight = c.table;
    f.settings.cboDivWeight = c.div;
    f.settings.cboSpanWeight = c.span;
    f.Run({c.line});
    EXPECT_EQ(f.Described(), c.expected) << ToUtf8(c.line);
  }
}

TEST(ScannerSettings, FrenchKeepsHyphensAndApostrophesInWords) {
  ScanFixture f;
  f.settings.cboLanguage = kFrenchLanguageIndex;
  f.Run({u"c'est-\u00E0-dire l'homme"});
  EXPECT_EQ(f.Described(), (std::vector<std::string>{"c'est-à-dire", "l'homme"}));
  f.settings.cboLanguage = 0;
  f.Run({u"c'est-\u00E0-dire"});
  EXPECT_EQ(f.Described(), (std::vector<std::string>{"c", "est", "à", "dire"}));
}

TEST(ScannerCounting, CountsWordsHandedOverButNotDroppedContractions) {
  ScanFixture f;
  f.Run({u"one two don't three"});
  EXPECT_EQ(f.scanner.wordCount(), 3);
  EXPECT_EQ(f.recorder.afterWordCalls, 4);  // the dropped contraction yields too
}

TEST(ScannerStop, ReturnsRightAfterTheWordWhenStopIsAsked) {
  ScanFixture f;
  f.recorder.stopAfterWords = 2;
  f.Run({u"one two three four", u"five"});
  EXPECT_EQ(f.Described(), (std::vector<std::string>{"one", "two"}));
}

TEST(ScannerLongLines, PositionsBeyond32767Work) {
  // A comment, a script and a tag that close far into a long line.
  Text filler(40000, u'.');
  ScanFixture f;
  f.Run({u"<!--" + filler + u"--> a <script>" + filler + u"</script> b <p " + filler +
         u"> c <font size=6>" + filler + u"d</font> e"});
  EXPECT_EQ(f.Described(), (std::vector<std::string>{"a", "b", "c", "d/f6", "e"}));
}

TEST(ScannerLongLines, AVeryLongWordIsCutAt65000Letters) {
  ScanFixture f;
  f.Run({Text(70000, u'a')});
  ASSERT_EQ(f.recorder.words.size(), 2u);
  EXPECT_EQ(f.recorder.words[0].word.size(), 65000u);
  EXPECT_EQ(f.recorder.words[1].word.size(), 5000u);
}

TEST(ScannerLongLines, ManyTagsInOneLineStayCorrect) {
  // Every meta, font and reference check looks at the rest of the line; thousands of them
  // in one line must each still see only what follows them. The description's name at the
  // end of the line is in the rest of the line of every meta tag before it.
  Text line;
  std::vector<std::string> expected;
  for (int i = 0; i < 3000; ++i) {
    line += u"<meta name=\"robots\" content=\"x\"> w &bogus <font size=6>big</font> ";
    expected.push_back("x/desc");
    expected.push_back("w");
    expected.push_back("bogus");
    expected.push_back("big/f6");
  }
  line += u"<meta name=\"description\" content=\"last\">";
  expected.push_back("last/desc");
  ScanFixture f;
  f.Run({line});
  EXPECT_EQ(f.Described(), expected);
}

TEST(ScannerHostileInput, DeepNestingAndOddBytesGiveAResult) {
  ScanFixture f;
  // 100,000 nested "<" and as many ">" after them, then text.
  f.Run({Text(100000, u'<') + Text(100000, u'>') + u" after"});
  EXPECT_EQ(f.Described(), (std::vector<std::string>{"after"}));
  EXPECT_EQ(f.scanner.state().angleDepth, 0);

  // 100,000 unclosed font tags and spans.
  Text fonts;
  for (int i = 0; i < 100000; ++i)
    fonts += u"<font size=1><span>";
  f.Run({fonts + u"x</font>"});
  ASSERT_EQ(f.recorder.words.size(), 1u);
  EXPECT_EQ(f.scanner.state().spanDepth, 100000);

  // Every byte value, NUL included, in several orders.
  Text all;
  for (int round = 0; round < 3; ++round) {
    for (int b = 0; b < 256; ++b)
      all.push_back(Cp1252ToChar(static_cast<unsigned char>(b)));
    std::reverse(all.end() - 256, all.end());
  }
  f.Run({all, u"end"});
  ASSERT_FALSE(f.recorder.words.empty());
}

TEST(ScannerHostileInput, UnbalancedClosingsNeverGoBelowZero) {
  ScanFixture f;
  f.Run({u"> > </font> </table> </div> </span> a <p>b</p> c"});
  EXPECT_EQ(f.Described(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(f.scanner.state().angleDepth, 0);
  EXPECT_EQ(f.scanner.state().tableDepth, 0);
  EXPECT_EQ(f.scanner.state().fontSize, kInitialFontSize);
}

TEST(ScannerHostileInput, RandomMarkupNeverHangsOrLeavesTheLine) {
  const std::vector<Text> pieces = {
      u"<",       u">",        u"<?",          u"?>",      u"<!--",   u"-->",
      u"<table",  u"</table>", u"<font size=", u"</font>", u"<meta ", u"name=\"description\"",
      u"content", u"&",        u";",           u" ",       u"word",   u"'",
      u"7",       u"<script",  u"</script>",   u"\"",      u"<b>",    u"</b>"};
  std::mt19937 rng(12345);
  ScanFixture f;
  f.settings.cboTableWeight = 0;
  for (int doc = 0; doc < 200; ++doc) {
    std::vector<Text> lines;
    for (int l = 0; l < 5; ++l) {
      Text line;
      for (int k = 0; k < 40; ++k)
        line += pieces[rng() % pieces.size()];
      lines.push_back(line);
    }
    f.Run(lines);
    for (const auto& o : f.recorder.words) {
      ASSERT_FALSE(o.word.empty());
      ASSERT_TRUE(IsLetterChar(o.word.front(), false, TextView()));
      ASSERT_GE(o.context.intFontSize, kMinFontSize);
      ASSERT_LE(o.context.intFontSize, kMaxFontSize);
    }
  }
}

// ---- Marking the context tags --------------------------------------------------------

// The replacements one after another over the whole line, as the marking is defined.
Text MarkInTurn(Text line, bool lowered) {
  const std::vector<std::pair<TextView, char16_t>> lower = {
      {u"<b>", marker::kBoldOn},      {u"</b>", marker::kBoldOff},
      {u"<strong>", marker::kBoldOn}, {u"</strong>", marker::kBoldOff},
      {u"<i>", marker::kItalicOn},    {u"</i>", marker::kItalicOff},
      {u"<em>", marker::kItalicOn},   {u"</em>", marker::kItalicOff},
      {u"<title>", marker::kTitleOn}, {u"</title>", marker::kTitleOff},
      {u"<h1>", marker::kHeading1On}, {u"</h1>", marker::kHeadingOff},
      {u"<h2>", marker::kHeading2On}, {u"</h2>", marker::kHeadingOff},
      {u"<h3>", marker::kHeading3On}, {u"</h3>", marker::kHeadingOff},
      {u"<h4>", marker::kHeading4On}, {u"</h4>", marker::kHeadingOff},
      {u"<h5>", marker::kHeading5On}, {u"</h5>", marker::kHeadingOff},
      {u"<h6>", marker::kHeading6On}, {u"</h6>", marker::kHeadingOff}};
  for (const EntityEntry& e : kFixedReplacements)
    line = ReplaceAll(line, e.reference, Text(1, e.character));
  for (const auto& [tag, m] : lower)
    line = ReplaceAll(line, tag, Text(1, m));
  if (!lowered) {
    for (const auto& [tag, m] :
         std::vector<std::pair<TextView, char16_t>>{{u"<B>", marker::kBoldOn},
                                                    {u"</B>", marker::kBoldOff},
                                                    {u"<I>", marker::kItalicOn},
                                                    {u"</I>", marker::kItalicOff}}) {
      line = ReplaceAll(line, tag, Text(1, m));
    }
    for (const auto& [tag, m] :
         std::vector<std::pair<TextView, char16_t>>{{u"<STRONG>", marker::kBoldOn},
                                                    {u"</STRONG>", marker::kBoldOff},
                                                    {u"<EM>", marker::kItalicOn},
                                                    {u"</EM>", marker::kItalicOff},
                                                    {u"<TITLE>", marker::kTitleOn},
                                                    {u"</TITLE>", marker::kTitleOff}}) {
      line = ReplaceNoCase(line, tag, Text(1, m));
    }
    const std::vector<std::pair<TextView, char16_t>> upperHeadings = {
        {u"<H1>", marker::kHeading1On}, {u"</H1>", marker::kHeadingOff},
        {u"<H2>", marker::kHeading2On}, {u"</H2>", marker::kHeadingOff},
        {u"<H3>", marker::kHeading3On}, {u"</H3>", marker::kHeadingOff},
        {u"<H4>", marker::kHeading4On}, {u"</H4>", marker::kHeadingOff},
        {u"<H5>", marker::kHeading5On}, {u"</H5>", marker::kHeadingOff},
        {u"<H6>", marker::kHeading6On}, {u"</H6>", marker::kHeadingOff}};
    for (const auto& [tag, m] : upperHeadings)
      line = ReplaceAll(line, tag, Text(1, m));
  }
  return line;
}

TEST(MarkContextTags, OnePassAgreesWithTheReplacementsInTurn) {
  // Only characters of the code page reach the marking; accented capitals (which switch the
  // lowering of the case-insensitive tags) are among them.
  const std::vector<Text> pieces = {
      u"<",      u">",      u"/",    u"b",     u"B",      u"strong",   u"STRONG",   u"StRoNg", u"i",
      u"I",      u"em",     u"eM",   u"title", u"TiTlE",  u"h",        u"H",        u"1",      u"6",
      u"7",      u"&",      u"nbsp", u"#160",  u"quot",   u"laquo",    u"raquo",    u";",      u" ",
      u"\u00C9", u"\u0160", u"<b>",  u"</h2>", u"&nbsp;", u"<STRONG>", u"</TITLE>", u"<<b>>"};
  std::mt19937 rng(2024);
  for (int i = 0; i < 3000; ++i) {
    Text line;
    const int n = 1 + static_cast<int>(rng() % 30);
    for (int k = 0; k < n; ++k)
      line += pieces[rng() % pieces.size()];
    for (bool lowered : {false, true}) {
      const Text input = lowered ? ToLowerGeneral(line) : line;
      const std::string expected = EncodeCp1252(MarkInTurn(input, lowered));
      std::string marked;
      MarkContextTags(EncodeCp1252(input), lowered, marked);
      ASSERT_EQ(marked, expected) << ToUtf8(line) << (lowered ? " (lowered)" : "");
      std::string inPlace = EncodeCp1252(input);
      MarkContextTagsInPlace(inPlace, lowered);
      ASSERT_EQ(inPlace, expected) << ToUtf8(line) << (lowered ? " (lowered)" : "");
    }
  }
}

// The reference over 16-bit text marks the same way for any character, the dotted capital I
// included (it lowers to an ASCII letter, which no character of the code page does).
TEST(MarkContextTags, TheReferenceAgreesWithTheReplacementsInTurn) {
  const std::vector<Text> pieces = {u"<",   u">",      u"/",       u"b",     u"strong", u"StRoNg",
                                    u"i",   u"em",     u"title",   u"TiTlE", u"h",      u"H",
                                    u"1",   u"&",      u"nbsp",    u";",     u"\u00C9", u"\u0130",
                                    u"<b>", u"&nbsp;", u"</TITLE>"};
  std::mt19937 rng(2025);
  for (int i = 0; i < 2000; ++i) {
    Text line;
    const int n = 1 + static_cast<int>(rng() % 30);
    for (int k = 0; k < n; ++k)
      line += pieces[rng() % pieces.size()];
    for (bool lowered : {false, true}) {
      Text input = lowered ? ToLowerGeneral(line) : line;
      const Text expected = MarkInTurn(input, lowered);
      test::literal::MarkContextTags(input, lowered);
      ASSERT_EQ(input, expected) << ToUtf8(line) << (lowered ? " (lowered)" : "");
    }
  }
}

TEST(MarkContextTags, MarksOnlyTheExactForms) {
  std::string line;
  MarkContextTags(
      "<b class=x>a</b> <h1 id=t>b</H1> <Title>c</TITLE> &nbsp;&#160;&quot;&laquo;&raquo;", false,
      line);
  EXPECT_EQ(line, std::string("<b class=x>a\x0C <h1 id=t>b\x07 \x0E") + "c\x0F" + "   \"\"\"");
}

// Marking and decoding in one pass give what the two steps give one after the other, also
// over the line itself (long lines too, where what is written falls behind what is read by
// less than sixteen bytes, then by more), and in two halves at once.
TEST(MarkAndDecode, AgreesWithMarkingThenDecoding) {
  test::RandomMarkup markup(77);
  for (int i = 0; i < 4000; ++i) {
    const std::string line = EncodeCp1252(markup.Line(1 + markup.Below(i % 8 == 0 ? 300 : 40)));
    std::string twoSteps;
    MarkContextTags(line, false, twoSteps);
    DecodeEntities(twoSteps);
    std::string onePass;
    MarkAndDecode(line, onePass);
    ASSERT_EQ(onePass, twoSteps) << line;
    std::string inPlace = line;
    MarkAndDecodeInPlace(inPlace);
    ASSERT_EQ(inPlace, twoSteps) << line;
    // In two halves at once, wherever the line can be cut.
    std::string halves = line;
    MarkAndDecodeInPlace(halves, 1 + markup.Below(64));
    ASSERT_EQ(halves, twoSteps) << line << " in halves";
  }
}

// A line prepared from bytes is the reference's line prepared from 16-bit text, in every
// mode: UTF-8 decoded or not, lowered or not.
TEST(PrepareScanLine, AgreesWithTheReference) {
  test::RandomMarkup markup(78);
  LineBuffer prepared;
  for (int i = 0; i < 4000; ++i) {
    std::string raw = EncodeCp1252(markup.Line(1 + markup.Below(30)));
    if (markup.OneIn(3)) raw += ToUtf8(u"\u00e9t\u00e9 \u0119 \u20ac\u2014\u0080");
    if (markup.OneIn(5)) raw += "\xC3 \xE2\x82 \xED\xA0\x80 \xC2\x85";
    for (int mode = 0; mode < 4; ++mode) {
      const bool utf8 = (mode & 1) != 0;
      const bool lower = (mode & 2) != 0;
      Text expected = DecodeCp1252(raw);
      const bool scanned = test::literal::PrepareScanLine(expected, utf8, lower);
      ASSERT_EQ(PrepareScanLine(raw, utf8, lower, prepared), scanned) << raw;
      ASSERT_EQ(std::string(prepared.view()), scanned ? EncodeCp1252(expected) : std::string())
          << raw << " mode " << mode;
      // Where it lies, in a room with bytes before it and enough, or too few, after it.
      const size_t before = markup.Below(4);
      const size_t after = std::array<size_t, 3>{0, LineBuffer::kSpare + 1, 64}[markup.Below(3)];
      const size_t roomSize = before + raw.size() + after;
      auto room = std::make_unique<char[]>(roomSize);
      std::copy(raw.begin(), raw.end(), room.get() + before);
      const std::string_view lying(room.get() + before, raw.size());
      LineBuffer inPlace;
      ASSERT_EQ(PrepareScanLineInPlace(std::move(room), roomSize, lying, utf8, lower, inPlace),
                scanned)
          << raw;
      ASSERT_EQ(inPlace.view(), prepared.view()) << raw << " mode " << mode << " in place";
    }
  }
}

// ---- The reference's two small searches --------------------------------------------

TEST(FindCharInSetOrEnd, Cases) {
  using test::literal::FindCharInSetOrEnd;
  EXPECT_EQ(FindCharInSetOrEnd(u"a>b<c", 1, u"<>"), 2);
  EXPECT_EQ(FindCharInSetOrEnd(u"a>b<c", 3, u"<>"), 4);
  EXPECT_EQ(FindCharInSetOrEnd(u"a>b<c", -5, u">"), 2);
  EXPECT_EQ(FindCharInSetOrEnd(u"abc", 1, u">"), 4);
  EXPECT_EQ(FindCharInSetOrEnd(u"abc", 9, u"a"), 4);
  EXPECT_EQ(FindCharInSetOrEnd(u"", 1, u">"), 0);
  EXPECT_EQ(FindCharInSetOrEnd(u"abc", 1, u""), 0);
}

TEST(NextNonSpace, Cases) {
  using test::literal::NextNonSpace;
  EXPECT_EQ(NextNonSpace(u"<  meta", 1), 4);
  EXPECT_EQ(NextNonSpace(u"<meta", 1), 2);
  EXPECT_EQ(NextNonSpace(u"ab   ", 2), 6);
  EXPECT_EQ(NextNonSpace(u"abc", 10), 4);
  EXPECT_EQ(NextNonSpace(u"abc", 0), 1);
}

// ---- The byte scanner against the reference -----------------------------------------

// Records what a scanner hands over, in the same form for both scanners.
struct Handed {
  std::vector<std::string> words;  // word and context, as Describe writes them
  int afterWordCalls = 0;
};

class ByteRecorder final : public ScanListener {
 public:
  ByteRecorder(Handed& out, std::deque<std::string>& lines, int stopAt)
      : out_(out), lines_(lines), stopAt_(stopAt) {}
  void AddWord(std::string_view word, const OccurrenceContext& context,
               Occurrence /*occurrence*/) override {
    out_.words.push_back(Describe({DecodeCp1252(word), context}));
  }
  bool AfterWord() override { return ++out_.afterWordCalls == stopAt_; }
  bool ReadRawLine(std::string_view& line) override {
    if (lines_.empty()) return false;
    raw_ = lines_.front();
    lines_.pop_front();
    line = raw_;
    return true;
  }

 private:
  Handed& out_;
  std::deque<std::string>& lines_;
  int stopAt_;
  std::string raw_;
};

class TextRecorder final : public test::literal::ScanListener {
 public:
  TextRecorder(Handed& out, std::deque<std::string>& lines, int stopAt)
      : out_(out), lines_(lines), stopAt_(stopAt) {}
  void AddWord(Text& word, const OccurrenceContext& context) override {
    out_.words.push_back(Describe({word, context}));
  }
  bool AfterWord() override { return ++out_.afterWordCalls == stopAt_; }
  bool ReadRawLine(Text& line) override {
    if (lines_.empty()) return false;
    line = DecodeCp1252(lines_.front());
    lines_.pop_front();
    return true;
  }

 private:
  Handed& out_;
  std::deque<std::string>& lines_;
  int stopAt_;
};

std::string StateOf(const ScanState& s, bool reachedEnd, int64_t words) {
  std::string out;
  for (bool b : {s.inTag, s.inComment, s.inStyle, s.inScript, s.inTitle, s.bold, s.italic,
                 s.inDescription, s.inExistingKeywords, s.inFontTag, s.fontSizeOff, reachedEnd})
    out += b ? '1' : '0';
  for (int64_t v : {int64_t{s.angleDepth}, int64_t{s.headingWeight}, int64_t{s.tableDepth},
                    int64_t{s.divDepth}, int64_t{s.spanDepth}, int64_t{s.fontSize},
                    static_cast<int64_t>(s.fontSizeStack.size()), words})
    out += " " + std::to_string(v);
  return out;
}

std::string StateOf(const test::literal::MarkupScanner& s) {
  ScanState state;
  state.inTag = s.blnInTag;
  state.inComment = s.blnInComment;
  state.inStyle = s.blnInStyle;
  state.inScript = s.blnInScript;
  state.inTitle = s.blnInTitle;
  state.bold = s.blnBold;
  state.italic = s.blnItalic;
  state.inDescription = s.blnInDescription;
  state.inExistingKeywords = s.blnInExistingKeywords;
  state.inFontTag = s.blnInFontTag;
  state.fontSizeOff = s.blnFontSizeOff;
  state.angleDepth = s.intAngleDepth;
  state.headingWeight = s.intHeadingWeight;
  state.tableDepth = s.intTableDepth;
  state.divDepth = s.intDivDepth;
  state.spanDepth = s.intSpanDepth;
  state.fontSize = s.intFontSize;
  state.fontSizeStack = s.intFontSizeStack;
  return StateOf(state, s.ReachedEndOfDocument(), s.lngTotalWords);
}

class ScannerAgreementTest : public testing::TestWithParam<uint32_t> {};

TEST_P(ScannerAgreementTest, RandomDocumentsGiveTheSameWordsInTheSameContexts) {
  test::RandomMarkup markup(GetParam());
  for (int document = 0; document < 40; ++document) {
    ScanOptions options;
    options.weights.table = markup.OneIn(3) ? 0 : 1;
    options.weights.div = markup.OneIn(3) ? 0 : 2;
    options.weights.span = markup.OneIn(3) ? 0 : 2;
    options.weights.existingKeywords = markup.OneIn(2) ? 0 : 30;
    options.language = LanguageAt(static_cast<int32_t>(markup.Below(8)) - 1);
    const bool lower = markup.OneIn(3);
    const bool utf8 = markup.OneIn(4);
    const int stopAt = markup.OneIn(5) ? static_cast<int>(1 + markup.Below(30)) : -1;
    std::vector<std::string> lines;
    for (const Text& line : markup.Lines(12, 30)) {
      std::string bytes = EncodeCp1252(line);
      if (utf8 && markup.OneIn(2)) bytes += ToUtf8(u" \u00e9t\u00e9\u2014\u0119 ");
      lines.push_back(bytes);
    }

    Handed fromBytes;
    std::deque<std::string> byteLines(lines.begin(), lines.end());
    ByteRecorder byteRecorder(fromBytes, byteLines, stopAt);
    MarkupScanner scanner(options, byteRecorder);
    scanner.Reset();
    while (!byteLines.empty() && !scanner.ReachedEndOfDocument()) {
      const std::string line = byteLines.front();
      byteLines.pop_front();
      scanner.ScanLine(line, utf8, lower);
      if (fromBytes.afterWordCalls >= stopAt && stopAt > 0) break;
    }

    Handed fromText;
    std::deque<std::string> textLines(lines.begin(), lines.end());
    TextRecorder textRecorder(fromText, textLines, stopAt);
    test::literal::MarkupScanner reference(options, textRecorder);
    reference.Reset();
    while (!textLines.empty() && !reference.ReachedEndOfDocument()) {
      Text line = DecodeCp1252(textLines.front());
      textLines.pop_front();
      reference.strScanLine = std::move(line);
      if (!test::literal::PrepareScanLine(reference.strScanLine, utf8, lower)) continue;
      reference.ScanLine();
      if (fromText.afterWordCalls >= stopAt && stopAt > 0) break;
    }

    std::string document_text;
    for (const std::string& line : lines)
      document_text += line + "\n";
    ASSERT_EQ(fromBytes.words, fromText.words) << "seed " << GetParam() << "\n" << document_text;
    ASSERT_EQ(fromBytes.afterWordCalls, fromText.afterWordCalls) << document_text;
    ASSERT_EQ(StateOf(scanner.state(), scanner.ReachedEndOfDocument(), scanner.wordCount()),
              StateOf(reference))
        << document_text;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ScannerAgreementTest, testing::Range(1u, 61u));

// One long line holds every kind of tag thousands of times: the remembered searches of the
// rest of the line must answer each tag as a fresh search would.
TEST(ScannerAgreement, OneLongLine) {
  test::RandomMarkup markup(99);
  for (int document = 0; document < 6; ++document) {
    ScanOptions options;
    options.weights.existingKeywords = document % 2 == 0 ? 0 : 20;
    options.weights.span = document % 3 == 0 ? 0 : 2;
    const std::string line = EncodeCp1252(markup.Line(4000));
    Handed fromBytes;
    std::deque<std::string> noLines;
    ByteRecorder byteRecorder(fromBytes, noLines, -1);
    MarkupScanner scanner(options, byteRecorder);
    scanner.Reset();
    scanner.ScanLine(line, false, false);

    Handed fromText;
    std::deque<std::string> noTextLines;
    TextRecorder textRecorder(fromText, noTextLines, -1);
    test::literal::MarkupScanner reference(options, textRecorder);
    reference.Reset();
    reference.strScanLine = DecodeCp1252(line);
    if (test::literal::PrepareScanLine(reference.strScanLine, false, false)) reference.ScanLine();
    ASSERT_EQ(fromBytes.words, fromText.words) << document;
    ASSERT_EQ(StateOf(scanner.state(), scanner.ReachedEndOfDocument(), scanner.wordCount()),
              StateOf(reference));
  }
}

}  // namespace
}  // namespace tw
