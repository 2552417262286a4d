// What lumexa-render does for a command line that asks for a render or the version.
#pragma once

#include "cli/cli_options.h"

namespace lumexa::cli
{

// Renders options.project into options.output, printing progress and log lines on stderr;
// returns the exit status (0 written, 1 failed or interrupted). `argv0` helps find the
// program's data folder.
int Render(const CliOptions& options, const char* argv0);

// The version and the picture formats read, on stdout.
void PrintVersion();

// The installed font families, one a line, on stdout; returns the exit status.
int ListFonts();

} // namespace lumexa::cli
