// The render window's runs on a thread of their own.
#include "app/runs/window_run.h"

#include "core/render/dot_renderer.h"
#include "core/view/reduced_view.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace lumexa
{

WindowRun::WindowRun(int previewWidth, int previewHeight) : preview_(previewWidth, previewHeight) {}

void WindowRun::startRender(RenderRequest request)
{
    kind_ = Kind::Render;
    request_ = std::move(request);
    preview_.setBackdrop(PrintsOnPaper(request_) ? Backdrop::Paper : Backdrop::Checkerboard);
    request_.output.onBegin = [this](int width, int height) { beginRows(width, height); };
    request_.output.onRow = [this](int y, const uint8_t* row) { observe(y, row); };
    run_.start([this](std::stop_token stop, RunProgress& progress) {
        return CarryOut(request_, stop, progress);
    });
}

void WindowRun::startPreview(RenderRequest request)
{
    kind_ = Kind::Preview;
    request_ = std::move(request);
    preview_.setBackdrop(PrintsOnPaper(request_) ? Backdrop::Paper : Backdrop::Checkerboard);
    // The preview's log says when sampling starts; the layout's own lines are the Render
    // button's.
    RenderLog* log = std::exchange(request_.output.log, nullptr);
    run_.start([this, log](std::stop_token stop, RunProgress& progress) {
        const RenderScene scene = LayOutScene(request_, stop);
        if (log)
            log->add(8);
        return composePreview(scene, stop, progress);
    });
}

void WindowRun::startScene(RenderRequest request)
{
    kind_ = Kind::Scene;
    request_ = std::move(request);
    request_.output.log = nullptr;
    run_.start([this](std::stop_token stop, RunProgress&) {
        scene_ = std::make_unique<RenderScene>(LayOutScene(request_, stop));
        return true;
    });
}

void WindowRun::beginRows(int width, int height)
{
    resultWidth_ = width;
    resultHeight_ = height;
    placement_ = PlacePreview(width, height, preview_.width(), preview_.height());
    sums_.assign(static_cast<size_t>(placement_.width) * 4, 0);
    reduced_.assign(static_cast<size_t>(placement_.width) * 4, 0);
    blockRow_ = -1;
    blockRows_ = 0;
}

void WindowRun::observe(int y, const uint8_t* rgbaRow)
{
    const int factor = placement_.factor;
    const int block = y / factor;
    if (block != blockRow_) {
        std::fill(sums_.begin(), sums_.end(), 0);
        blockRow_ = block;
        blockRows_ = 0;
    }
    AddRowToBlockSums(rgbaRow, resultWidth_, factor, sums_.data());
    ++blockRows_;
    // Rows come in order, up or down: the block row is whole when its rows are all in.
    const int rowsInBlock = std::min(factor, resultHeight_ - block * factor);
    if (blockRows_ == rowsInBlock) {
        AverageBlockSums(sums_.data(), resultWidth_, factor, blockRows_, reduced_.data());
        preview_.drawRgbaRow(placement_.top + blockRow_, placement_.left, reduced_.data(),
                             placement_.width);
        blockRow_ = -1;
    }
}

bool WindowRun::composePreview(const RenderScene& scene, std::stop_token stop,
                               RunProgress& progress)
{
    const int width = scene.width;
    const int height = scene.height;
    if (width < 1 || height < 1)
        throw Error("The result has no pixels");
    // Composed as the destination will hold it: print shows the unlit LEDs.
    const DotRenderer renderer(scene, OptionsAsWritten(scene, request_), kDefaultSampleTableBudget,
                               stop);
    const PreviewPlacement placement =
        PlacePreview(width, height, preview_.width(), preview_.height());
    const int factor = placement.factor;
    const int threads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    // A few preview rows per band, so that every thread has one and the picture grows often.
    const int band = std::max(4, 2 * threads);
    const size_t stride = static_cast<size_t>(placement.width) * 4;
    std::vector<uint8_t> rgba(stride * static_cast<size_t>(band));

    progress.begin(height);
    for (int end = placement.height; end > 0;) {
        const int first = std::max(0, end - band);
        const int top = first * factor;
        const PixelRect rect{0, top, width, std::min(end * factor, height) - top};
        if (!RenderReduced(renderer, rect, factor, rgba.data(), stride, threads, stop))
            return false;
        for (int r = first; r < end; ++r)
            preview_.drawRgbaRow(placement.top + r, placement.left,
                                 rgba.data() + static_cast<size_t>(r - first) * stride,
                                 placement.width);
        progress.advance(height - top);
        end = first;
    }
    return !stop.stop_requested();
}

} // namespace lumexa
