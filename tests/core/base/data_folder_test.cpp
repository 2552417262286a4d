// Finding the language files beside the program and in the installed share folder, and
// the examples there or, for a program run from its build tree, in the source tree.
#include "core/base/data_folder.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace lumexa
{
namespace
{

class DataFolder : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        fs::create_directories(root / "bin");
        fs::create_directories(root / "share" / "lumexa");
    }
    static void touch(const fs::path& p) { std::ofstream(p) << "Language\r\n"; }

    lumexa::testing::ScratchFolder scratch;
    const fs::path root = scratch.path();
};

TEST_F(DataFolder, PrefersTheProgramsOwnFolder)
{
    touch(root / "bin" / "English.lng");
    touch(root / "share" / "lumexa" / "English.lng");
    EXPECT_EQ(ResolveDataFolder((root / "bin").string()), (root / "bin").string());
}

TEST_F(DataFolder, FallsBackToTheInstalledShareFolder)
{
    touch(root / "share" / "lumexa" / "English.lng");
    EXPECT_EQ(ResolveDataFolder((root / "bin").string()), (root / "share" / "lumexa").string());
}

TEST_F(DataFolder, WithoutLanguageFilesStaysWithTheProgram)
{
    EXPECT_EQ(ResolveDataFolder((root / "bin").string()), (root / "bin").string());
}

TEST_F(DataFolder, ExamplesInstalledBesideTheLanguageFiles)
{
    const fs::path share = root / "share" / "lumexa";
    fs::create_directories(share / "examples");
    EXPECT_EQ(FindExamplesFolder(share.string()), (share / "examples").string());
}

TEST_F(DataFolder, ExamplesOfABuildTreeAreTheSourceTrees)
{
    // build/bin holds the programs and language files; the cache names the source tree.
    const fs::path source = root / "src";
    fs::create_directories(source / "data" / "examples");
    fs::create_directories(root / "build" / "bin");
    std::ofstream(root / "build" / "CMakeCache.txt")
        << "# This is the CMakeCache file.\n"
        << "CMAKE_HOME_DIRECTORY:INTERNAL=" << source.string() << "\r\n";
    EXPECT_EQ(FindExamplesFolder((root / "build" / "bin").string()),
              (source / "data" / "examples").string());
    EXPECT_EQ(FindExamplesFolder((root / "build" / "bin").string() + "/"),
              (source / "data" / "examples").string());
}

TEST_F(DataFolder, NoExamplesAnywhereIsAnEmptyFolderName)
{
    EXPECT_EQ(FindExamplesFolder((root / "bin").string()), "");
    // A build tree whose source has no examples (or a cache without the key).
    std::ofstream(root / "CMakeCache.txt") << "CMAKE_HOME_DIRECTORY:INTERNAL=" << root.string();
    EXPECT_EQ(FindExamplesFolder((root / "bin").string()), "");
    EXPECT_EQ(FindExamplesFolder(""), "");
}

} // namespace
} // namespace lumexa
