// A scratch folder for runs of lumexa-render that must leave what they find as they found
// it: the examples' unlit and red LED pictures, an earlier result out.tga, projects written
// on demand, and a snapshot of everything in the folder to compare before and after a run.
#pragma once

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace lumexa::testing
{

class ProjectFolder : public ::testing::Test
{
  protected:
    // GraphicsMagick, for the tests that make pictures of their own.
    static void SetUpTestSuite();
    void SetUp() override;

    // Writes the Text-page project `name` in DejaVu Sans: `extra` lines after the font's,
    // then `pictures` as its LED pictures, none with an alpha picture. Returns its path.
    std::string writeProject(const std::string& name, const std::string& text,
                             const std::vector<std::string>& pictures, int fontSize = 12,
                             const std::vector<std::string>& extra = {}) const;

    // The folder's FolderSnapshot.
    std::map<std::string, std::string> snapshot() const;

    ScratchFolder scratch;
    const std::filesystem::path dir = scratch.path();
};

} // namespace lumexa::testing
