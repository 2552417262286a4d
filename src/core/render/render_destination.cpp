// Checking a render's destination.
#include "core/render/render_destination.h"

#include "core/base/error.h"
#include "core/base/input_file.h"

namespace lumexa
{

namespace
{

[[noreturn]] void refuse(const std::string& output, const std::string& reason)
{
    throw CannotWrite(output, reason);
}

} // namespace

void CheckRenderDestination(const std::string& output, const std::string& projectPath,
                            const LedImageSet& leds, const Logo& logo, const ProgramFiles& program,
                            AtomicFileOptions options)
{
    if (!projectPath.empty() && IsSameFile(output, projectPath))
        refuse(output, "it is the project being rendered");
    for (int n = 0; n < leds.count(); ++n) {
        const LedImage& led = leds[n];
        if (IsSameFile(output, led.fileName))
            refuse(output, "it is the picture of LED image " + std::to_string(n));
        if (led.alphaInUse && IsSameFile(output, led.alphaFileName))
            refuse(output, "it is the alpha picture of LED image " + std::to_string(n));
    }
    if (logo.loaded && IsSameFile(output, logo.fileName))
        refuse(output, "it is the logo picture");
    CheckNotProgramFile(output, program);

    // A temporary file made and dropped at once: it meets every check the real one will
    // (a folder that exists and takes files, a destination that is a regular file) and,
    // having no name, leaves nothing behind.
    AtomicFile probe(output, options);
    probe.discard();
}

} // namespace lumexa
