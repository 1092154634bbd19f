// The insertion when the file system fails: the document and an older backup stay as they
// were, no work or temporary file is left behind, and the message names the failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "io/fileproc.hpp"
#include "support/faultyfileops.hpp"
#include "support/testfiles.hpp"
#include "tags/insert.hpp"
#include "text/codepage.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::FaultyFileOps;
using test::FileOp;
using test::ReadBytes;
using test::TempDir;

const Text kTag = u"<meta name=\"keywords\" content=\"safe\">";
const std::string kDocument = "<html>\r\n<head>\r\n<title>T\x80</title>\r\n</head>\r\n<body>\r\n";
const std::string kNewDocument =
    "<html>\r\n<head>\r\n<title>T\x80</title>\r\n<meta name=\"keywords\" content=\"safe\">\r\n"
    "</head>\r\n<body>\r\n";
const std::string kOlderBackup = "older backup\r\n";

std::vector<std::string> FolderFiles(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A folder holding the document and an older backup of it.
struct Site {
  TempDir dir;
  fs::path document = dir.Write("page.html", kDocument);
  fs::path backup = dir.Write("page.bak.html", kOlderBackup);

  InsertOutcome Insert(bool withBackup, FileOps& ops) const {
    InsertRequest request;
    request.documentPath = FromPath(document);
    request.tagText = kTag;
    request.withBackup = withBackup;
    request.isUtf8 = false;
    return InsertMetaTag(request, ops);
  }

  void ExpectUntouched() const {
    EXPECT_EQ(ReadBytes(document), kDocument);
    EXPECT_EQ(ReadBytes(backup), kOlderBackup);
    EXPECT_EQ(FolderFiles(dir.path()), (std::vector<std::string>{"page.bak.html", "page.html"}));
  }
};

// The error box of a failure: what was being done, with which file, the system's text last.
std::vector<Message> ErrorOf(const Text& doing, int err) {
  return {Message{u"Error", u"Error while " + doing + u": " + FileError::FromErrno(err).description,
                  MsgIcon::Warning}};
}

// The names in the messages: the document, its work file, its name while swapping, its backup.
enum class Name { Document, Work, Swap, Backup };

struct FaultCase {
  const char* name;
  bool withBackup;
  FileOp op;
  int nth;
  int err;
  const char16_t* doing;  // with %1 and %2 for the names below
  Name first;
  Name second;
};

class FaultTable : public ::testing::TestWithParam<FaultCase> {};

Text NameOf(const Site& site, Name name) {
  const Text document = FromPath(site.document);
  switch (name) {
    case Name::Document:
      return document;
    case Name::Work:
      return document + u".tagwright-work";
    case Name::Swap:
      return document + u"x";
    case Name::Backup:
      return FromPath(site.backup);
  }
  return Text();
}

TEST_P(FaultTable, NothingChangesAndNothingIsLeftBehind) {
  const FaultCase& c = GetParam();
  Site site;
  FaultyFileOps ops;
  ops.FailOn(c.op, c.nth, c.err);
  const InsertOutcome outcome = site.Insert(c.withBackup, ops);
  Text doing = c.doing;
  doing.replace(doing.find(u"%1"), 2, NameOf(site, c.first));
  if (const size_t at = doing.find(u"%2"); at != Text::npos) {
    doing.replace(at, 2, NameOf(site, c.second));
  }
  EXPECT_FALSE(outcome.inserted);
  EXPECT_EQ(outcome.messages, ErrorOf(doing, c.err));
  EXPECT_GE(ops.Calls(c.op), c.nth);
  site.ExpectUntouched();
}

const FaultCase kFaultCases[] = {
    {"ReadOnlyDocument", false, FileOp::CheckWritable, 1, EACCES, u"opening %1 for writing",
     Name::Document, Name::Document},
    {"ReadOnlyFileSystem", true, FileOp::CheckWritable, 1, EROFS, u"opening %1 for writing",
     Name::Document, Name::Document},
    {"OpeningFails", false, FileOp::OpenForReading, 1, EACCES, u"opening %1", Name::Document,
     Name::Document},
    {"ReadingFails", true, FileOp::Read, 1, EIO, u"reading %1", Name::Document, Name::Document},
    {"StatusFails", false, FileOp::Stat, 1, EIO, u"opening %1", Name::Document, Name::Document},
    {"ReadOnlyFolder", false, FileOp::CreateNew, 1, EACCES, u"creating %1", Name::Work, Name::Work},
    {"ReadOnlyFolderWithBackup", true, FileOp::CreateNew, 1, EACCES, u"creating %1", Name::Work,
     Name::Work},
    {"WritingFails", false, FileOp::Write, 1, ENOSPC, u"writing %1", Name::Work, Name::Work},
    {"FlushFails", false, FileOp::FlushAndClose, 1, ENOSPC, u"flushing %1 to the disk", Name::Work,
     Name::Work},
    {"FlushFailsWithBackup", true, FileOp::FlushAndClose, 1, EIO, u"flushing %1 to the disk",
     Name::Work, Name::Work},
    {"ReadingBackForTheCheckFails", false, FileOp::Read, 2, EIO, u"reading %1", Name::Document,
     Name::Document},
    {"OpeningForTheCheckFails", true, FileOp::OpenForReading, 2, EACCES, u"reading %1",
     Name::Document, Name::Document},
    {"MovingTheDocumentAsideFails", false, FileOp::Rename, 1, EIO, u"renaming %1 to %2",
     Name::Document, Name::Swap},
    {"MovingTheDocumentAsideFailsWithBackup", true, FileOp::Rename, 1, EBUSY, u"renaming %1 to %2",
     Name::Document, Name::Swap},
    {"PlacingTheWorkFileFails", false, FileOp::Rename, 2, EIO, u"renaming %1 to %2", Name::Work,
     Name::Document},
    {"PlacingTheWorkFileFailsWithBackup", true, FileOp::Rename, 2, EXDEV, u"renaming %1 to %2",
     Name::Work, Name::Document},
    {"RenamingToTheBackupFails", true, FileOp::Rename, 3, EACCES, u"renaming %1 to %2", Name::Swap,
     Name::Backup},
    {"DeletingTheFormerDocumentFails", false, FileOp::Remove, 1, EPERM, u"deleting %1", Name::Swap,
     Name::Swap},
};

INSTANTIATE_TEST_SUITE_P(Failures, FaultTable, ::testing::ValuesIn(kFaultCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(InsertSafety, DocumentVanishingMidWay) {
  for (bool withBackup : {false, true}) {
    Site site;
    FaultyFileOps ops;
    ops.Before(FileOp::Rename, 1, [&] { fs::remove(site.document); });
    const InsertOutcome outcome = site.Insert(withBackup, ops);
    EXPECT_FALSE(outcome.inserted);
    EXPECT_EQ(outcome.messages, ErrorOf(u"renaming " + NameOf(site, Name::Document) + u" to " +
                                            NameOf(site, Name::Swap),
                                        ENOENT));
    // Not brought back to life with the new text either.
    EXPECT_EQ(FolderFiles(site.dir.path()), std::vector<std::string>{"page.bak.html"});
    EXPECT_EQ(ReadBytes(site.backup), kOlderBackup);
  }
}

TEST(InsertSafety, RestoreFailingTooKeepsBothFilesAndNamesThem) {
  Site site;
  FaultyFileOps ops;
  ops.FailOn(FileOp::Rename, 2, EIO);  // the work file into the document's place
  ops.FailOn(FileOp::Rename, 3, EIO);  // the former document back
  const InsertOutcome outcome = site.Insert(true, ops);
  EXPECT_FALSE(outcome.inserted);
  ASSERT_EQ(outcome.messages.size(), 1u);
  const Text swapName = FromPath(site.document) + u"x";
  const Text workName = FromPath(site.document) + u".tagwright-work";
  EXPECT_EQ(outcome.messages[0].text,
            u"Error while renaming " + workName + u" to " + FromPath(site.document) + u": " +
                FileError::FromErrno(EIO).description + u"\r\nThe original file is kept as\r\n" +
                swapName + u"\r\nThe new file is kept as\r\n" + workName);
  EXPECT_EQ(ReadBytes(ToPath(swapName)), kDocument);
  EXPECT_EQ(ReadBytes(ToPath(workName)), kNewDocument);
  EXPECT_EQ(ReadBytes(site.backup), kOlderBackup);
}

TEST(InsertSafety, BackupAndRestoreFailingLeaveTheNewDocumentAndNameTheFormer) {
  Site site;
  FaultyFileOps ops;
  ops.FailOn(FileOp::Rename, 3, EIO);  // the former document to the backup name
  ops.FailOn(FileOp::Rename, 4, EIO);  // the former document back
  const InsertOutcome outcome = site.Insert(true, ops);
  EXPECT_FALSE(outcome.inserted);
  const Text swapName = FromPath(site.document) + u"x";
  ASSERT_EQ(outcome.messages.size(), 1u);
  EXPECT_EQ(outcome.messages[0].text, u"Error while renaming " + swapName + u" to " +
                                          FromPath(site.backup) + u": " +
                                          FileError::FromErrno(EIO).description +
                                          u"\r\nThe original file is kept as\r\n" + swapName);
  EXPECT_EQ(ReadBytes(site.document), kNewDocument);
  EXPECT_EQ(ReadBytes(ToPath(swapName)), kDocument);
  EXPECT_EQ(ReadBytes(site.backup), kOlderBackup);
}

TEST(InsertSafety, WorkFileThatCannotBeDeletedIsNamed) {
  Site site;
  FaultyFileOps ops;
  ops.FailOn(FileOp::FlushAndClose, 1, ENOSPC);
  ops.FailOn(FileOp::Remove, 1, EIO);
  const InsertOutcome outcome = site.Insert(false, ops);
  ASSERT_EQ(outcome.messages.size(), 1u);
  EXPECT_EQ(outcome.messages[0].caption, u"Error");
  const Text work = NameOf(site, Name::Work);
  EXPECT_EQ(outcome.messages[0].text, u"Error while flushing " + work + u" to the disk: " +
                                          FileError::FromErrno(ENOSPC).description +
                                          u"\r\nThe work file could not be deleted:\r\n" + work);
  EXPECT_EQ(ReadBytes(site.document), kDocument);
  EXPECT_TRUE(fs::exists(ToPath(work)));
}

TEST(InsertSafety, WorkFileNameInUseIsNotReplaced) {
  Site site;
  const auto taken = site.dir.Write("page.html.tagwright-work", "the user's own file");
  FileOps ops;
  ASSERT_TRUE(site.Insert(false, ops).inserted);
  EXPECT_EQ(ReadBytes(taken), "the user's own file");
  EXPECT_EQ(ReadBytes(site.document), kNewDocument);
  EXPECT_EQ(FolderFiles(site.dir.path()),
            (std::vector<std::string>{"page.bak.html", "page.html", "page.html.tagwright-work"}));
}

// The real permission bits. A read-only document is refused also for a user whom the system
// would let write (root).
TEST(InsertSafety, RealReadOnlyDocument) {
  for (bool withBackup : {false, true}) {
    Site site;
    fs::permissions(site.document, fs::perms::owner_read | fs::perms::group_read);
    FileOps ops;
    const InsertOutcome outcome = site.Insert(withBackup, ops);
    EXPECT_FALSE(outcome.inserted);
    EXPECT_EQ(outcome.messages,
              ErrorOf(u"opening " + NameOf(site, Name::Document) + u" for writing", EACCES));
    site.ExpectUntouched();
  }
}

TEST(InsertSafety, RealReadOnlyFolder) {
  Site site;
  fs::permissions(site.dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  {
    std::ofstream probe(site.dir.path() / "probe");
    if (probe) {
      probe.close();
      fs::remove(site.dir.path() / "probe");
      fs::permissions(site.dir.path(), fs::perms::owner_all, fs::perm_options::add);
      GTEST_SKIP() << "folder permissions are not enforced for this user (root); the seam "
                      "variant ReadOnlyFolder covers it";
    }
  }
  FileOps ops;
  const InsertOutcome outcome = site.Insert(true, ops);
  fs::permissions(site.dir.path(), fs::perms::owner_all, fs::perm_options::add);
  EXPECT_FALSE(outcome.inserted);
  EXPECT_EQ(outcome.messages, ErrorOf(u"creating " + NameOf(site, Name::Work), EACCES));
  site.ExpectUntouched();
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// Another program changes the document after the insertion read it and before the new file
// is swapped in: nothing is written.
TEST(InsertSafety, AConcurrentEditIsNeverLost) {
  struct Case {
    const char* name;
    std::function<void(const Site&)> edit;
  };
  const Case cases[] = {
      {"same_size",
       [](const Site& s) { test::WriteBytes(s.document, std::string(kDocument.size(), 'x')); }},
      {"appended",
       [](const Site& s) { test::WriteBytes(s.document, kDocument + "<p>new</p>\r\n"); }},
      {"replaced_by_a_new_file",
       [](const Site& s) {
         const auto fresh = s.dir.Write("fresh.tmp", kDocument);
         fs::rename(fresh, s.document);
       }},
  };
  for (const Case& c : cases) {
    for (bool withBackup : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (withBackup ? " with backup" : ""));
      Site site;
      std::string edited;
      FaultyFileOps ops;
      // The check that the document is still what was read opens it a second time.
      ops.Before(FileOp::OpenForReading, 2, [&] {
        c.edit(site);
        edited = ReadBytes(site.document);
      });
      const InsertOutcome outcome = site.Insert(withBackup, ops);
      EXPECT_FALSE(outcome.inserted);
      const Message refusal{Text(kInsertCaption),
                            u"The document was changed by another program while the tag was "
                            u"being inserted; nothing was written.",
                            MsgIcon::Warning};
      EXPECT_EQ(outcome.messages, std::vector<Message>{refusal});
      EXPECT_EQ(ReadBytes(site.document), edited);
      EXPECT_EQ(ReadBytes(site.backup), kOlderBackup);
      EXPECT_EQ(FolderFiles(site.dir.path()),
                (std::vector<std::string>{"page.bak.html", "page.html"}));
    }
  }
}

}  // namespace
}  // namespace tw
