// lumexa-render: renders a saved project into a result file without a window, as the
// render window's Render button would.
#include "cli/cli_options.h"
#include "cli/headless_project.h"
#include "cli/progress_display.h"

#include "core/base/data_folder.h"
#include "core/base/error.h"
#include "core/layout/render_layout.h"
#include "core/project/language_table.h"
#include "core/render/dot_renderer.h"
#include "core/render/render_job.h"
#include "core/render/render_preparation.h"
#include "imaging/read/picture_decoder.h"
#include "imaging/write/row_writers.h"
#include "imaging/write/targa_writer.h"
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

namespace
{

using namespace lumexa;

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

void PrintVersion()
{
    std::printf("lumexa-render %s\nPicture formats read:", LUMEXA_VERSION);
    for (const std::string& f : DecodableFormats())
        std::printf(" %s", f.c_str());
    std::printf("\n");
}

int Render(const cli::CliOptions& options, const char* argv0)
{
    LanguageTable language;
    const std::string data = ResolveDataFolder(ProgramFolder(argv0));
    // Without the language file the log lines show their figures only.
    try {
        language.LoadLanguage(data + "/English.lng");
    } catch (const Error&) {
    }

    const bool live = !options.quiet && ::isatty(STDERR_FILENO) == 1;
    cli::ProgressDisplay display(stderr, language, live, options.quiet);

    try {
        qInstallMessageHandler(QtMessages);
        QtGlyphRasterizer rasterizer; // brings up Qt's text drawing on the offscreen platform
        const std::string windowFont = QGuiApplication::font().family().toStdString();

        cli::HeadlessProject project;
        LoadProjectHeadless(options.project, language, InstalledFontNames(), windowFont, rasterizer,
                            project, [&](const std::string& m) { display.warning(m); });
        cli::CheckRenderable(options.project, project);
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
        std::vector<TScatterPoint> points;
        RenderGlyphSource source;
        source.rasterizer = &rasterizer;
        source.logo = project.logo.loaded ? &project.logo.picture : nullptr;
        RenderLayout layout;
        try {
            layout = BuildRenderLayout(project.settings, LedInfoOf(project.leds), source, random,
                                       gen, points, &display);
        } catch (const Error& e) {
            throw Error(options.project + ": " + cli::ErrorText(e, language));
        }
        points = {};

        const OutputFormat format = options.format.value_or(OutputFormatForPath(options.output));
        // Refused before anything is composed or written.
        if (format == OutputFormat::Targa)
            CheckTargaSize(options.output,
                           static_cast<int>(std::min<int64_t>(layout.width, 1 << 30)),
                           static_cast<int>(std::min<int64_t>(layout.height, 1 << 30)));
        const RenderScene scene =
            MakeRenderScene(std::move(layout), project.leds, project.settings);
        const DotRenderer renderer(scene);
        std::unique_ptr<RowWriter> writer = MakeRowWriter(options.output, format);

        RenderJobSetup setup;
        setup.width = scene.width;
        setup.height = scene.height;
        setup.compose = [&](int y, uint8_t* row) { renderer.RenderRow(y, row); };
        setup.writer = writer.get();
        setup.log = &display;
        setup.threads = options.threads;
        // Ctrl-C cancels as the Cancel button does, at the next row: the flag set by the
        // signal is read on the job's thread after every row, and no partial file is left;
        // one that arrives before the rows start stops the render at its first row.
        std::stop_source cancel;
        const RenderJob* running = nullptr;
        setup.observer = [&](int, const uint8_t*) {
            if (interrupted.load())
                cancel.request_stop();
            display.rowWritten(*running);
        };
        RenderJob job(setup);
        running = &job;

        job.run(cancel.get_token());
        display.finish(job);

        switch (job.state()) {
        case RenderState::Finished:
            return 0;
        case RenderState::Cancelled:
            std::fprintf(stderr, "lumexa-render: interrupted; %s was not written\n",
                         options.output.c_str());
            return 1;
        default:
            std::fprintf(stderr, "lumexa-render: %s\n", job.error().c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumexa-render: %s\n", cli::ErrorText(e, language).c_str());
        return 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    // A file size limit makes a write fail with an error we report, instead of ending
    // the program by signal.
    std::signal(SIGXFSZ, SIG_IGN);

    lumexa::cli::CliOptions options;
    try {
        options = lumexa::cli::ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const lumexa::cli::UsageError& e) {
        std::fprintf(stderr, "lumexa-render: %s\nTry 'lumexa-render --help' for more.\n",
                     e.message.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(lumexa::cli::UsageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        PrintVersion();
        return 0;
    }
    return Render(options, argv[0]);
}
