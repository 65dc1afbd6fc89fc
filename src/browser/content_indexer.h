// Builds or updates the content index of the open library on a worker thread and hands it to
// the window when it is ready, with progress on the way, through queued calls.
//
// The UI thread never waits on a build: starting another or stopping one only raises the
// running build's stop flag, which it reads after every document; an ended thread is joined
// later. Only the indexer's end (the program's) joins a running thread, after raising its flag.
#pragma once

#include <QObject>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "content_index/index_file.h"

namespace browser {

class ContentIndexer : public QObject {
    Q_OBJECT
public:
    explicit ContentIndexer(QObject* parent = nullptr);
    ~ContentIndexer() override;

    // Indexes libraryFile (its tables treeTable and contentTable); what ran before is stopped
    // and never reports again.
    void start(const std::string& libraryFile, const std::string& treeTable, const std::string& contentTable);
    // Stops the running build; nothing of it is kept or reported.
    void stop();
    // Whether a build was started and has not reported its end.
    bool running() const { return running_; }

signals:
    // Documents read, in percent of the library's.
    void progress(int percent);
    void ready(std::shared_ptr<cindex::ContentIndex> index);
    // The library could not be read or the index not written.
    void failed();

private:
    struct Job {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> stop, ended;
    };
    void joinEnded();

    std::vector<Job> jobs_;
    uint64_t generation_ = 0;  // the build whose reports count
    bool running_ = false;
};

}  // namespace browser
