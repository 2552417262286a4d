// A test's own temporary folder.
#include "support/scratch_folder.h"

#include <cerrno>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>
#include <system_error>

namespace lumexa::testing
{

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lumexa-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("Cannot make a scratch folder " + pattern + ": " +
                                 std::strerror(errno));
    path_ = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

size_t ScratchFolder::entries() const
{
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                             std::filesystem::directory_iterator()));
}

} // namespace lumexa::testing
