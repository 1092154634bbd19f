// The program text catalogue: the shipped file, the file format and every loader result.
#include "catalogue/language2.hpp"

#include <gtest/gtest.h>

#include <string>

#include "support/testfiles.hpp"
#include "text/codepage.hpp"

namespace tw {
namespace {

using test::TempDir;

TEST(ProgramText, ShippedFileHoldsEveryRole) {
  ProgramText texts;
  const int r = texts.LoadProgramText(TAGWRIGHT_SOURCE_DATA_DIR, u"qdx.dat");
  ASSERT_GE(r, 1) << ToUtf8(ProgramText::LoaderMessage(r, texts.path()));
  const int roles[] = {catalogue::kProgramName,       catalogue::kShortName,
                       catalogue::kNotHtmlOrPhpText,  catalogue::kNotHtmlOrPhpCaption,
                       catalogue::kFileNotFoundText,  catalogue::kFileNotFoundCaption,
                       catalogue::kNoInputFileText,   catalogue::kNoInputFileCaption,
                       catalogue::kCheckFileNotFound, catalogue::kManualAddress,
                       catalogue::kTooShortCaption,   catalogue::kZeroLengthText,
                       catalogue::kAccessDeniedText,  catalogue::kStateFolderName,
                       catalogue::kPublisherAddress};
  for (int n : roles)
    EXPECT_FALSE(texts.GetProgramText(n).empty()) << n;
  EXPECT_EQ(texts.GetProgramText(catalogue::kProgramName), u"Tagwright");
  EXPECT_EQ(texts.GetProgramText(catalogue::kShortName), u"Tagwright");
  EXPECT_EQ(texts.GetProgramText(catalogue::kStateFolderName), u"Tagwright");
  EXPECT_EQ(texts.GetProgramText(catalogue::kManualAddress), u"manual.html");
  EXPECT_EQ(texts.GetProgramText(catalogue::kPublisherAddress).rfind(u"https://", 0), 0u);
  EXPECT_TRUE(texts.GetProgramText(12345).empty());
  EXPECT_EQ(texts.path(), std::filesystem::path(TAGWRIGHT_SOURCE_DATA_DIR) / "qdx.dat");
}

TEST(ProgramText, FormatDetails) {
  TempDir dir;
  dir.Write("t.dat",
            "\xEF\xBB\xBF# comment\r\n"
            "\r\n"
            "   \n"
            "1=First\r"
            "2=  spaced  \n"
            "3=line\\none \\\\ back\\slash\r\n"
            "4=~\r\n"
            "5=caf\xC3\xA9 \xE2\x82\xAC\r\n"
            "310=a=b");
  ProgramText texts;
  EXPECT_EQ(texts.LoadProgramText(dir.path(), u"t.dat"), 6);
  EXPECT_EQ(texts.GetProgramText(1), u"First");
  EXPECT_EQ(texts.GetProgramText(2), u"  spaced  ");
  EXPECT_EQ(texts.GetProgramText(3), u"line\r\none \\ back\\slash");
  EXPECT_EQ(texts.GetProgramText(4), u"");
  EXPECT_EQ(texts.GetProgramText(5), u"caf\u00E9 \u20AC");
  EXPECT_EQ(texts.GetProgramText(310), u"a=b");
  EXPECT_EQ(texts.GetProgramText(0), u"");
}

TEST(ProgramText, LoaderResults) {
  const std::string longText(1025, 'x');
  const std::string maxText(1024, 'x');
  const struct {
    std::string bytes;
    int result;
  } cases[] = {
      {"", -6},
      {"# nothing but a comment\r\n\r\n", 0},
      {"1=a\r\n2=\r\n", -502},             // missing string at line 2
      {"1=a\r\n\r\nno number\r\n", -503},  // malformed line 3
      {"=text\r\n", -501},
      {"0=zero\r\n", -501},
      {"-4=minus\r\n", -501},
      {" 1=space before\r\n", -501},
      {"1=a\r\n2=" + longText + "\r\n", -1002},  // too long at line 2
      {"1=" + maxText + "\r\n", 1},
      {"1=a\r\n2=b\r\n1=c\r\n", -1503},  // duplicate at line 3
      {"1=caf\xE9\r\n", -4},             // not UTF-8
      {"1=a\n2=b\n3=c\n", 3},
  };
  TempDir dir;
  for (const auto& c : cases) {
    dir.Write("t.dat", c.bytes);
    ProgramText texts;
    EXPECT_EQ(texts.LoadProgramText(dir.path(), u"t.dat"), c.result) << c.bytes.substr(0, 40);
  }
}

TEST(ProgramText, LineCodesBeyondTheirRange) {
  TempDir dir;
  std::string bytes;
  for (int i = 1; i <= 600; ++i)
    bytes += std::to_string(i) + "=t\r\n";
  bytes += "oops\r\n";
  dir.Write("t.dat", bytes);
  ProgramText texts;
  EXPECT_EQ(texts.LoadProgramText(dir.path(), u"t.dat"), -5);
  std::string dup;
  for (int i = 1; i <= 700; ++i)
    dup += std::to_string(i) + "=t\r\n";
  dup += "1=again\r\n";
  dir.Write("d.dat", dup);
  EXPECT_EQ(texts.LoadProgramText(dir.path(), u"d.dat"), -(1500 + 701));
}

TEST(ProgramText, MissingFolderAndFailedLoad) {
  TempDir dir;
  ProgramText texts;
  EXPECT_EQ(texts.LoadProgramText(dir.path(), u"missing.dat"), -1);
  EXPECT_EQ(texts.path(), dir.path() / "missing.dat");
  std::filesystem::create_directory(dir.path() / "folder.dat");
  EXPECT_EQ(texts.LoadProgramText(dir.path(), u"folder.dat"), -7);

  // A failed load leaves no entries behind.
  dir.Write("good.dat", "1=one\r\n");
  dir.Write("bad.dat", "1=one\r\n1=two\r\n");
  ASSERT_EQ(texts.LoadProgramText(dir.path(), u"good.dat"), 1);
  EXPECT_EQ(texts.GetProgramText(1), u"one");
  EXPECT_LT(texts.LoadProgramText(dir.path(), u"bad.dat"), 0);
  EXPECT_EQ(texts.GetProgramText(1), u"");
}

TEST(ProgramText, LoaderMessages) {
  const std::filesystem::path path = "/opt/tagwright/qdx.dat";
  const struct {
    int r;
    TextView text;
  } cases[] = {
      {5, u""},
      {1, u""},
      {0, u"No program text was read."},
      {-1, u"Cannot open file containing program text.\r\n/opt/tagwright/qdx.dat"},
      {-2, u"Particular memory allocation error."},
      {-3, u"Too much program text."},
      {-4, u"Text not recovered."},
      {-5, u"Error -5"},
      {-6, u"File is empty."},
      {-7, u"Error reading file."},
      {-8, u"General memory allocation error."},
      {-9, u"Error -9"},
      {-500, u"Error -500"},
      {-501, u"Missing string at line 1."},
      {-1000, u"Missing string at line 500."},
      {-1001, u"String too long at line 1."},
      {-1500, u"String too long at line 500."},
      {-1501, u"Duplicate in program text at line 1."},
      {-2201, u"Duplicate in program text at line 701."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProgramText::LoaderMessage(c.r, path), c.text) << c.r;
}

}  // namespace
}  // namespace tw
