#include "pictures/shared_bands.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace pictures {

namespace {

// How long a drawing thread that has run out of bands looks for new ones before it sleeps.
constexpr auto kLingering = std::chrono::microseconds(300);
constexpr int kMostHelpers = 3;

// One call's bands. Drawing threads keep it alive while they look at it: one may come to it
// only after the call has returned, and then finds no band left. work is called only for a
// band taken, and the call waits for every band taken.
struct Bands {
    size_t count = 0, rowsPerBand = 0, total = 0;
    const std::function<void(size_t, size_t)>* work = nullptr;
    std::atomic<size_t> next{0};
    std::atomic<size_t> helped{0};  // bands finished by drawing threads

    // Draws bands until none is left; answers how many it drew.
    size_t drawSome(bool helper) {
        size_t drawn = 0;
        for (size_t band; (band = next.fetch_add(1)) < total; ++drawn) {
            const size_t begin = band * rowsPerBand;
            (*work)(begin, std::min(count, begin + rowsPerBand));
            if (helper) {
                helped.fetch_add(1, std::memory_order_release);
                helped.notify_one();
            }
        }
        return drawn;
    }
};

class DrawingThreads {
public:
    static DrawingThreads& instance() {
        static DrawingThreads threads;
        return threads;
    }

    bool any() const { return !threads_.empty(); }

    void post(std::shared_ptr<Bands> bands) {
        {
            const std::lock_guard lock(mutex_);
            bands_ = std::move(bands);
        }
        posted_.fetch_add(1, std::memory_order_release);
        wake_.notify_all();
    }

    ~DrawingThreads() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        posted_.fetch_add(1, std::memory_order_release);
        wake_.notify_all();
        for (std::thread& thread : threads_) thread.join();
    }

private:
    DrawingThreads() {
        const int helpers = std::clamp(QThread::idealThreadCount() - 1, 0, kMostHelpers);
        for (int i = 0; i < helpers; ++i) threads_.emplace_back([this] { serve(); });
    }

    void serve() {
        uint64_t seen = 0;
        for (;;) {
            // Lingers a little for the next post before it sleeps.
            const auto until = std::chrono::steady_clock::now() + kLingering;
            while (posted_.load(std::memory_order_acquire) == seen && std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
            std::shared_ptr<Bands> bands;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return posted_.load(std::memory_order_acquire) != seen; });
                seen = posted_.load(std::memory_order_acquire);
                if (stopping_) return;
                bands = bands_;
            }
            if (bands) bands->drawSome(true);
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<uint64_t> posted_{0};
    std::shared_ptr<Bands> bands_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace

void workInBands(size_t count, size_t rowsPerBand, const std::function<void(size_t, size_t)>& work) {
    rowsPerBand = std::max<size_t>(1, rowsPerBand);
    DrawingThreads& threads = DrawingThreads::instance();
    if (count <= rowsPerBand || !threads.any()) {
        if (count > 0) work(0, count);
        return;
    }
    const auto bands = std::make_shared<Bands>();
    bands->count = count;
    bands->rowsPerBand = rowsPerBand;
    bands->total = (count + rowsPerBand - 1) / rowsPerBand;
    bands->work = &work;
    threads.post(bands);
    const size_t helped = bands->total - bands->drawSome(false);
    for (size_t done; (done = bands->helped.load(std::memory_order_acquire)) < helped;) bands->helped.wait(done);
}

}  // namespace pictures
