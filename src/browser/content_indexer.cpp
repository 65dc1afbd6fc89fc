// The worker thread that builds content indexes for the window.
#include "browser/content_indexer.h"

#include "content_index/content_index.h"

namespace browser {

ContentIndexer::ContentIndexer(QObject* parent) : QObject(parent) {}

ContentIndexer::~ContentIndexer() {
    for (Job& job : jobs_) job.stop->store(true);
    for (Job& job : jobs_) job.thread.join();
}

void ContentIndexer::start(const std::string& libraryFile, const std::string& treeTable,
                           const std::string& contentTable) {
    stop();
    joinEnded();
    const uint64_t generation = ++generation_;
    running_ = true;
    Job job{{}, std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<bool>>(false)};
    auto stopFlag = job.stop;
    auto ended = job.ended;
    // Reports are queued to this object's thread and count only while their build is the latest.
    job.thread = std::thread([this, generation, stopFlag, ended, libraryFile, treeTable, contentTable] {
        cindex::BuildOptions options;
        options.stop = stopFlag.get();
        int shown = -1;
        options.progress = [this, generation, &shown](uint64_t done, uint64_t total) {
            const int percent = total ? static_cast<int>(done * 100 / total) : 0;
            if (percent == shown) return;
            shown = percent;
            QMetaObject::invokeMethod(this, [this, generation, percent] {
                if (generation == generation_) emit progress(percent);
            }, Qt::QueuedConnection);
        };
        const cindex::Ensured ensured = cindex::ensureIndex(libraryFile, treeTable, contentTable, options);
        QMetaObject::invokeMethod(this, [this, generation, ensured] {
            if (generation != generation_) return;
            running_ = false;
            if (ensured.index)
                emit ready(ensured.index);
            else if (ensured.result != cindex::BuildResult::Stopped)
                emit failed();
        }, Qt::QueuedConnection);
        ended->store(true);
    });
    jobs_.push_back(std::move(job));
}

void ContentIndexer::stop() {
    for (Job& job : jobs_) job.stop->store(true);
    ++generation_;
    running_ = false;
}

void ContentIndexer::joinEnded() {
    std::erase_if(jobs_, [](Job& job) {
        if (!job.ended->load()) return false;
        job.thread.join();
        return true;
    });
}

}  // namespace browser
