// The deep zoom export: tiles, descriptor, page and the viewer's files into a staging
// folder, then each put in place of any earlier one.
#include "imaging/dzi/deep_zoom_export.h"

#include "core/base/error.h"
#include "core/progress/render_progress.h"
#include "core/render/dot_renderer.h"
#include "core/view/pyramid_builder.h"
#include "imaging/dzi/deep_zoom_descriptor.h"
#include "imaging/dzi/deep_zoom_tiles.h"
#include "imaging/dzi/viewer_page.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>
#include <stdlib.h>
#include <sys/stat.h>
#include <vector>

namespace lumexa
{

namespace fs = std::filesystem;

namespace
{

constexpr const char* kPageTemplate = "deep_zoom.html";
constexpr const char* kViewerFiles = "openseadragon";
// What the viewer needs besides its folder of button pictures.
constexpr const char* kViewerScript = "openseadragon.min.js";
constexpr const char* kViewerLicence = "LICENSE.txt";

using Clock = std::chrono::steady_clock;

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw CannotOpen(path);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof())
        throw CannotOpen(path, "a read failed");
    return text.str();
}

void WriteText(const std::string& path, const std::string& text)
{
    WriteWholeFile(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// The hidden folder beside the export that everything is written into; removed with what
// it holds unless its contents were put in place.
class StagingFolder
{
  public:
    explicit StagingFolder(const DeepZoomPaths& paths)
    {
        const fs::path descriptor(paths.descriptor);
        const fs::path folder = descriptor.has_parent_path() ? descriptor.parent_path() : ".";
        std::string pattern = (folder / ("." + paths.name + ".dzi-XXXXXX")).string();
        if (!::mkdtemp(pattern.data()))
            throw CannotWrite(paths.descriptor, std::strerror(errno));
        path_ = pattern;
    }
    ~StagingFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Puts the staged files in place, the descriptor last: an earlier export's file is first
// moved into the staging folder (and removed with it), so that nothing is lost if a rename
// fails; then every move done is undone.
void PutInPlace(const StagingFolder& staging, const std::vector<std::pair<std::string, std::string>>& moves)
{
    struct Done {
        std::string target;
        std::string staged;
        std::string old; // empty: there was none
    };
    std::vector<Done> done;
    auto undo = [&] {
        for (auto d = done.rbegin(); d != done.rend(); ++d) {
            std::rename(d->target.c_str(), d->staged.c_str());
            if (!d->old.empty())
                std::rename(d->old.c_str(), d->target.c_str());
        }
    };
    int n = 0;
    for (const auto& [staged, target] : moves) {
        Done d{target, staged, {}};
        std::error_code ec;
        if (fs::symlink_status(target, ec).type() != fs::file_type::not_found) {
            d.old = staging.file("earlier-" + std::to_string(n++));
            if (std::rename(target.c_str(), d.old.c_str()) != 0) {
                const int err = errno;
                undo();
                throw CannotWrite(target, std::strerror(err));
            }
        }
        if (std::rename(staged.c_str(), target.c_str()) != 0) {
            const int err = errno;
            if (!d.old.empty())
                std::rename(d.old.c_str(), target.c_str());
            undo();
            throw CannotWrite(target, std::strerror(err));
        }
        done.push_back(d);
    }
}

} // namespace

void LogPyramidStart(RenderLog& log, const Pyramid& pyramid, int width, int height)
{
    log.add(1);
    log.add(14, SizeTail(width, height));
    log.add(241, ": " + std::to_string(pyramid.tileCount()));
    log.add(242, ": " + std::to_string(pyramid.levels()));
}

void CheckViewerFiles(const std::string& webFolder)
{
    const fs::path web(webFolder);
    for (const fs::path& needed :
         {web / kPageTemplate, web / kViewerFiles / kViewerScript, web / kViewerFiles / kViewerLicence,
          web / kViewerFiles / "images"}) {
        std::error_code ec;
        if (!fs::exists(needed, ec))
            throw Error("The deep zoom viewer's file " + needed.string() +
                            " is missing: install Lumexa again",
                        needed.string(), "missing");
    }
}

bool WriteDeepZoom(const RenderScene& scene, const DeepZoomOptions& options, std::stop_token stop,
                   RunProgress* progress)
{
    NullRenderLog nullLog;
    RenderLog& log = options.log ? *options.log : nullLog;
    const DeepZoomPaths paths = DeepZoomPathsFor(options.path);
    CheckViewerFiles(options.webFolder);
    const std::string pageTemplate =
        ReadWholeFile((fs::path(options.webFolder) / kPageTemplate).string());
    if (scene.width < 1 || scene.height < 1)
        throw CannotWrite(options.path, "the result of " + std::to_string(scene.width) + " x " +
                                            std::to_string(scene.height) +
                                            " pixels is empty");
    const Pyramid pyramid = Pyramid::DeepZoom(scene.width, scene.height);

    LogPyramidStart(log, pyramid, scene.width, scene.height);
    const Clock::time_point start = Clock::now();
    try {
        const StagingFolder staging(paths);
        const std::string tiles = staging.file(paths.name + "_files");
        if (::mkdir(tiles.c_str(), 0777) != 0)
            throw CannotWrite(tiles, std::strerror(errno));
        {
            const DotRenderer renderer(scene, kDefaultSampleTableBudget, stop);
            DeepZoomTiles sink(tiles, pyramid, options.format, options.quality,
                               options.compression);
            log.add(243);
            if (!BuildPyramid(renderer, pyramid, sink, options.threads, stop, progress)) {
                log.add(5);
                return false;
            }
        }
        const fs::path viewer = fs::path(tiles) / kViewerFolder;
        fs::copy(fs::path(options.webFolder) / kViewerFiles, viewer, fs::copy_options::recursive);
        WriteText(staging.file(paths.name + ".dzi"), DeepZoomDescriptor(pyramid, options.format));
        PageFacts facts;
        facts.title = options.title.empty() ? paths.name : options.title;
        facts.name = paths.name;
        facts.format = options.format;
        facts.dpi = options.dpi;
        WriteText(staging.file(paths.name + ".html"), ViewerPage(pageTemplate, pyramid, facts));
        if (stop.stop_requested()) {
            log.add(5);
            return false;
        }
        PutInPlace(staging, {{tiles, paths.tiles},
                             {staging.file(paths.name + ".html"), paths.page},
                             {staging.file(paths.name + ".dzi"), paths.descriptor}});
    } catch (const Stopped&) {
        log.add(5);
        return false;
    } catch (const Error& e) {
        // A tile or page that cannot be written is reported as the export's failure.
        if (!e.reason().empty() && e.file() != options.path)
            throw CannotWrite(options.path, e.reason());
        throw;
    } catch (const fs::filesystem_error& e) {
        throw CannotWrite(options.path, e.code().message());
    } catch (const std::bad_alloc&) {
        throw OutOfMemory().about(options.path);
    }
    log.add(6, ElapsedTail(std::chrono::duration_cast<std::chrono::milliseconds>(
                               Clock::now() - start)
                               .count()));
    log.add(19);
    return true;
}

} // namespace lumexa
