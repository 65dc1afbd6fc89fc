// A progress bar for vlib's long work, drawn on stderr when stderr is a terminal and silent
// otherwise, so that pipes and logs get no control characters.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace vlib {

class ProgressBar {
public:
    // label: what is done ("Importing"); total: how many units the work has (0 when unknown:
    // the bar then shows the count alone).
    ProgressBar(std::string label, uint64_t total);
    ~ProgressBar();  // ends the line when it was drawn
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Sets how many units are done and redraws at most ten times a second (and always at the end).
    void update(uint64_t done);
    void setTotal(uint64_t total);
    // Draws the last state and ends the line.
    void finish();

    // Whether a bar is drawn at all (stderr is a terminal).
    bool visible() const { return visible_; }
    // The text of one bar for a terminal of the given width, without control characters.
    static std::string render(const std::string& label, uint64_t done, uint64_t total, int width);

private:
    void draw();

    std::string label_;
    uint64_t total_, done_ = 0;
    bool visible_, open_ = false, finished_ = false;
    std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace vlib
