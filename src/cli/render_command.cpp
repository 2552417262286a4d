// lumexa-render's work once its command line is read: load the project as a freshly
// started program does, render it through the one render-to-file path, and report.
#include "cli/render_command.h"

#include "cli/headless_project.h"
#include "cli/progress_display.h"

#include "core/base/data_folder.h"
#include "core/base/error.h"
#include "core/base/program_files.h"
#include "core/base/shown_text.h"
#include "core/project/error_text.h"
#include "core/project/language_table.h"
#include "core/render/render_destination.h"
#include "core/render/render_preparation.h"
#include "core/run/background_run.h"
#include "imaging/pyramid_to_file.h"
#include "imaging/read/picture_decoder.h"
#include "imaging/render_request.h"
#include "lumexa_version.h"
#include "text/qt_glyph_rasterizer.h"

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QSettings>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <new>
#include <unistd.h>

namespace lumexa::cli
{

namespace
{

std::atomic<bool> interrupted{false};
// How often the waiting thread looks at the run: often enough that Ctrl-C and the progress
// line feel immediate.
constexpr int kPollMilliseconds = 50;

// Qt's notes about the desktop session (no runtime folder, no display) mean nothing to
// a headless run; only its errors are shown.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "lumexa-render: %s\n",
                     EscapeControls(message.toLocal8Bit().toStdString()).c_str());
}

extern "C" void OnInterrupt(int)
{
    interrupted.store(true);
}

// Ctrl-C, a closed terminal (SIGHUP) and kill cancel as the Cancel button does: the run
// stops at its next check and no partial file is left. A reader of our messages that goes
// away (SIGPIPE, as with `| head`) must not end the render either.
void InstallSignalHandlers()
{
    struct sigaction action {
    };
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int ReportInterrupted(const std::string& output)
{
    std::fprintf(stderr, "lumexa-render: interrupted; %s was not written\n",
                 ShownText(output).c_str());
    return 1;
}

std::string ProgramFolder(const char* argv0)
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path().string();
}

// The files of the program's own that no result may replace: those of the data folder and
// the window's settings file.
ProgramFiles OwnFiles(const std::string& dataFolder)
{
    ProgramFiles files;
    files.dataFolder = dataFolder;
    const QSettings settings(QString::fromLatin1(kSettingsOrganisation),
                             QString::fromLatin1(kSettingsApplication));
    files.settingsFile = QFile::encodeName(settings.fileName()).toStdString();
    return files;
}

// One line of an error on stderr, with nothing in it that a terminal would obey.
void PrintError(const std::string& text)
{
    std::fprintf(stderr, "lumexa-render: %s\n", EscapeControls(text).c_str());
}

std::string PosterLine(const PosterPlan& plan, const PosterRequest& request)
{
    char line[256];
    std::snprintf(line, sizeof line, "Poster: %d x %d sheets of %s %s, %.1f x %.1f cm, %d pages",
                  plan.columns, plan.rows, request.paper.name.c_str(),
                  plan.landscape ? "landscape" : "portrait", plan.widthMm / 10, plan.heightMm / 10,
                  plan.pageCount());
    return line;
}

// The request of the command line for a loaded project.
RenderRequest MakeRequest(const CliOptions& options, const HeadlessProject& project,
                          GlyphRasterizer& rasterizer, RenderRandom& random, RandomGenerator& gen,
                          ProgressDisplay& display, const std::string& webFolder)
{
    RenderRequest request;
    request.settings = project.settings;
    if (options.background) {
        request.settings.useBackground = *options.background != BackgroundChoice::Off;
        if (*options.background != BackgroundChoice::Off)
            request.settings.backgroundOpacity = *options.background == BackgroundChoice::Opaque
                                                     ? BackgroundOpacity::Opaque
                                                     : BackgroundOpacity::Transparent;
    }
    request.source.leds = &project.leds;
    request.source.rasterizer = &rasterizer;
    request.source.logo = project.logo.loaded ? &project.logo.picture : nullptr;
    request.source.random = &random;
    request.source.generator = &gen;
    request.output.path = options.output;
    request.output.dpi = options.dpi.value_or(project.settings.printDpi);
    request.output.format = options.format;
    request.output.threads = options.threads;
    request.output.region = options.region;
    request.output.scale = options.scale;
    request.output.compression = options.compression;
    request.output.tileFormat = options.tileFormat.value_or(TileFormat::Png);
    request.output.quality = options.quality.value_or(kDefaultJpegQuality);
    request.output.pyramid = options.pyramid;
    request.output.webFolder = webFolder;
    request.output.log = &display;
    if (options.poster) {
        PosterRequest poster;
        poster.paper = *options.poster;
        poster.orientation = options.orientation;
        poster.marginMm = options.marginMm;
        poster.overlapMm = options.overlapMm;
        poster.dpi = request.output.dpi;
        poster.widthMm = options.posterWidthMm;
        poster.heightMm = options.posterHeightMm;
        request.poster = poster;
        request.onPosterPlan = [&display](const PosterPlan& plan, const PosterRequest& planned) {
            display.note(PosterLine(plan, planned));
        };
    }
    return request;
}

} // namespace

void PrintVersion()
{
    std::printf("lumexa-render %s\nPicture formats read:", LUMEXA_VERSION);
    for (const std::string& f : DecodableFormats())
        std::printf(" %s", f.c_str());
    std::printf("\n");
}

int ListFonts()
{
    qInstallMessageHandler(QtMessages);
    const QtGlyphRasterizer rasterizer; // brings up Qt's font database
    for (const std::string& family : InstalledFontNames())
        std::printf("%s\n", family.c_str());
    return 0;
}

int Render(const CliOptions& options, const char* argv0)
{
    InstallSignalHandlers();

    LanguageTable language;
    const std::string data = ResolveDataFolder(ProgramFolder(argv0));
    // Without the language file the log lines show their figures only; one that is there
    // but cannot be used is worth a word.
    const std::string languageFile = data + "/English.lng";
    try {
        language.LoadLanguage(languageFile);
    } catch (const Error& e) {
        std::error_code ec;
        if (std::filesystem::exists(languageFile, ec))
            PrintError(std::string("warning: ") + e.what());
    }

    const bool live = !options.quiet && ::isatty(STDERR_FILENO) == 1;
    ProgressDisplay display(stderr, language, live, options.quiet);

    try {
        qInstallMessageHandler(QtMessages);
        QtGlyphRasterizer rasterizer; // brings up Qt's text drawing on the offscreen platform
        const std::string windowFont = QGuiApplication::font().family().toStdString();
        const std::vector<std::string> fontNames = InstalledFontNames();

        // The project is read, laid out, composed and written on a run of its own, while
        // this thread shows the progress and turns Ctrl-C into a stop request: a long text
        // stops within a moment at any step.
        HeadlessProject project;
        RenderRandom random;
        RandomGenerator gen;
        RenderRequest request;
        BackgroundRun run;
        display.follow(run.progress());
        run.start([&](std::stop_token stop, RunProgress& progress) {
            HeadlessLoadOptions load;
            load.standIn = options.font;
            load.skipUnreadablePictures = options.skipUnreadablePictures;
            LoadProjectHeadless(
                options.project, language, fontNames, windowFont, rasterizer, project,
                [&](const std::string& m) { display.warning(m); }, load, stop);
            CheckRenderable(options.project, project);
            // Before seconds of layout: a destination that cannot be written, or one that
            // would destroy the project, a picture it reads or a file of the program's own,
            // is refused now.
            CheckRenderDestination(options.output, options.project, project.leds, project.logo,
                                   OwnFiles(data));
            PrepareRender(project.settings, project.leds);
            random.fillAtStart(gen);
            request = MakeRequest(options, project, rasterizer, random, gen, display, data + "/web");
            CheckTiledDestination(request.output, options.project, project.leds, project.logo,
                                  OwnFiles(data));
            try {
                return CarryOut(request, stop, progress);
            } catch (const Error& e) {
                // A failed write names its file; what fails before it is about the project.
                throw e.about(options.project);
            }
        });
        while (!run.waitFor(std::chrono::milliseconds(kPollMilliseconds))) {
            if (interrupted.load())
                run.cancel();
            display.show(run.progress());
        }
        run.join();
        display.finish(run.progress());

        switch (run.state()) {
        case RunState::Finished:
            return 0;
        case RunState::Cancelled:
            return ReportInterrupted(options.output);
        default:
            PrintError(ErrorText(run.error(), language));
            return 1;
        }
    } catch (const std::exception& e) {
        PrintError(ErrorText(ErrorFrom(e), language));
        return 1;
    }
}

} // namespace lumexa::cli
