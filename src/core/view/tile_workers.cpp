// The tile queue and its threads.
#include "core/view/tile_workers.h"

#include <algorithm>

namespace lumexa
{

TileWorkers::TileWorkers(int threads, Delivery deliver) : deliver_(std::move(deliver))
{
    for (int i = 0; i < std::max(threads, 1); ++i) {
        workers_.push_back(std::make_unique<BackgroundRun>());
        workers_.back()->start(
            [this](std::stop_token quit, RunProgress&) { return serve(std::move(quit)); });
    }
}

TileWorkers::~TileWorkers()
{
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
        for (Running* r : running_)
            r->stop.request_stop();
    }
    for (const auto& worker : workers_)
        worker->cancel();
    wake_.notify_all();
    workers_.clear(); // joins
}

void TileWorkers::setSource(std::shared_ptr<const DotRenderer> renderer, const TileGrid& grid,
                            uint64_t generation)
{
    std::lock_guard lock(mutex_);
    queue_.clear();
    for (Running* r : running_)
        r->stop.request_stop();
    renderer_ = std::move(renderer);
    grid_ = grid;
    generation_ = generation;
}

void TileWorkers::want(const std::vector<TileKey>& wanted, const std::vector<TileKey>& drafts)
{
    {
        std::lock_guard lock(mutex_);
        auto listed = [](const std::vector<TileKey>& keys, const TileKey& k) {
            return std::find(keys.begin(), keys.end(), k) != keys.end();
        };
        for (Running* r : running_) {
            if (!listed(r->job.draft ? drafts : wanted, r->job.key))
                r->stop.request_stop();
        }
        queue_.clear();
        auto enqueue = [&](const TileKey& k, bool draft) {
            const bool running = std::any_of(running_.begin(), running_.end(), [&](Running* r) {
                return r->job.key == k && r->job.draft == draft && !r->stop.stop_requested();
            });
            if (!running && grid_.contains(k))
                queue_.push_back({k, draft});
        };
        for (const TileKey& k : drafts)
            enqueue(k, true);
        for (const TileKey& k : wanted)
            enqueue(k, false);
    }
    wake_.notify_all();
}

size_t TileWorkers::pending() const
{
    std::lock_guard lock(mutex_);
    return queue_.size() + running_.size();
}

std::optional<Error> TileWorkers::failure() const
{
    for (const auto& worker : workers_)
        if (worker->state() == RunState::Failed)
            return worker->error();
    return std::nullopt;
}

bool TileWorkers::serve(std::stop_token quit)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!wake_.wait(lock, quit, [&] { return !queue_.empty() && renderer_ != nullptr; }))
            return false;
        Running running{queue_.front(), {}};
        queue_.pop_front();
        running_.push_back(&running);
        const std::shared_ptr<const DotRenderer> renderer = renderer_;
        const TileGrid grid = grid_;
        const uint64_t generation = generation_;
        lock.unlock();

        RenderedTile tile;
        bool done = false;
        try {
            tile.key = running.job.key;
            tile.draft = running.job.draft;
            tile.generation = generation;
            const PixelRect place = grid.reduced(tile.key);
            tile.width = place.width;
            tile.height = place.height;
            tile.rgba.resize(static_cast<size_t>(place.width) * static_cast<size_t>(place.height) *
                             4);
            const size_t stride = static_cast<size_t>(place.width) * 4;
            done = tile.draft ? RenderTileDraft(*renderer, grid, tile.key, tile.rgba.data(), stride,
                                                running.stop.get_token())
                              : RenderTile(*renderer, grid, tile.key, tile.rgba.data(), stride,
                                           running.stop.get_token());
        } catch (...) {
            // The tile is no longer running; the run ends with what went wrong.
            lock.lock();
            running_.erase(std::find(running_.begin(), running_.end(), &running));
            throw;
        }

        lock.lock();
        running_.erase(std::find(running_.begin(), running_.end(), &running));
        if (done && !running.stop.stop_requested() && !quit.stop_requested()) {
            lock.unlock();
            deliver_(std::move(tile));
            lock.lock();
        }
    }
}

} // namespace lumexa
