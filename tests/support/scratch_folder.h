// A fresh, empty folder for one test's files, removed with everything in it when the test
// is done. The name is made unique by mkdtemp, so the same test running from several
// build folders at once, or run again after a crash, never meets another run's files.
#pragma once

#include <filesystem>
#include <string>

namespace lumexa::testing
{

class ScratchFolder
{
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of `name` inside the folder, as the programs under test take it.
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // How many entries the folder holds: a run that leaves a temporary file shows here.
    size_t entries() const;

  private:
    std::filesystem::path path_;
};

} // namespace lumexa::testing
