// Where the programs find their data: beside themselves in the build tree, else through the
// install layout, relative to their own folder.
#include "analysis/programfolder.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/testfiles.hpp"

namespace tw {
namespace {

struct LayoutCase {
  const char* name;
  const char* installedData;  // relative to the programs' folder
  const char* dataAt;         // where qdx.dat is, relative to the prefix; null: nowhere
  bool besideToo;             // a copy beside the program as well
  const char* expected;       // relative to the prefix
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
  *os << c.name;
}

class DataFolderTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(DataFolderTest, FoundBesideTheProgramElseThroughTheLayout) {
  const LayoutCase& c = GetParam();
  test::TempDir dir;
  const auto prefix = dir.path() / "prefix";
  const auto bin = prefix / "bin";
  std::filesystem::create_directories(bin);
  if (c.dataAt != nullptr) {
    std::filesystem::create_directories(prefix / c.dataAt);
    test::WriteBytes(prefix / c.dataAt / "qdx.dat", "1=x\r\n");
  }
  if (c.besideToo) test::WriteBytes(bin / "qdx.dat", "1=x\r\n");
  EXPECT_EQ(DataFolderFor(bin, c.installedData), (prefix / c.expected).lexically_normal());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, DataFolderTest,
    testing::Values(
        // Nothing anywhere: the program's own folder, so that messages name it.
        LayoutCase{"nothing", "../share/tagwright", nullptr, false, "bin"},
        LayoutCase{"share", "../share/tagwright", "share/tagwright", false, "share/tagwright"},
        LayoutCase{"build_tree_first", "../share/tagwright", "share/tagwright", true, "bin"},
        LayoutCase{"other_layout", "../lib/tagwright-data", "lib/tagwright-data", false,
                   "lib/tagwright-data"},
        LayoutCase{"only_its_own_layout", "../lib/tagwright-data", "share/tagwright", false, "bin"},
        LayoutCase{"below_the_programs", "data", "bin/data", false, "bin/data"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ProgramDataFolder, InstalledLayoutIsRelativeAndTheBuildTreeHasItsDataBesideThePrograms) {
  // Relative, so that an installation works under any prefix.
  EXPECT_TRUE(InstalledDataFolderFromPrograms().is_relative());
  EXPECT_FALSE(InstalledDataFolderFromPrograms().empty());
  // The tests run from the build tree, where the data is copied beside the executables.
  ASSERT_FALSE(ProgramFolder().empty());
  EXPECT_EQ(ProgramDataFolder(), ProgramFolder());
}

}  // namespace
}  // namespace tw
