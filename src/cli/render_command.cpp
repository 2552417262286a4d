// lumexa-render's work once its command line is read: load the project as a freshly
// started program does, render it through the one render-to-file path, and report.
#include "cli/render_command.h"

#include "cli/headless_project.h"
#include "cli/progress_display.h"

#include "core/base/data_folder.h"
#include "core/base/error.h"
#include "core/project/language_table.h"
#include "core/render/render_preparation.h"
#include "imaging/read/picture_decoder.h"
#include "imaging/render_to_file.h"
#include "lumexa_version.h"
#include "text/qt_glyph_rasterizer.h"

#include <QFont>
#include <QGuiApplication>
#include <QtGlobal>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <stop_token>
#include <unistd.h>

namespace lumexa::cli
{

namespace
{

std::atomic<bool> interrupted{false};

// Qt's notes about the desktop session (no runtime folder, no display) mean nothing to
// a headless run; only its errors are shown.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "lumexa-render: %s\n", message.toLocal8Bit().constData());
}

extern "C" void OnInterrupt(int)
{
    interrupted.store(true);
}

std::string ProgramFolder(const char* argv0)
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path().string();
}

} // namespace

void PrintVersion()
{
    std::printf("lumexa-render %s\nPicture formats read:", LUMEXA_VERSION);
    for (const std::string& f : DecodableFormats())
        std::printf(" %s", f.c_str());
    std::printf("\n");
}

int Render(const CliOptions& options, const char* argv0)
{
    LanguageTable language;
    const std::string data = ResolveDataFolder(ProgramFolder(argv0));
    // Without the language file the log lines show their figures only.
    try {
        language.LoadLanguage(data + "/English.lng");
    } catch (const Error&) {
    }

    const bool live = !options.quiet && ::isatty(STDERR_FILENO) == 1;
    ProgressDisplay display(stderr, language, live, options.quiet);

    try {
        qInstallMessageHandler(QtMessages);
        QtGlyphRasterizer rasterizer; // brings up Qt's text drawing on the offscreen platform
        const std::string windowFont = QGuiApplication::font().family().toStdString();

        HeadlessProject project;
        LoadProjectHeadless(options.project, language, InstalledFontNames(), windowFont, rasterizer,
                            project, [&](const std::string& m) { display.warning(m); });
        CheckRenderable(options.project, project);
        // From here on Ctrl-C cancels (the picture decoder has put its own handlers in
        // place while the project's pictures were read).
        struct sigaction action {
        };
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);

        PrepareRender(project.settings, project.leds);

        RenderRandom random;
        RandomGenerator gen;
        random.fillAtStart(gen);
        RenderSource source;
        source.leds = &project.leds;
        source.rasterizer = &rasterizer;
        source.logo = project.logo.loaded ? &project.logo.picture : nullptr;
        source.random = &random;
        source.generator = &gen;
        RenderLayout layout;
        try {
            layout = LayOutRender(project.settings, source, &display);
        } catch (const Error& e) {
            throw Error(options.project + ": " + ErrorText(e, language));
        }

        RenderToFileOptions fileOptions;
        fileOptions.path = options.output;
        fileOptions.format = options.format;
        fileOptions.threads = options.threads;
        fileOptions.log = &display;
        // Ctrl-C cancels as the Cancel button does, at the next row: the flag set by the
        // signal is read on the job's thread after every row, and no partial file is left;
        // one that arrives before the rows start stops the render at its first row.
        std::stop_source cancel;
        fileOptions.onRow = [&](const RenderJob& job, int, const uint8_t*) {
            if (interrupted.load())
                cancel.request_stop();
            display.rowWritten(job);
        };
        // Refused before anything is composed or written.
        FileRender render(std::move(layout), project.leds, project.settings,
                          std::move(fileOptions));
        const RenderState state = render.run(cancel.get_token());
        display.finish(render.job());

        switch (state) {
        case RenderState::Finished:
            return 0;
        case RenderState::Cancelled:
            std::fprintf(stderr, "lumexa-render: interrupted; %s was not written\n",
                         options.output.c_str());
            return 1;
        default:
            std::fprintf(stderr, "lumexa-render: %s\n", render.error().c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumexa-render: %s\n", ErrorText(e, language).c_str());
        return 1;
    }
}

} // namespace lumexa::cli
