// Background runs that compose the tiles a zoomable view asks for. The view says which tiles
// it wants, most wanted first, as often as it likes: tiles no longer wanted are dropped from
// the queue or, when already being composed, stopped; each finished tile is handed to the
// delivery function on the worker's thread, which must pass it on to the view's own thread.
// Coarse tiles can come as a quick draft first, so that a huge result is on screen at once
// and refined after.
#pragma once

#include "core/render/dot_renderer.h"
#include "core/run/background_run.h"
#include "core/view/tile_grid.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

namespace lumexa
{

struct RenderedTile {
    TileKey key;
    uint64_t generation = 0; // the source it was composed from
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // width x height x 4: red, green, blue, coverage
    bool draft = false;        // RenderTileDraft's stand-in; the exact tile follows
};

class TileWorkers
{
  public:
    using Delivery = std::function<void(RenderedTile&&)>;

    TileWorkers(int threads, Delivery deliver);
    // Stops the running tiles and joins the threads; nothing is delivered afterwards.
    ~TileWorkers();
    TileWorkers(const TileWorkers&) = delete;
    TileWorkers& operator=(const TileWorkers&) = delete;

    // Starts over with another result: every queued and running tile is dropped. Tiles are
    // delivered with `generation`, so that the view can tell them from late ones.
    void setSource(std::shared_ptr<const DotRenderer> renderer, const TileGrid& grid,
                   uint64_t generation);
    // The tiles wanted now, in the order they should come; tiles of the grid only. Drafts of
    // the tiles in `drafts` come before every exact tile, in their order.
    void want(const std::vector<TileKey>& wanted, const std::vector<TileKey>& drafts = {});

    // Tiles queued or being composed (for tests and the status line).
    size_t pending() const;
    // Why a worker stopped serving: a tile that could not be composed (out of memory, say).
    // The others go on.
    std::optional<Error> failure() const;

  private:
    struct Job {
        TileKey key;
        bool draft = false;
    };
    struct Running {
        Job job;
        std::stop_source stop;
    };

    // A worker's run: serves the queue until the run is cancelled.
    bool serve(std::stop_token quit);

    Delivery deliver_;
    mutable std::mutex mutex_;
    std::condition_variable_any wake_;
    std::shared_ptr<const DotRenderer> renderer_;
    TileGrid grid_;
    uint64_t generation_ = 0;
    std::deque<Job> queue_;
    std::vector<Running*> running_;
    std::vector<std::unique_ptr<BackgroundRun>> workers_;
};

} // namespace lumexa
