// The tile queue and its threads.
#include "core/view/tile_workers.h"

#include <algorithm>

namespace lumexa
{

TileWorkers::TileWorkers(int threads, Delivery deliver) : deliver_(std::move(deliver))
{
    for (int i = 0; i < std::max(threads, 1); ++i)
        threads_.emplace_back([this](std::stop_token quit) { work(quit); });
}

TileWorkers::~TileWorkers()
{
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
        for (Running* r : running_)
            r->stop.request_stop();
    }
    for (std::jthread& t : threads_)
        t.request_stop();
    wake_.notify_all();
    threads_.clear(); // joins
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

void TileWorkers::work(std::stop_token quit)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!wake_.wait(lock, quit, [&] { return !queue_.empty() && renderer_ != nullptr; }))
            return;
        Running running{queue_.front(), {}};
        queue_.pop_front();
        running_.push_back(&running);
        const std::shared_ptr<const DotRenderer> renderer = renderer_;
        const TileGrid grid = grid_;
        const uint64_t generation = generation_;
        lock.unlock();

        RenderedTile tile;
        tile.key = running.job.key;
        tile.draft = running.job.draft;
        tile.generation = generation;
        const PixelRect place = grid.reduced(tile.key);
        tile.width = place.width;
        tile.height = place.height;
        tile.rgba.resize(static_cast<size_t>(place.width) * static_cast<size_t>(place.height) * 4);
        const size_t stride = static_cast<size_t>(place.width) * 4;
        const bool done = tile.draft ? RenderTileDraft(*renderer, grid, tile.key, tile.rgba.data(),
                                                       stride, running.stop.get_token())
                                     : RenderTile(*renderer, grid, tile.key, tile.rgba.data(),
                                                  stride, running.stop.get_token());

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
