// The logo example's result, byte for byte: a change in layout, sampling, composing or
// writing that alters one pixel changes the SHA-256 of the file, and the number of threads
// must change nothing.
#include "support/command_runner.h"
#include "support/render_program.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using lumexa::testing::CommandResult;
using lumexa::testing::kExamples;
using lumexa::testing::kRender;
using lumexa::testing::Quote;
using lumexa::testing::RunShell;

const std::string kLogo = kExamples + "/logo.led";
const std::string kLogoSha256 = "6c3c40a51151c691e58253c521a447bbdabac86d429e112ff64ff518b6b4b5fa";

TEST(GoldenRender, LogoExampleGivesTheSameBytesOnAnyNumberOfThreads)
{
    const lumexa::testing::ScratchFolder scratch;
    for (const char* threads : {"1", "2", "3"}) {
        const std::string out = scratch.file(std::string("logo-") + threads + ".tga");
        const CommandResult run =
            RunShell(Quote(kRender) + " -q -j" + threads + " " + Quote(kLogo) + " " + Quote(out));
        ASSERT_EQ(run.status, 0) << "-j" << threads << ": " << run.output;
        const CommandResult sum = RunShell("sha256sum " + Quote(out));
        ASSERT_EQ(sum.status, 0) << sum.output;
        EXPECT_EQ(sum.output.substr(0, 64), kLogoSha256) << "-j" << threads;
    }
}

} // namespace
