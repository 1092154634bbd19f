// Input file checks on real files: names, kinds, encodings, control characters, line ends,
// the first lines of a document and the refusals.
#include "scan/istextfile.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <string>

#include "scan/fileproc.hpp"
#include "support/testfiles.hpp"
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
    EXPECT_EQ(GetEncodingKind(Name(file), true), c.kind) << c.name;
  }
  EXPECT_EQ(GetEncodingKind(u"", true), -5);
  EXPECT_EQ(GetEncodingKind(Name(dir.path() / "missing.htm"), true), -1);
  EXPECT_EQ(GetEncodingKind(Name(dir.path()), true), -1);  // a folder is no file
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
    EXPECT_EQ(GetEncodingKind(Name(file), c.contentCheck), c.kind) << c.name;
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
    EXPECT_EQ(GetEncodingKind(Name(file), true), c.kind) << c.name;
    EXPECT_EQ(GetEncodingKind(Name(file), false), 0) << c.name;
  }
}

TEST(GetEncodingKind, DevicesCannotBeRead) {
  std::error_code ec;
  if (!std::filesystem::exists("/dev/null", ec)) GTEST_SKIP() << "no /dev/null here";
  EXPECT_EQ(GetEncodingKind(u"/dev/null", true), -9);
  bool utf8 = false;
  EXPECT_EQ(IsTextFile(u"/dev/null", kTextSampleSize, kNonTextLimitPercent, utf8, true), -9);
}

TEST(GetEncodingKind, DeniedFiles) {
  TempDir dir;
  const auto file = dir.Write("locked.htm", "<html>text</html>\r\n");
  std::filesystem::permissions(file, std::filesystem::perms::none);
  if (std::ifstream(file).is_open()) {
    GTEST_SKIP() << "running with rights that ignore file permissions (superuser)";
  }
  EXPECT_EQ(GetEncodingKind(Name(file), true), -3);
  bool utf8 = false;
  EXPECT_EQ(IsTextFile(Name(file), kTextSampleSize, kNonTextLimitPercent, utf8, true), -3);
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
    EXPECT_EQ(IsTextFile(Name(file), kTextSampleSize, kNonTextLimitPercent, utf8, true), c.code)
        << c.name;
    EXPECT_EQ(utf8, c.utf8) << c.name;
  }
  bool utf8 = true;  // left as it is for files that are not UTF-8
  const auto file = dir.Write("keep.htm", "<p>x</p>\r\n");
  EXPECT_EQ(IsTextFile(Name(file), kTextSampleSize, kNonTextLimitPercent, utf8, true), 1);
  EXPECT_TRUE(utf8);
  EXPECT_EQ(IsTextFile(Name(dir.path() / "missing.htm"), kTextSampleSize, kNonTextLimitPercent,
                       utf8, true),
            -1);
  EXPECT_EQ(IsTextFile(u"", kTextSampleSize, kNonTextLimitPercent, utf8, true), -5);
  EXPECT_EQ(IsTextFile(Name(dir.Write("empty.htm", "")), kTextSampleSize, kNonTextLimitPercent,
                       utf8, true),
            -2);
}

TEST(IsTextFile, LargeSingleLineDocument) {
  TempDir dir;
  std::string bytes(50u * 1024u * 1024u, 'w');
  bytes += "\r\n";
  const auto file = dir.Write("big.htm", bytes);
  bool utf8 = false;
  EXPECT_EQ(IsTextFile(Name(file), kTextSampleSize, kNonTextLimitPercent, utf8, true), 1);
  int32_t err = -1;
  Text description;
  int32_t taken = 0;
  const Text text = ReadTextLines(Name(file), true, 10, err, description, taken);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(taken, 1);
  EXPECT_EQ(text.size(), bytes.size() - 2);
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
