// The dot renderer: composes rows of the full-size result from the background cells and the
// dots of a render layout. Each row's dots are found through an index from row bands to
// dots built once, and each dot is composed over only the pixels of its span; the background
// cells follow from the grid. Since every pixel still sees the background cells first and
// then the dots in list order, the bytes are those of testing every record at every pixel.
// LED pictures are read through sample tables per LED image and angle.
#pragma once

#include "core/base/pixel_rect.h"
#include "core/render/led_sample_cache.h"
#include "core/render/render_scene.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stop_token>
#include <utility>
#include <vector>

namespace lumexa
{

// Memory the sample tables may take by default; past it, pictures are sampled directly.
inline constexpr size_t kDefaultSampleTableBudget = size_t{48} << 20;

struct DotAt {
    size_t index = 0; // in the scene's dot list
    int led = 0;      // the LED image it shows
};

class DotRenderer
{
  public:
    // Copies what it needs from `scene` (its dots are shared, not copied); the LED images it
    // names must outlive the renderer.
    // Throws Stopped once `stop` is requested: a long text's index takes seconds.
    explicit DotRenderer(const RenderScene& scene,
                         size_t sampleTableBudget = kDefaultSampleTableBudget,
                         const std::stop_token& stop = {});
    // The scene drawn with other options than its own (print's, say).
    DotRenderer(const RenderScene& scene, const RenderOptions& options,
                size_t sampleTableBudget = kDefaultSampleTableBudget,
                const std::stop_token& stop = {});

    int width() const { return width_; }
    int height() const { return height_; }

    // Fills result row py (0 <= py < height) as W x 4 bytes: red, green, blue, coverage.
    // Thread-safe: several threads may compose different rows at once. A row of a long text
    // takes a while: once `stop` is requested the row is left unfinished and false returned.
    bool RenderRow(int py, uint8_t* rgbaRow, const std::stop_token& stop = {}) const;
    // Fills pixels x0..x1-1 of row py, (x1 - x0) x 4 bytes, with the same bytes RenderRow
    // gives them; pixels outside the result are black and transparent. Thread-safe.
    void RenderSpan(int py, int x0, int x1, uint8_t* rgba) const;
    // Fills `rect` of the result, row after row `stride` bytes apart, with the bytes of the
    // full render (outside the result: black and transparent). Stops between rows once `stop`
    // is requested and then returns false, leaving the later rows unwritten. Thread-safe.
    bool RenderRegion(const PixelRect& rect, uint8_t* rgba, size_t stride,
                      std::stop_token stop = {}) const;

    // The dot drawn last over result pixel (px, py), judged by its bounding box: its place
    // in the dot list and its LED image number; nothing when no dot reaches the pixel.
    std::optional<DotAt> DotAtPixel(int px, int py) const;

  private:
    // A dot with what is constant across its span worked out: made from its word whenever
    // a row meets it, since a long text has too many dots to keep this for each.
    struct Placed {
        int x = 0, y = 0;
        int colBegin = 0, colEnd = 0; // pixels it covers in a row, clipped to the result
        int rowBegin = 0, rowEnd = 0; // rows it covers, clipped to the result
        int led = -1;                 // -1: names no LED image of the set
        int angle = 0;                // 0..359, 0 when rotation is off
    };
    // The dots by band of rows: each dot is listed once, in the band of its first row, in
    // list order. The dots that reach a band from the bands above are merged in when a row
    // of the band is composed (bandDots).
    struct BandIndex {
        int bandHeight = 1;
        int reach = 0;             // bands above from which a dot can reach into a band
        std::vector<size_t> start; // per band, then one past the end
        std::vector<uint32_t> items;
    };
    // What each LED image does in the dot steps.
    struct LedRole {
        bool maskStep = false;    // "use mask" and an alpha picture in use
        bool alphaUsable = false; // the alpha picture holds the LED picture's size
    };

    // The rows a dot at y covers, clipped to the result: [first, second).
    std::pair<int, int> rowsAt(int32_t y) const;
    Placed place(uint64_t word) const;
    // The dots whose rows meet band b, in list order; an empty range outside the result.
    // The list is kept per thread until another band is asked for.
    std::pair<const uint32_t*, const uint32_t*> bandDots(int py) const;

    static bool covers(const Placed& dot, int py)
    {
        return dot.rowBegin <= py && py < dot.rowEnd && dot.colBegin < dot.colEnd && dot.led >= 0;
    }
    void prefetchDotRow(uint32_t index, int py) const;
    // Composes pixels max(x0, 0)..min(x1, W)-1 of row py from the background cells and the
    // listed dots into `out`, which holds pixel x0 first and is cleared already; false, with
    // the row unfinished, once `stop` is requested.
    bool composeRow(int py, int x0, int x1, const uint32_t* dots, const uint32_t* dotsEnd,
                    uint8_t* out, const std::stop_token& stop = {}) const;
    // Calls span(from, to, u) for each background cell's pixels from..to-1 within columns
    // clipBegin..clipEnd-1 of row py, u being the cell column of `from`.
    template <typename Span>
    void forBackgroundSpans(int py, int clipBegin, int clipEnd, Span span) const;
    // Compose the pixels within columns clipBegin..clipEnd-1 of row py into `out`, which holds
    // column x0 first.
    void composeBackgroundRow(int py, int clipBegin, int clipEnd, int x0, uint8_t* out) const;
    void composeDotRow(const Placed& dot, int py, int clipBegin, int clipEnd, int x0,
                       uint8_t* out) const;

    int width_ = 0;
    int height_ = 0;
    RenderOptions options_;
    std::vector<const LedImage*> leds_;
    std::vector<LedRole> roles_;
    // The scene's dots, shared with it.
    RenderDotList dots_;
    const uint64_t* words_ = nullptr;
    BandIndex dotIndex_;
    // Rows covered by a dot at each y of the result, while the result is not too tall for
    // such a table: [first, second).
    std::vector<std::pair<int, int>> rowsAtY_;
    // Tells this renderer's band lists from those of renderers before it.
    uint64_t identity_ = 0;
    RecordFinish finish_;
    // The background cells, when they are drawn: the grid, from the result's top-left corner.
    bool background_ = false;
    int columns_ = 0;
    int rows_ = 0;
    CellSize cell_;
    // LED image 0 as the background shows it: red, green, blue, coverage 0.
    std::vector<uint8_t> backgroundPixels_;
    int backgroundWidth_ = 0;
    int backgroundHeight_ = 0;
    double keep_[256];  // 1 - t for mask value m
    double blend_[256]; // t for mask value m
    LedSampleCache samples_;
};

} // namespace lumexa
