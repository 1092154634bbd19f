// The insertion when the file system fails: the document and an older backup stay as they
// were, no work or temporary file is left behind, and the message names the failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "io/fileproc.hpp"
#include "support/testfiles.hpp"
#include "tags/faultyfileops.hpp"
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

  InsertOutcome Insert(bool withBackup, InsertFileOps& ops) const {
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

std::vector<Message> ErrorOf(int err) {
  return {Message{u"Error", FileError::FromErrno(err).description, MsgIcon::Warning}};
}

struct FaultCase {
  const char* name;
  bool withBackup;
  FileOp op;
  int nth;
  int err;
};

class FaultTable : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultTable, NothingChangesAndNothingIsLeftBehind) {
  const FaultCase& c = GetParam();
  Site site;
  FaultyFileOps ops;
  ops.FailOn(c.op, c.nth, c.err);
  const InsertOutcome outcome = site.Insert(c.withBackup, ops);
  EXPECT_FALSE(outcome.inserted);
  EXPECT_EQ(outcome.messages, ErrorOf(c.err));
  EXPECT_GE(ops.Calls(c.op), c.nth);
  site.ExpectUntouched();
}

const FaultCase kFaultCases[] = {
    {"ReadOnlyDocument", false, FileOp::CheckWritable, 1, EACCES},
    {"ReadOnlyFileSystem", true, FileOp::CheckWritable, 1, EROFS},
    {"ReadOnlyFolder", false, FileOp::CreateNew, 1, EACCES},
    {"ReadOnlyFolderWithBackup", true, FileOp::CreateNew, 1, EACCES},
    {"FlushFails", false, FileOp::FlushAndClose, 1, ENOSPC},
    {"FlushFailsWithBackup", true, FileOp::FlushAndClose, 1, EIO},
    {"MovingTheDocumentAsideFails", false, FileOp::Rename, 1, EIO},
    {"MovingTheDocumentAsideFailsWithBackup", true, FileOp::Rename, 1, EBUSY},
    {"PlacingTheWorkFileFails", false, FileOp::Rename, 2, EIO},
    {"PlacingTheWorkFileFailsWithBackup", true, FileOp::Rename, 2, EXDEV},
    {"RenamingToTheBackupFails", true, FileOp::Rename, 3, EACCES},
    {"DeletingTheFormerDocumentFails", false, FileOp::Remove, 1, EPERM},
};

INSTANTIATE_TEST_SUITE_P(Failures, FaultTable, ::testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(InsertSafety, DocumentVanishingMidWay) {
  for (bool withBackup : {false, true}) {
    Site site;
    FaultyFileOps ops;
    ops.Before(FileOp::Rename, 1, [&] { fs::remove(site.document); });
    const InsertOutcome outcome = site.Insert(withBackup, ops);
    EXPECT_FALSE(outcome.inserted);
    EXPECT_EQ(outcome.messages, ErrorOf(ENOENT));
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
  EXPECT_EQ(outcome.messages[0].text, FileError::FromErrno(EIO).description +
                                          u"\r\nThe original file is kept as\r\n" + swapName +
                                          u"\r\nThe new file is kept as\r\n" + workName);
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
  EXPECT_EQ(outcome.messages[0].text, FileError::FromErrno(EIO).description +
                                          u"\r\nThe original file is kept as\r\n" + swapName);
  EXPECT_EQ(ReadBytes(site.document), kNewDocument);
  EXPECT_EQ(ReadBytes(ToPath(swapName)), kDocument);
  EXPECT_EQ(ReadBytes(site.backup), kOlderBackup);
}

TEST(InsertSafety, WorkFileThatCannotBeDeletedIsNamed) {
  TempDir dir;
  const auto document = dir.Write("page.html", "<html>\r\n<body>\r\n");
  FaultyFileOps ops;
  ops.FailOn(FileOp::Remove, 1, EIO);
  InsertRequest request;
  request.documentPath = FromPath(document);
  request.tagText = kTag;
  request.isUtf8 = false;
  const InsertOutcome outcome = InsertMetaTag(request, ops);
  ASSERT_EQ(outcome.messages.size(), 1u);
  EXPECT_EQ(outcome.messages[0].caption, u"Not inserted");
  EXPECT_TRUE(outcome.messages[0].text.ends_with(u"\r\nThe work file could not be deleted:\r\n" +
                                                 FromPath(document) + u".tagwright-work"));
  EXPECT_EQ(ReadBytes(document), "<html>\r\n<body>\r\n");
}

TEST(InsertSafety, WorkFileNameInUseIsNotReplaced) {
  Site site;
  const auto taken = site.dir.Write("page.html.tagwright-work", "the user's own file");
  RealInsertFileOps ops;
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
    RealInsertFileOps ops;
    const InsertOutcome outcome = site.Insert(withBackup, ops);
    EXPECT_FALSE(outcome.inserted);
    EXPECT_EQ(outcome.messages, ErrorOf(EACCES));
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
  RealInsertFileOps ops;
  const InsertOutcome outcome = site.Insert(true, ops);
  fs::permissions(site.dir.path(), fs::perms::owner_all, fs::perm_options::add);
  EXPECT_FALSE(outcome.inserted);
  EXPECT_EQ(outcome.messages, ErrorOf(EACCES));
  site.ExpectUntouched();
}

}  // namespace
}  // namespace tw
