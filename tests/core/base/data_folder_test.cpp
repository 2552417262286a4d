// Finding the language files beside the program and in the installed share folder.
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

} // namespace
} // namespace lumexa
