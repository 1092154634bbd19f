// Line reading and writing on real files: line ends, buffer edges, long lines, byte-exact
// round trips and the system's errors.
#include "io/fileproc.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <memory>
#include <random>
#include <system_error>
#include <vector>

#include "io/document.hpp"
#include "support/testfiles.hpp"
#include "text/codepage.hpp"

namespace tw {
namespace {

using test::ReadBytes;
using test::TempDir;

std::vector<std::string> ReadAllBytes(const std::filesystem::path& file, LineEnds ends) {
  LineReader reader;
  const FileError error = reader.Open(file, ends);
  EXPECT_FALSE(error.failed()) << ToUtf8(error.description);
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLineBytes(line))
    lines.push_back(line);
  EXPECT_FALSE(reader.failed());
  return lines;
}

std::string AllBytesExcept(std::string_view left_out) {
  std::string s;
  for (int b = 0; b < 256; ++b) {
    if (left_out.find(static_cast<char>(b)) == std::string_view::npos) {
      s.push_back(static_cast<char>(b));
    }
  }
  return s;
}

TEST(LineReader, SplitsLines) {
  const struct {
    std::string_view bytes;
    LineEnds ends;
    std::vector<std::string> lines;
  } cases[] = {
      {"", LineEnds::CrOrCrLf, {}},
      {"a", LineEnds::CrOrCrLf, {"a"}},
      {"a\r\nb\r\n", LineEnds::CrOrCrLf, {"a", "b"}},
      {"a\r\nb", LineEnds::CrOrCrLf, {"a", "b"}},
      {"a\rb\r", LineEnds::CrOrCrLf, {"a", "b"}},
      {"a\nb\r\n", LineEnds::CrOrCrLf, {"a\nb"}},  // a lone LF stays in the line
      {"a\n", LineEnds::CrOrCrLf, {"a\n"}},
      {"\r\n", LineEnds::CrOrCrLf, {""}},
      {"\r\n\r\n", LineEnds::CrOrCrLf, {"", ""}},
      {"a\r\r\nb", LineEnds::CrOrCrLf, {"a", "", "b"}},
      {"a\n\r\n", LineEnds::CrOrCrLf, {"a\n"}},
      {"a\nb\n", LineEnds::LfOnly, {"a", "b"}},
      {"a\nb", LineEnds::LfOnly, {"a", "b"}},
      {"a\r\nb\n", LineEnds::LfOnly, {"a\r", "b"}},  // a stray CR stays in its line
      {"a\rb\n", LineEnds::LfOnly, {"a\rb"}},
      {"\n\n", LineEnds::LfOnly, {"", ""}},
      {std::string_view("\0\0\0", 3), LineEnds::CrOrCrLf, {std::string(3, '\0')}},
  };
  TempDir dir;
  int n = 0;
  for (const auto& c : cases) {
    const auto file = dir.Write("case" + std::to_string(n++) + ".htm", c.bytes);
    EXPECT_EQ(ReadAllBytes(file, c.ends), c.lines) << "case " << n - 1;
  }
}

TEST(LineReader, LineEndAcrossBufferEdges) {
  TempDir dir;
  // The CR of a CR LF falls on each side of the 64 KiB boundary and exactly on it.
  for (size_t first : {65534u, 65535u, 65536u, 65537u, 131071u}) {
    const std::string bytes = std::string(first, 'x') + "\r\ny\r\nz";
    const auto file = dir.Write("edge.htm", bytes);
    const auto lines = ReadAllBytes(file, LineEnds::CrOrCrLf);
    ASSERT_EQ(lines.size(), 3u) << first;
    EXPECT_EQ(lines[0].size(), first);
    EXPECT_EQ(lines[1], "y");
    EXPECT_EQ(lines[2], "z");
  }
}

TEST(LineReader, FiftyMegabyteLine) {
  TempDir dir;
  constexpr size_t kSize = 50u * 1024u * 1024u;
  std::string bytes(kSize, 'w');
  bytes[12345] = '\n';  // a lone LF is part of the line
  bytes += "\r\nlast";
  const auto file = dir.Write("long.htm", bytes);
  LineReader reader;
  FileError error;
  ASSERT_FALSE(reader.Open(file, LineEnds::CrOrCrLf).failed());
  Text line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line.size(), kSize);
  EXPECT_EQ(line[12345], kLF);
  EXPECT_EQ(line.back(), u'w');
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, u"last");
  EXPECT_FALSE(reader.ReadLine(line));
  EXPECT_FALSE(reader.failed());
}

// The lines as ReadLinePiece hands them over, each put together from its pieces; also
// counts the pieces.
std::vector<std::string> ReadAllPieces(const std::filesystem::path& file, LineEnds ends,
                                       size_t* pieces = nullptr) {
  LineReader reader;
  const FileError error = reader.Open(file, ends);
  EXPECT_FALSE(error.failed()) << ToUtf8(error.description);
  std::vector<std::string> lines;
  std::string line;
  std::string_view piece;
  bool endsLine = false;
  size_t count = 0;
  while (reader.ReadLinePiece(piece, endsLine)) {
    ++count;
    line.append(piece);
    if (endsLine) {
      lines.push_back(line);
      line.clear();
    } else {
      EXPECT_FALSE(piece.empty()) << "only the last piece of a line may be empty";
    }
  }
  EXPECT_TRUE(line.empty()) << "a line was left unfinished";
  EXPECT_FALSE(reader.failed());
  if (pieces != nullptr) *pieces = count;
  return lines;
}

TEST(LineReader, PiecesMakeTheSameLines) {
  const struct {
    std::string bytes;
    LineEnds ends;
  } cases[] = {
      {"", LineEnds::CrOrCrLf},
      {"a", LineEnds::CrOrCrLf},
      {"a\r\nb\r\n", LineEnds::CrOrCrLf},
      {"a\rb\r", LineEnds::CrOrCrLf},
      {"a\nb\r\n", LineEnds::CrOrCrLf},
      {"\r\n\r\n", LineEnds::CrOrCrLf},
      {"a\r\r\nb", LineEnds::CrOrCrLf},
      {"a\n\r\n", LineEnds::CrOrCrLf},
      {"a\nb\n", LineEnds::LfOnly},
      {"a\r\nb\n", LineEnds::LfOnly},
      {"\n\n", LineEnds::LfOnly},
      // Line ends on both sides of the 64 KiB buffer edge and exactly on it.
      {std::string(65535, 'x') + "\r\ny", LineEnds::CrOrCrLf},
      {std::string(65536, 'x') + "\r\ny", LineEnds::CrOrCrLf},
      {std::string(65536, 'x') + "\n", LineEnds::LfOnly},
      {std::string(65537, 'x'), LineEnds::CrOrCrLf},
      {std::string(200000, 'x') + "\r\n\r\n" + std::string(70000, 'y'), LineEnds::CrOrCrLf},
  };
  TempDir dir;
  int n = 0;
  for (const auto& c : cases) {
    const auto file = dir.Write("piece" + std::to_string(n++) + ".htm", c.bytes);
    EXPECT_EQ(ReadAllPieces(file, c.ends), ReadAllBytes(file, c.ends)) << "case " << n - 1;
  }
}

// The lines as ReadLineView hands them over, each released after it has been copied, as the
// run releases a line once it has prepared it.
std::vector<std::string> ReadAllViews(const std::filesystem::path& file, LineEnds ends) {
  LineReader reader;
  const FileError error = reader.Open(file, ends);
  EXPECT_FALSE(error.failed()) << ToUtf8(error.description);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.ReadLineView(line)) {
    lines.emplace_back(line);
    reader.ReleaseLine();
  }
  EXPECT_FALSE(reader.failed());
  return lines;
}

TEST(LineReader, ViewsMakeTheSameLines) {
  std::mt19937 rng(11);
  TempDir dir;
  std::vector<std::string> documents = {
      "",
      "a",
      "a\r\nb\r\n",
      "a\rb\r",
      "a\nb\r\n",
      "\r\n\r\n",
      "a\r\r\nb",
      "a\n\r\n",
      std::string(262143, 'x') + "\r\ny",
      std::string(262144, 'x') + "\r\ny",
      std::string(262144, 'x') + "\r",
      std::string(262145, 'x') + "\n\r\ny",
      std::string(5000000, 'z'),
      std::string(300000, 'x') + "\r\n\r\n" + std::string(70000, 'y')};
  // Random lines of random lengths, some longer than a read, with every kind of line end.
  for (int k = 0; k < 8; ++k) {
    std::string doc;
    const int lines = 1 + static_cast<int>(rng() % 200);
    for (int l = 0; l < lines; ++l) {
      doc += std::string(rng() % 7 == 0 ? rng() % 400000 : rng() % 90,
                         static_cast<char>('a' + l % 26));
      doc += std::vector<std::string>{"\r\n", "\r", "\n", ""}[rng() % 4];
    }
    documents.push_back(doc);
  }
  int n = 0;
  for (const std::string& bytes : documents) {
    const auto file = dir.Write("view" + std::to_string(n++) + ".htm", bytes);
    for (LineEnds ends : {LineEnds::CrOrCrLf, LineEnds::LfOnly}) {
      EXPECT_EQ(ReadAllViews(file, ends), ReadAllBytes(file, ends)) << "document " << n - 1;
    }
  }
}

// The room made for the rest of a long document goes, with the last line in it and a few
// bytes to spare after it, to whoever takes it (as the run takes a one-line document's, to
// prepare the line where it lies); while anything after the line has been read, or for a
// short document, the room stays with the reader; the lines read are the same either way.
TEST(LineReader, TheRoomOfALongLastLineIsTakenOver) {
  struct Case {
    const char* name;
    std::string bytes;
    bool keepAll;
    int taken;
  };
  const std::string big(5000000, 'z');
  const std::vector<Case> cases = {
      {"one long line", big, false, 1},
      {"short lines, then a long last one", "a\r\nb\r\n" + big, false, 1},
      {"a long line, then a short last one, which takes the room", big + "\r\nend", false, 1},
      {"a long line, then a short one and a line end", big + "\r\nend\r\n", false, 0},
      {"one line too short for a room of its own", std::string(1000000, 'y'), false, 0},
      {"a reader that keeps everything", big, true, 0},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto file = dir.Write("room.htm", c.bytes);
    DocumentReader document;
    ASSERT_FALSE(document.Open(file).failed());
    document.KeepAll(c.keepAll);
    LineReader reader;
    reader.Attach(document, LineEnds::CrOrCrLf, true);
    std::vector<std::string> lines;
    int taken = 0;
    std::string_view line;
    while (reader.ReadLineView(line)) {
      lines.emplace_back(line);
      size_t room = 0;
      const std::unique_ptr<char[]> bytes = reader.TakeLineRoom(room);
      if (bytes == nullptr) {
        EXPECT_EQ(room, 0U);
        reader.ReleaseLine();
        continue;
      }
      ++taken;
      const auto lineStart = static_cast<size_t>(line.data() - bytes.get());
      EXPECT_LE(lineStart + line.size() + DocumentReader::kRoomToSpare, room);
      EXPECT_EQ(std::string_view(bytes.get() + lineStart, line.size()), lines.back());
    }
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(taken, c.taken);
    EXPECT_EQ(lines, ReadAllBytes(file, LineEnds::CrOrCrLf));
  }
}

TEST(LineReader, ALongLineComesInPiecesOfTheBuffer) {
  TempDir dir;
  const auto file = dir.Write("long.htm", std::string(1000000, 'x') + "\r\nend");
  size_t pieces = 0;
  const auto lines = ReadAllPieces(file, LineEnds::CrOrCrLf, &pieces);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 1000000u);
  EXPECT_EQ(lines[1], "end");
  EXPECT_GT(pieces, 4u);  // 1,000,000 bytes are not read at once
}

TEST(LineReader, ALongLineFollowedByShortOnes) {
  // The room given to a long line does not spill into the lines after it.
  TempDir dir;
  const std::string longLine(150000, '\xE9');
  const auto file = dir.Write("long.htm", longLine + "\r\nab\r\n\r\nc");
  LineReader reader;
  FileError error;
  ASSERT_FALSE(reader.Open(file, LineEnds::CrOrCrLf).failed());
  Text line = u"left over";
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, Text(150000, u'\u00E9'));
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, u"ab");
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, u"");
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, u"c");
  EXPECT_FALSE(reader.ReadLine(line));
  EXPECT_TRUE(line.empty());
  EXPECT_FALSE(reader.failed());
}

TEST(LineReader, CharactersThroughTheCodePage) {
  TempDir dir;
  const auto file = dir.Write("cp.htm", "caf\xE9 \x80 \x93\x81\r\n");
  LineReader reader;
  FileError error;
  ASSERT_FALSE(reader.Open(file, LineEnds::CrOrCrLf).failed());
  Text line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, u"caf\u00E9 \u20AC \u201C\u0081");
}

// Every byte survives reading and writing back: CR LF documents and LF-only ones, whose CR
// after the first 16,384 bytes is an ordinary character.
TEST(LineRoundTrip, AllBytesUnchanged) {
  TempDir dir;
  const std::string crlf =
      AllBytesExcept("\r").insert(10, "\r\n") + "\r\n" + AllBytesExcept("\r") + "\r\n";
  std::string lfOnly;
  while (lfOnly.size() < static_cast<size_t>(kLineEndSampleSize))
    lfOnly += "padding line\n";
  lfOnly += AllBytesExcept("\n") + "\n" + "a\r\nb\rc\n";
  const struct {
    std::string bytes;
    LineEnds ends;
  } cases[] = {{crlf, LineEnds::CrOrCrLf}, {lfOnly, LineEnds::LfOnly}};
  for (const auto& c : cases) {
    const auto in = dir.Write("in.htm", c.bytes);
    ASSERT_EQ(DetectLineEnds(in), c.ends);
    // The lines as text, written back through the code page with the document's line end,
    // and the raw lines with their own ends, give the document back.
    const std::string_view end = c.ends == LineEnds::LfOnly ? "\n" : "\r\n";
    LineReader reader;
    ASSERT_FALSE(reader.Open(in, c.ends).failed());
    std::string out;
    Text line;
    while (reader.ReadLine(line)) {
      out += EncodeCp1252(line);
      out += end;
    }
    EXPECT_EQ(out, c.bytes);
    std::string raw;
    RawLineSplitter lines(c.bytes, c.ends);
    for (RawLine l; lines.Next(l);) {
      raw.append(l.content);
      raw.append(l.ending);
    }
    EXPECT_EQ(raw, c.bytes);
  }
}

TEST(FileErrors, MissingFolderAndDeniedFiles) {
  TempDir dir;
  LineReader reader;
  FileError error = reader.Open(dir.path() / "missing.htm", LineEnds::CrOrCrLf);
  EXPECT_EQ(error.number, ENOENT);
  EXPECT_FALSE(error.description.empty());
  EXPECT_FALSE(error.permissionDenied);
  Text line;
  EXPECT_FALSE(reader.ReadLine(line));

  // A folder where a file is expected fails on every system, also for the superuser.
  error = reader.Open(dir.path(), LineEnds::CrOrCrLf);
  EXPECT_TRUE(error.failed());
}

TEST(FileErrors, PermissionDenied) {
  TempDir dir;
  const auto file = dir.Write("locked.htm", "text\r\n");
  std::filesystem::permissions(file, std::filesystem::perms::none);
  if (std::ifstream(file).is_open()) {
    GTEST_SKIP() << "running with rights that ignore file permissions (superuser)";
  }
  LineReader reader;
  const FileError error = reader.Open(file, LineEnds::CrOrCrLf);
  EXPECT_TRUE(error.failed());
  EXPECT_TRUE(error.permissionDenied);
  EXPECT_EQ(error.number, EACCES);
}

TEST(FileErrors, FromErrorCode) {
  const FileError denied =
      FileError::FromErrorCode(std::make_error_code(std::errc::permission_denied));
  EXPECT_TRUE(denied.failed());
  EXPECT_TRUE(denied.permissionDenied);
  EXPECT_FALSE(denied.description.empty());
  const FileError none = FileError::FromErrorCode(std::error_code());
  EXPECT_FALSE(none.failed());
  EXPECT_TRUE(none.description.empty());
  EXPECT_FALSE(FileError::FromErrno(ENOENT).permissionDenied);
  EXPECT_TRUE(FileError::FromErrno(EACCES).permissionDenied);
}

TEST(DetectLineEnds, Cases) {
  std::string lateCr(static_cast<size_t>(kLineEndSampleSize), 'x');
  lateCr[100] = '\n';
  lateCr += "\r\n";
  std::string lateLf(static_cast<size_t>(kLineEndSampleSize), 'x');
  lateLf += "\n";
  const struct {
    std::string bytes;
    LineEnds ends;
  } cases[] = {
      {"a\nb\n", LineEnds::LfOnly},    {"a\r\nb\r\n", LineEnds::CrOrCrLf},
      {"a\rb", LineEnds::CrOrCrLf},    {"a\nb\r\n", LineEnds::CrOrCrLf},
      {"no ends", LineEnds::CrOrCrLf}, {"", LineEnds::CrOrCrLf},
      {lateCr, LineEnds::LfOnly},      {lateLf, LineEnds::CrOrCrLf},
  };
  TempDir dir;
  for (const auto& c : cases) {
    EXPECT_EQ(DetectLineEnds(dir.Write("d.htm", c.bytes)), c.ends) << c.bytes.size();
  }
  EXPECT_EQ(DetectLineEnds(dir.path() / "missing.htm"), LineEnds::CrOrCrLf);
  EXPECT_EQ(DetectLineEnds(dir.path()), LineEnds::CrOrCrLf);
}

TEST(Paths, NamesSurviveTheWayThroughText) {
  TempDir dir;
  const Text names[] = {u"plain.htm", u"caf\u00E9 \u20AC.html", u"\u0141\u00F3d\u017A.php",
                        u"\U0001F600.htm"};
  for (const Text& name : names) {
    const auto file = dir.path() / ToPath(name);
    test::WriteBytes(file, "x");
    EXPECT_EQ(FromPath(file.filename()), name);
    EXPECT_TRUE(std::filesystem::exists(ToPath(FromPath(file))));
  }
#ifndef _WIN32
  // A name that is not UTF-8 still names the same file after the way through text.
  const std::filesystem::path odd = dir.path() / std::string("odd\xE9\xFF.htm");
  test::WriteBytes(odd, "y");
  const Text asText = FromPath(odd);
  EXPECT_EQ(ToPath(asText), odd);
  EXPECT_EQ(ReadBytes(ToPath(asText)), "y");
#endif
}

}  // namespace
}  // namespace tw
