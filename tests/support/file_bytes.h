// Whole files as byte strings, for tests that set up fixtures and compare what a run left.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace lumexa::testing
{

inline std::string ReadAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary) << bytes;
}

} // namespace lumexa::testing
