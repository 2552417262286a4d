// lumexa-render's work once its command line is read: load the project as a freshly
// started program does, render it through the one render-to-file path, and report.
#include "cli/render_command.h"

#include "cli/headless_project.h"
#include "cli/progress_display.h"

#include "core/base/data_folder.h"
#include "core/base/error.h"
#include "core/project/error_text.h"
#include "core/project/language_table.h"
#include "core/render/render_destination.h"
#include "core/render/render_preparation.h"
#include "imaging/poster_to_file.h"
#include "imaging/read/picture_decoder.h"
#include "imaging/render_to_file.h"
#include "lumexa_version.h"
#include "text/qt_glyph_rasterizer.h"

#include <QFont>
#include <QGuiApplication>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <new>
#include <stop_token>
#include <thread>
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

// Ctrl-C, a closed terminal (SIGHUP) and kill cancel as the Cancel button does: the run
// stops at the next check and no partial file is left. A reader of our messages that goes
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

// Turns the flag set by a signal into a stop request: a signal handler may not touch a
// stop_source itself. Polled often enough that Ctrl-C feels immediate.
class InterruptWatch
{
  public:
    InterruptWatch()
        : thread_([this](std::stop_token own) {
              while (!own.stop_requested()) {
                  if (interrupted.load()) {
                      cancel_.request_stop();
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          })
    {
    }
    std::stop_token token() const { return cancel_.get_token(); }
    bool requested() const { return cancel_.stop_requested() || interrupted.load(); }

  private:
    std::stop_source cancel_;
    std::jthread thread_;
};

int ReportInterrupted(const std::string& output)
{
    std::fprintf(stderr, "lumexa-render: interrupted; %s was not written\n", output.c_str());
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

// The poster is written on a thread of its own while this one shows the progress and
// turns Ctrl-C into a stop request.
int WritePoster(const CliOptions& options, int dpi, RenderLayout layout,
                const HeadlessProject& project, bool quiet)
{
    PosterRequest request;
    request.paper = *options.poster;
    request.orientation = options.orientation;
    request.marginMm = options.marginMm;
    request.overlapMm = options.overlapMm;
    request.dpi = dpi;
    request.widthMm = options.posterWidthMm;
    request.heightMm = options.posterHeightMm;
    PosterRender poster(std::move(layout), project.leds, project.settings, request, options.output,
                        options.threads);
    const PosterPlan& plan = poster.plan();
    const bool live = !quiet && ::isatty(STDERR_FILENO) == 1;
    if (!quiet)
        std::fprintf(stderr, "Poster: %d x %d sheets of %s %s, %.1f x %.1f cm, %d pages\n",
                     plan.columns, plan.rows, request.paper.name.c_str(),
                     plan.landscape ? "landscape" : "portrait", plan.widthMm / 10,
                     plan.heightMm / 10, plan.pageCount());

    std::stop_source cancel;
    std::atomic<bool> finished{false};
    std::jthread worker([&] {
        poster.run(cancel.get_token());
        finished.store(true);
    });
    while (!finished.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (interrupted.load())
            cancel.request_stop();
        const PosterProgress& p = poster.progress();
        const int64_t total = std::max<int64_t>(1, p.total.load());
        if (live)
            std::fprintf(stderr, "\rpage %d of %d, %3d%%", p.page.load(), plan.pageCount(),
                         static_cast<int>(p.done.load() * 100 / total));
    }
    worker.join();
    if (live)
        std::fprintf(stderr, "\n");

    switch (poster.state()) {
    case RenderState::Finished:
        return 0;
    case RenderState::Cancelled:
        std::fprintf(stderr, "lumexa-render: interrupted; %s was not written\n",
                     options.output.c_str());
        return 1;
    default:
        std::fprintf(stderr, "lumexa-render: %s\n", poster.error().c_str());
        return 1;
    }
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
    InterruptWatch watch;

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
            std::fprintf(stderr, "lumexa-render: warning: %s\n", e.what());
    }

    const bool live = !options.quiet && ::isatty(STDERR_FILENO) == 1;
    ProgressDisplay display(stderr, language, live, options.quiet);

    // What the run is doing, so that running out of memory can say where.
    std::string step = "reading the project " + options.project;
    try {
        qInstallMessageHandler(QtMessages);
        QtGlyphRasterizer rasterizer; // brings up Qt's text drawing on the offscreen platform
        const std::string windowFont = QGuiApplication::font().family().toStdString();

        HeadlessProject project;
        LoadProjectHeadless(
            options.project, language, InstalledFontNames(), windowFont, rasterizer, project,
            [&](const std::string& m) { display.warning(m); }, options.font);
        CheckRenderable(options.project, project);
        // Before seconds of layout: a destination that cannot be written, or one that would
        // destroy the project or a picture it reads, is refused now.
        CheckRenderDestination(options.output, options.project, project.leds, project.logo);
        if (watch.requested())
            return ReportInterrupted(options.output);

        step = "laying out " + options.project;
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
            layout = LayOutRender(project.settings, source, &display, watch.token());
        } catch (const Stopped&) {
            return ReportInterrupted(options.output);
        } catch (const Error& e) {
            throw e.about(options.project);
        }

        step = "rendering into " + options.output;
        const int dpi = options.dpi.value_or(project.settings.printDpi);
        if (options.poster)
            return WritePoster(options, dpi, std::move(layout), project, options.quiet);

        RenderToFileOptions fileOptions;
        fileOptions.path = options.output;
        fileOptions.dpi = dpi;
        fileOptions.format = options.format;
        fileOptions.threads = options.threads;
        fileOptions.region = options.region;
        fileOptions.scale = options.scale;
        fileOptions.compression = options.compression;
        fileOptions.log = &display;
        fileOptions.onRow = [&](const RenderJob& job, int, const uint8_t*) {
            display.rowWritten(job);
        };
        // Refused before anything is composed or written.
        FileRender render(std::move(layout), project.leds, project.settings,
                          std::move(fileOptions));
        const RenderState state = render.run(watch.token());
        display.finish(render.job());

        switch (state) {
        case RenderState::Finished:
            return 0;
        case RenderState::Cancelled:
            return ReportInterrupted(options.output);
        default:
            std::fprintf(stderr, "lumexa-render: %s\n",
                         ErrorText(render.error(), language).c_str());
            return 1;
        }
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "lumexa-render: out of memory while %s\n", step.c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumexa-render: %s\n", ErrorText(e, language).c_str());
        return 1;
    }
}

} // namespace lumexa::cli
