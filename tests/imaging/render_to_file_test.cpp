// The size check of the one render-to-file path: sizes as the layout computes them (64 bits,
// far beyond an int) are judged by the chosen format before anything is written.
#include "imaging/render_to_file.h"

#include "core/base/error.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace lumexa
{
namespace
{

TEST(CheckResultSize, JudgesSixtyFourBitSizesByFormat)
{
    struct Case {
        OutputFormat format;
        int64_t width;
        int64_t height;
        const char* says; // null: accepted
    };
    constexpr int64_t kHuge = int64_t{1} << 33;
    const Case cases[] = {
        {OutputFormat::Targa, 65535, 65535, nullptr},
        {OutputFormat::Targa, 65536, 4, "65536 x 4 pixels is too large for a Targa file"},
        {OutputFormat::Targa, kHuge, 2, "8589934592 x 2 pixels is too large"},
        {OutputFormat::Targa, 3, kHuge + 1, "3 x 8589934593 pixels is too large"},
        {OutputFormat::Targa, 0, 5, "0 x 5 pixels is empty"},
        {OutputFormat::Png, 65536, 4, nullptr},
        {OutputFormat::Tiff, 200000, 3, nullptr},
        {OutputFormat::Png, 7, 0, "7 x 0 pixels is empty"},
        {OutputFormat::Tiff, 0, 0, "0 x 0 pixels is empty"},
    };
    for (const Case& c : cases) {
        const std::string what = std::to_string(c.width) + " x " + std::to_string(c.height);
        try {
            CheckResultSize("/out/result", c.format, c.width, c.height);
            EXPECT_EQ(c.says, nullptr) << what << " was accepted";
        } catch (const Error& e) {
            ASSERT_NE(c.says, nullptr) << what << ": " << e.what();
            const std::string text = e.what();
            EXPECT_NE(text.find(c.says), std::string::npos) << text;
            EXPECT_NE(text.find("/out/result"), std::string::npos) << text;
        }
    }
}

} // namespace
} // namespace lumexa
