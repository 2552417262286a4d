// lumexa-render: renders a saved project into a result file without a window, as the
// render window's Render button would.
#include "cli/cli_options.h"
#include "cli/render_command.h"
#include "core/base/error.h"
#include "core/base/shown_text.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // A file size limit makes a write fail with an error we report, instead of ending
    // the program by signal.
    std::signal(SIGXFSZ, SIG_IGN);

    // Every failure ends here with one line and status 1, never with abort() and a core
    // dump, whatever threw it.
    try {
        lumexa::cli::CliOptions options;
        try {
            options = lumexa::cli::ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
        } catch (const lumexa::cli::UsageError& e) {
            std::fprintf(stderr, "lumexa-render: %s\nTry 'lumexa-render --help' for more.\n",
                         lumexa::EscapeControls(e.message).c_str());
            return 2;
        }
        if (options.help) {
            std::fputs(lumexa::cli::UsageText().c_str(), stdout);
            return 0;
        }
        if (options.version) {
            lumexa::cli::PrintVersion();
            return 0;
        }
        if (options.listFonts)
            return lumexa::cli::ListFonts();
        return lumexa::cli::Render(options, argv[0]);
    } catch (const std::exception& e) {
        // What ran out (memory, threads) is told with what needs less.
        std::fprintf(stderr, "lumexa-render: %s\n",
                     lumexa::EscapeControls(lumexa::ErrorFrom(e).what()).c_str());
    } catch (...) {
        std::fprintf(stderr, "lumexa-render: an unexpected failure stopped the program\n");
    }
    return 1;
}
