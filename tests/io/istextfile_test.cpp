// Input file checks on real files: names, kinds, encodings, control characters, line ends,
// the first lines of a document and the refusals.
#include "io/istextfile.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>

#include "io/fileproc.hpp"
#include "support/testfiles.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"

namespace tw {
namespace {

using test::TempDir;

Text Name(const std::filesystem::path& p) {
  return FromPath(p);
}

std::string Lines(int from, int to, std::string_view end) {
  std::string s;
  for (int i = from; i <= to; ++i)
    s += "<p>line " + std::to_string(i) + "</p>" + std::string(end);
  return s;
}

TEST(FileNames, Extensions) {
  const struct {
    TextView name;
    TextView lowered;
    TextView asIs;
    bool textType;
  } cases[] = {
      {u"page.HTML", u"html", u"HTML", true},
      {u"/web/archive.tar.gz", u"gz", u"gz", false},
      {u"/web.site/index", u"", u"", false},
      {u"file.", u"", u"", false},
      {u"noext", u"", u"", false},
      {u"notes.TXT", u"txt", u"TXT", true},
      {u"x.php", u"php", u"php", false},
      {u"x.php.log", u"log", u"log", true},
      {u"x.html5", u"html5", u"html5", false},
      {u"data.CSV", u"csv", u"CSV", true},
      {u"", u"", u"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetFileExtension(c.name, true), c.lowered) << ToUtf8(c.name);
    EXPECT_EQ(GetFileExtension(c.name, false), c.asIs) << ToUtf8(c.name);
    EXPECT_EQ(HasTextExtension(c.name), c.textType) << ToUtf8(c.name);
  }
}

TEST(FileNames, DoesFileExist) {
  TempDir dir;
  const auto file = dir.Write("a.htm", "x");
  EXPECT_TRUE(DoesFileExist(Name(file)));
  EXPECT_FALSE(DoesFileExist(Name(dir.path())));
  EXPECT_FALSE(DoesFileExist(Name(dir.path() / "missing.htm")));
  EXPECT_FALSE(DoesFileExist(u""));
}

class ValidateInputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("t.dat", "3=T3\r\n4=C4\r\n5=T5\r\n6=C6\r\n");
    ASSERT_EQ(texts_.LoadProgramText(dir_.path(), u"t.dat"), 4);
  }
  TempDir dir_;
  ProgramText texts_;
};

TEST_F(ValidateInputFileTest, AcceptsExistingHtmlAndPhp) {
  for (const char* name : {"page.shtml", "page.xhtml", "PAGE.HTM", "page.PHP", "a.b.html"}) {
    const auto file = dir_.Write(name, "<html></html>");
    const InputFileVerdict v = ValidateInputFile(Name(file), true, texts_);
    EXPECT_TRUE(v.usable) << name;
    EXPECT_FALSE(v.message) << name;
    EXPECT_FALSE(v.clearInputBox);
  }
}

TEST_F(ValidateInputFileTest, RefusalsAfterStartUp) {
  std::filesystem::create_directory(dir_.path() / "web.site");
  dir_.Write("page.php5", "x");
  dir_.Write("page.txt", "x");
  std::filesystem::create_directory(dir_.path() / "folder.htm");
  const struct {
    std::filesystem::path path;
    Message message;
  } cases[] = {
      {dir_.path() / "web.site" / "index",
       {u"Invalid input", u"Invalid input file specification", MsgIcon::Warning, MsgButtons::Ok}},
      {dir_.path() / "noext",
       {u"Invalid input", u"Invalid input file specification", MsgIcon::Warning, MsgButtons::Ok}},
      {dir_.path() / "page.php5", {u"C4", u"T3", MsgIcon::None, MsgButtons::Ok}},
      {dir_.path() / "page.txt", {u"C4", u"T3", MsgIcon::None, MsgButtons::Ok}},
      {dir_.path() / "missing.htm", {u"C6", u"T5", MsgIcon::Warning, MsgButtons::Ok}},
      {dir_.path() / "folder.htm", {u"C6", u"T5", MsgIcon::Warning, MsgButtons::Ok}},
  };
  for (const auto& c : cases) {
    const InputFileVerdict v = ValidateInputFile(Name(c.path), true, texts_);
    EXPECT_FALSE(v.usable) << c.path;
    ASSERT_TRUE(v.message) << c.path;
    EXPECT_EQ(*v.message, c.message) << c.path;
    EXPECT_FALSE(v.clearInputBox);
    EXPECT_FALSE(v.currentFolder);
  }
}

TEST_F(ValidateInputFileTest, DuringStartUpTheBoxIsEmptiedSilently) {
  dir_.Write("page.txt", "x");
  const struct {
    std::filesystem::path path;
    bool folderKnown;
  } cases[] = {
      {dir_.path() / "web.site" / "index", false},
      {dir_.path() / "page.txt", false},
      {dir_.path() / "missing.htm", true},
      {dir_.path() / "gone" / "missing.htm", false},
  };
  for (const auto& c : cases) {
    const InputFileVerdict v = ValidateInputFile(Name(c.path), false, texts_);
    EXPECT_FALSE(v.usable);
    EXPECT_FALSE(v.message);
    EXPECT_TRUE(v.clearInputBox);
    EXPECT_EQ(v.currentFolder.has_value(), c.folderKnown) << c.path;
    if (c.folderKnown) {
      EXPECT_EQ(*v.currentFolder, Name(dir_.path()));
    }
  }
}

TEST(GetEncodingKind, SignaturesAndSizes) {
  using namespace std::string_literals;
  const struct {
    const char* name;
    std::string bytes;
    int32_t kind;
  } cases[] = {
      {"empty.htm", "", -2},
      {"four.htm", "abcd", -4},
      {"five.htm", "abcde", 0},
      {"doc.htm", "{\\rtf1\\ansi hello}", 6},
      {"le.htm", "\xFF\xFE<\0h\0"s, 1},
      {"le32.htm", "\xFF\xFE\0\0<\0\0\0"s, 1},
      {"be.htm", "\xFE\xFF\0<\0h"s, 2},
      {"bom.htm", "\xEF\xBB\xBF<html>", 3},
      {"be32.htm", "\0\0\xFE\xFF\0\0\0<"s, 5},
      {"decl.xml", "<?xml version=\"1.0\"?><a/>", 3},
      {"wide.xml", "<\0?\0x\0m\0l\0"s, 1},
      {"wideb.xml", "\0<\0?\0x\0m\0l"s, 2},
      {"decl.txt", "<?xml version=\"1.0\"?><a/>", 0},
      {"decl.htm", "<?xml version=\"1.0\"?><a/>", 0},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const auto file = dir.Write(c.name, c.bytes);
    EXPECT_EQ(Code(GetEncodingKind(Name(file), true)), c.kind) << c.name;
  }
  EXPECT_EQ(Code(GetEncodingKind(u"", true)), -5);
  EXPECT_EQ(Code(GetEncodingKind(Name(dir.path() / "missing.htm"), true)), -1);
  EXPECT_EQ(Code(GetEncodingKind(Name(dir.path()), true)), -1);  // a folder is no file
}

TEST(GetEncodingKind, CharsetDeclarations) {
  const std::string meta = "<meta http-equiv=\"Content-Type\" content=\"text/html; ";
  const struct {
    const char* name;
    std::string bytes;
    bool contentCheck;
    int32_t kind;
  } cases[] = {
      {"a.html", "<html>\r\n" + meta + "charset=UTF-8\">\r\n", true, 3},
      {"b.html", "<html>\r\n<meta charset=\"UTF-8\">\r\n", true, 3},
      {"c.html", "<html>\r\n<meta charset=\"utf-8\">\r\n", true, 3},
      {"d.html", "<html>\r\n" + meta + "CHARSET=utf-8\">\r\n", true, 3},
      {"e.html", "<html>\r\n<meta charset='Utf-8'>\r\n", true, 3},
      {"f.html", "<html>\r\n<meta charset=\"iso-8859-1\">\r\n", true, 0},
      {"g.html", "<html>\r\n<meta charset=\"UTF-8\">\r\n", false, 0},
      {"h.php", "<?php ?>\r\n<meta charset=\"UTF-8\">\r\n", true, 0},  // PHP is not searched
      {"i.txt", "x\r\n<meta charset=UTF-8>\r\n", true, 3},
      // Tenth and eleventh non-empty line; empty lines do not count.
      {"j.html", Lines(1, 9, "\r\n\r\n") + "<meta charset=\"UTF-8\">\r\n", true, 3},
      {"k.html", Lines(1, 10, "\r\n") + "<meta charset=\"UTF-8\">\r\n", true, 0},
      // An LF-only document is split at LF: the declaration is on line 12.
      {"l.html", Lines(1, 11, "\n") + "<meta charset=\"UTF-8\">\n", true, 0},
      {"m.html", Lines(1, 5, "\n") + "<meta charset=\"UTF-8\">\n", true, 3},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const auto file = dir.Write(c.name, c.bytes);
    EXPECT_EQ(Code(GetEncodingKind(Name(file), c.contentCheck)), c.kind) << c.name;
  }
}

TEST(GetEncodingKind, Utf8ByContent) {
  std::string cut(static_cast<size_t>(kTextSampleSize) - 1, 'a');
  cut.replace(0, 2, "\xC3\xA9");
  const std::string cutAtSample = cut + "\xC3\xA9 more";  // the sample ends inside é
  const std::string cutAtEnd = cut + "\xC3";              // the file ends inside a sequence
  std::string onlyCut(static_cast<size_t>(kTextSampleSize) - 1, 'a');
  onlyCut += "\xC3\xA9";
  const struct {
    const char* name;
    std::string bytes;
    int32_t kind;
  } cases[] = {
      {"utf8.php", "<?php echo 'caf\xC3\xA9'; ?>", 3},
      {"utf8.htm", "<p>caf\xC3\xA9 \xE2\x82\xAC</p>", 3},
      {"latin.htm", "<p>caf\xE9 \x80</p>", 0},
      {"ascii.htm", "<p>plain text</p>", 0},
      {"mixed.htm", "<p>caf\xC3\xA9 caf\xE9</p>", 0},
      {"overlong.htm", "<p>\xC0\xAF and \xC3\xA9</p>", 0},
      {"surrogate.htm", "<p>\xED\xA0\x80</p>", 0},
      {"cut.htm", cutAtSample, 3},
      {"cutend.htm", cutAtEnd, 0},
      {"onlycut.htm", onlyCut, 0},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const auto file = dir.Write(c.name, c.bytes);
    EXPECT_EQ(Code(GetEncodingKind(Name(file), true)), c.kind) << c.name;
    EXPECT_EQ(Code(GetEncodingKind(Name(file), false)), 0) << c.name;
  }
}

TEST(GetEncodingKind, DevicesCannotBeRead) {
  std::error_code ec;
  if (!std::filesystem::exists("/dev/null", ec)) GTEST_SKIP() << "no /dev/null here";
  EXPECT_EQ(Code(GetEncodingKind(u"/dev/null", true)), -9);
  bool utf8 = false;
  EXPECT_EQ(Code(IsTextFile(u"/dev/null", kTextSampleSize, kNonTextLimitPercent, utf8, true)), -9);
}

TEST(GetEncodingKind, DeniedFiles) {
  TempDir dir;
  const auto file = dir.Write("locked.htm", "<html>text</html>\r\n");
  std::filesystem::permissions(file, std::filesystem::perms::none);
  if (std::ifstream(file).is_open()) {
    GTEST_SKIP() << "running with rights that ignore file permissions (superuser)";
  }
  EXPECT_EQ(Code(GetEncodingKind(Name(file), true)), -3);
  bool utf8 = false;
  EXPECT_EQ(Code(IsTextFile(Name(file), kTextSampleSize, kNonTextLimitPercent, utf8, true)), -3);
}

TEST(IsTextFile, Codes) {
  using namespace std::string_literals;
  std::string oneNul(20000, 'a');
  oneNul[500] = '\0';
  std::string halfNul;
  for (int i = 0; i < 2000; ++i)
    halfNul += "a\0"s;
  std::string limit(16384, 'a');  // 163 control characters are 0.995 percent
  for (int i = 0; i < 163; ++i)
    limit[static_cast<size_t>(i) * 100] = '\x01';
  std::string over = limit;  // 164 are 1.001 percent
  over[16383] = '\x02';
  std::string lateBinary(16384, 'a');  // control characters after the sample do not count
  lateBinary += std::string(10000, '\x03');
  const struct {
    const char* name;
    std::string bytes;
    int32_t code;
    bool utf8;
  } cases[] = {
      {"four.htm", "<p>\r", -4, false},
      {"rtf.htm", "{\\rtf1 x}", 6, false},
      {"utf16.htm", "\xFF\xFE<\0p\0>\0"s, 7, false},
      {"utf32le.htm", "\xFF\xFE\0\0<\0\0\0"s, 7, false},
      {"utf32be.htm", "\0\0\xFE\xFF\0\0\0<"s, 7, false},
      {"bom.htm", "\xEF\xBB\xBF<p>x</p>\n", 1, true},
      {"crlf.htm", "<p>a</p>\r\n<p>b</p>\r\n", 1, false},
      {"lf.htm", "<p>a</p>\n<p>b</p>\n", 2, false},
      {"cr.htm", "<p>a</p>\r<p>b</p>\r", 3, false},
      {"mixed.htm", "<p>a</p>\r\n<p>b</p>\n", 1, false},
      {"oneline.htm", "<p>one line</p>", 1, false},
      {"tabs.htm", "\t\x0C\x08<p>\t\x0C\x08</p>\r\n", 1, false},
      {"onenul.htm", oneNul, 1, false},
      {"halfnul.htm", halfNul, 0, false},
      {"nuls.htm", std::string(100000, '\0'), 0, false},
      {"limit.htm", limit, 1, false},
      {"over.htm", over, 0, false},
      {"late.htm", lateBinary, 1, false},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const auto file = dir.Write(c.name, c.bytes);
    bool utf8 = false;
    EXPECT_EQ(Code(IsTextFile(Name(file), kTextSampleSize, kNonTextLimitPercent, utf8, true)),
              c.code)
        << c.name;
    EXPECT_EQ(utf8, c.utf8) << c.name;
  }
  bool utf8 = true;  // left as it is for files that are not UTF-8
  const auto file = dir.Write("keep.htm", "<p>x</p>\r\n");
  EXPECT_EQ(Code(IsTextFile(Name(file), kTextSampleSize, kNonTextLimitPercent, utf8, true)), 1);
  EXPECT_TRUE(utf8);
  EXPECT_EQ(Code(IsTextFile(Name(dir.path() / "missing.htm"), kTextSampleSize, kNonTextLimitPercent,
                            utf8, true)),
            -1);
  EXPECT_EQ(Code(IsTextFile(u"", kTextSampleSize, kNonTextLimitPercent, utf8, true)), -5);
  EXPECT_EQ(Code(IsTextFile(Name(dir.Write("empty.htm", "")), kTextSampleSize, kNonTextLimitPercent,
                            utf8, true)),
            -2);
}

TEST(IsTextFile, LargeSingleLineDocument) {
  TempDir dir;
  std::string bytes(50u * 1024u * 1024u, 'w');
  bytes += "\r\n";
  const auto file = dir.Write("big.htm", bytes);
  bool utf8 = false;
  EXPECT_EQ(Code(IsTextFile(Name(file), kTextSampleSize, kNonTextLimitPercent, utf8, true)), 1);
  int32_t err = -1;
  Text description;
  int32_t taken = 0;
  const Text text = ReadTextLines(Name(file), true, 10, err, description, taken);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(taken, 1);
  EXPECT_EQ(text.size(), bytes.size() - 2);
}

// The text the sink was given, and how many pieces made it.
struct Streamed {
  bool read = false;
  std::string bytes;
  int pieces = 0;
  FileError error;
};

Streamed Stream(const std::filesystem::path& file, bool skipEmpty, int32_t maximum,
                int stopAfter = 0) {
  Streamed s;
  s.read = StreamTextLines(
      Name(file), skipEmpty, maximum,
      [&s, stopAfter](std::string_view piece) {
        s.bytes.append(piece);
        return ++s.pieces != stopAfter;
      },
      s.error);
  return s;
}

TEST(StreamTextLines, GivesTheTextOfReadTextLines) {
  const struct {
    std::string bytes;
    bool skipEmpty;
    int32_t maximum;
  } cases[] = {
      {"a\r\n\r\nb\r\nc", true, 2},
      {"a\r\n\r\nb\r\nc", false, 0},
      {"a\r\n\r\nb\r\nc", false, 2},
      {"\r\n\r\na\r\n\r\nb", false, 0},  // no line break before the first text
      {"\r\n\r\na\r\n\r\nb", false, 3},
      {"a\r\n  \r\nb", true, 0},
      {"a\nb\n\nc\n", true, 0},
      {"a\nb\n\nc\n", false, 0},
      {"a\nb\r\nc", true, 0},
      {"a\rb\r\rc\r", true, 0},
      {"a\rb\r\rc\r", true, 2},
      {"\r\n\r\n", true, 0},
      {"", false, 0},
      {"caf\xE9\r\n\x80\x81", true, 0},
      {Lines(1, 15, "\r\n\r\n"), true, 10},
      {Lines(1, 15, "\n"), true, 10},
      {std::string(100000, 'x') + "\r\n\r\n" + std::string(70000, 'y') + "\r\nz", true, 10},
      {std::string(100000, 'x') + "\r\n\r\n" + std::string(70000, 'y') + "\r\nz", true, 1},
  };
  TempDir dir;
  int n = 0;
  for (const auto& c : cases) {
    const auto file = dir.Write("s" + std::to_string(n++) + ".htm", c.bytes);
    int32_t err = -1;
    Text description;
    int32_t taken = 0;
    const Text expected =
        ReadTextLines(Name(file), c.skipEmpty, c.maximum, err, description, taken);
    const Streamed s = Stream(file, c.skipEmpty, c.maximum);
    EXPECT_TRUE(s.read) << "case " << n - 1;
    EXPECT_EQ(s.error.number, 0);
    EXPECT_EQ(DecodeCp1252(s.bytes), expected) << "case " << n - 1;
  }
}

TEST(StreamTextLines, StopsWhenTheSinkHasEnough) {
  TempDir dir;
  const auto file = dir.Write("s.htm", "one\r\ntwo\r\nthree\r\n");
  const Streamed all = Stream(file, true, 0);
  EXPECT_EQ(all.bytes, "one\r\ntwo\r\nthree");
  EXPECT_EQ(all.pieces, 5);  // three lines and two line breaks
  const Streamed two = Stream(file, true, 0, 2);
  EXPECT_TRUE(two.read);
  EXPECT_EQ(two.bytes, "one\r\n");
  EXPECT_EQ(two.pieces, 2);
}

TEST(StreamTextLines, Failures) {
  TempDir dir;
  const Streamed missing = Stream(dir.path() / "missing.htm", true, 10);
  EXPECT_FALSE(missing.read);
  EXPECT_EQ(missing.error.number, ENOENT);
  EXPECT_FALSE(missing.error.description.empty());
  EXPECT_EQ(missing.pieces, 0);
  const Streamed folder = Stream(dir.path(), true, 10);
  EXPECT_FALSE(folder.read);
  EXPECT_NE(folder.error.number, 0);
}

TEST(FirstLinesDeclareUtf8, Cases) {
  const std::string decl = "<meta charset=\"utf-8\">";
  const struct {
    const char* what;
    std::string bytes;
    bool utf8;
  } cases[] = {
      {"bare", "<meta charset=utf-8>", true},
      {"double quotes", "<meta charset=\"UTF-8\">", true},
      {"single quotes", "<meta charset='Utf-8'>", true},
      {"mixed quotes", "<meta charset=\"utf-8'>", true},
      {"key in capitals", "<meta CHARSET=uTf-8>", true},
      {"two quotes", "<meta charset=\"\"utf-8\">", false},
      {"space after =", "<meta charset= utf-8>", false},
      {"other charset", "<meta charset=\"iso-8859-1\">", false},
      {"utf8 without hyphen", "<meta charset=utf8>", false},
      {"cut name", "<meta charset=utf-", false},
      {"second key counts", "charset=x charset=\"UTF-8\"", true},
      {"key inside key", "charset=charset=utf-8", true},
      {"key then name", "charset=\"charset=utf-8", true},
      {"accented capital", "\xC7harset=utf-8", false},
      // A declaration never runs over a line end.
      {"key at a line end", "<meta charset=\r\nutf-8>", false},
      {"quote at a line end", "<meta charset=\"\r\nutf-8>", false},
      {"key over LF lines", "<meta charset=\nutf-8>", false},
      {"name after a lone LF", "<meta charset=\nutf-8>\r\n", false},
      {"line 10", Lines(1, 9, "\r\n") + decl, true},
      {"line 11", Lines(1, 10, "\r\n") + decl, false},
      {"empty lines skipped", Lines(1, 9, "\r\n\r\n\r\n") + decl, true},
      {"spaces are a line", Lines(1, 9, "\r\n  \r\n") + decl, false},
      {"LF line 10", Lines(1, 9, "\n") + decl + "\n", true},
      {"LF line 11", Lines(1, 10, "\n\n") + decl + "\n", false},
      {"CR line 10", Lines(1, 9, "\r") + decl + "\r", true},
      {"CR line 11", Lines(1, 10, "\r") + decl + "\r", false},
      {"one long line", std::string(200000, 'x') + decl, true},
      {"over a buffer edge", std::string(65536 - 10, 'x') + decl, true},
      {"long line then line 11", std::string(200000, 'x') + "\r\n" + Lines(2, 10, "\r\n") + decl,
       false},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const auto file = dir.Write("page.html", c.bytes);
    EXPECT_EQ(FirstLinesDeclareUtf8(Name(file)), c.utf8) << c.what;
  }
  EXPECT_FALSE(FirstLinesDeclareUtf8(Name(dir.path() / "missing.html")));
}

TEST(FirstLinesDeclareUtf8, KeyCutByTheReading) {
  // A long line comes in pieces that end where the reading ends: at the first reading and at
  // each chunk after it. The key's name is cut there at every place.
  TempDir dir;
  for (const size_t edge : {size_t{16384}, size_t{65536}, size_t{262144}, size_t{524288}}) {
    for (size_t cut = 0; cut <= 8; ++cut) {
      const auto file = dir.Write("page.html", std::string(edge - cut, 'x') + "ChArSeT=utf-8");
      EXPECT_TRUE(FirstLinesDeclareUtf8(Name(file))) << edge << " - " << cut;
    }
  }
}

// The search as it stood: the first lines read whole, decoded, lowered character by
// character at every position.
bool DeclaresUtf8TheLongWay(TextView name) {
  int32_t err = 0;
  Text description;
  int32_t taken = 0;
  const Text text = ReadTextLines(name, true, kCharsetSearchLines, err, description, taken);
  if (err != 0) return false;
  const auto holdsAt = [&text](size_t at, TextView word) {
    if (at + word.size() > text.size()) return false;
    for (size_t j = 0; j < word.size(); ++j) {
      if (LowerChar(text[at + j]) != word[j]) return false;
    }
    return true;
  };
  for (size_t p = 0; p < text.size(); ++p) {
    if (!holdsAt(p, u"charset=")) continue;
    size_t q = p + 8;
    if (q < text.size() && (text[q] == u'"' || text[q] == u'\'')) ++q;
    if (holdsAt(q, u"utf-8")) return true;
  }
  return false;
}

TEST(FirstLinesDeclareUtf8, AgreesWithTheWholeTextSearch) {
  // Documents put together from pieces of declarations, line ends and empty lines.
  const std::string_view parts[] = {
      "charset=", "CharSet=", "utf-8", "UTF-8", "\"",   "'", "\r\n", "\n",  "\r",
      "\r\n\r\n", "x",        "<p>",   "\xE9",  "\xC7", " ", "-8",   "utf", "charset=\"utf-8\"",
  };
  uint64_t state = 12345;
  const auto next = [&state](uint64_t n) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return (state >> 33) % n;
  };
  TempDir dir;
  int utf8 = 0;
  for (int doc = 0; doc < 400; ++doc) {
    std::string bytes;
    const uint64_t count = 1 + next(60);
    for (uint64_t i = 0; i < count; ++i)
      bytes += parts[next(std::size(parts))];
    const auto file = dir.Write("doc.htm", bytes);
    const bool expected = DeclaresUtf8TheLongWay(Name(file));
    utf8 += expected ? 1 : 0;
    EXPECT_EQ(FirstLinesDeclareUtf8(Name(file)), expected) << bytes;
  }
  // Both answers were met often.
  EXPECT_GT(utf8, 40);
  EXPECT_LT(utf8, 360);
}

TEST(ReadTextLines, Cases) {
  const struct {
    std::string bytes;
    bool skipEmpty;
    int32_t maximum;
    TextView text;
    int32_t taken;
  } cases[] = {
      {"a\r\n\r\nb\r\nc", true, 2, u"a\r\nb", 2},
      {"a\r\n\r\nb\r\nc", false, 0, u"a\r\n\r\nb\r\nc", 4},
      {"a\r\n\r\nb\r\nc", false, 2, u"a\r\n", 2},
      {"a\r\n  \r\nb", true, 0, u"a\r\n  \r\nb", 3},  // spaces are not empty
      {"a\nb\n\nc\n", true, 0, u"a\r\nb\r\nc", 3},    // LF only: split at LF
      {"a\nb\r\nc", true, 0, u"a\nb\r\nc", 2},        // a lone LF stays in its line
      {"\r\n\r\n", true, 0, u"", 0},
      {"", false, 0, u"", 0},
      {"caf\xE9\r\n", true, 0, u"caf\u00E9", 1},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const auto file = dir.Write("r.htm", c.bytes);
    int32_t err = -1;
    Text description = u"old";
    int32_t taken = -1;
    EXPECT_EQ(ReadTextLines(Name(file), c.skipEmpty, c.maximum, err, description, taken),
              Text(c.text));
    EXPECT_EQ(taken, c.taken);
    EXPECT_EQ(err, 0);
    EXPECT_TRUE(description.empty());
  }
}

TEST(ReadTextLines, Failures) {
  TempDir dir;
  int32_t err = 0;
  Text description;
  int32_t taken = 5;
  EXPECT_EQ(ReadTextLines(Name(dir.path() / "missing.htm"), true, 10, err, description, taken),
            u"");
  EXPECT_EQ(err, ENOENT);
  EXPECT_FALSE(description.empty());
  EXPECT_EQ(taken, 0);
  err = 0;
  EXPECT_EQ(ReadTextLines(Name(dir.path()), true, 10, err, description, taken), u"");
  EXPECT_NE(err, 0);
}

}  // namespace
}  // namespace tw
