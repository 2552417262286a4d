// The checks a render's destination passes before any work is done, so that a render
// that cannot be written fails at once rather than after the layout, and never destroys
// what it is made from.
#pragma once

#include "core/base/atomic_file.h"
#include "core/base/program_files.h"
#include "core/pictures/led_image_set.h"
#include "core/pictures/logo.h"

#include <string>

namespace lumexa
{

// Throws an Error naming `output` when the result cannot be written there: it is the
// project file (`projectPath`, empty when the project has none) or one of the LED, alpha
// or logo pictures the render reads (the same file through any link), one of the program's
// own files (`program`), it exists and is not a regular file, it may not be written by the
// user (unless `options` allow it), or its folder cannot take a new file. Leaves nothing
// behind.
void CheckRenderDestination(const std::string& output, const std::string& projectPath,
                            const LedImageSet& leds, const Logo& logo, const ProgramFiles& program,
                            AtomicFileOptions options = {});

} // namespace lumexa
