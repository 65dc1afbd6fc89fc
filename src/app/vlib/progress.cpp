#include "app/vlib/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace vlib {

namespace {

int terminalWidth() {
    winsize ws{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
    return 80;
}

}  // namespace

ProgressBar::ProgressBar(std::string label, uint64_t total)
    : label_(std::move(label)), total_(total), visible_(isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::setTotal(uint64_t total) { total_ = total; }

void ProgressBar::update(uint64_t done) {
    done_ = done;
    if (!visible_ || finished_) return;
    const auto now = std::chrono::steady_clock::now();
    if (open_ && now - lastDraw_ < std::chrono::milliseconds(100) && !(total_ && done_ >= total_)) return;
    lastDraw_ = now;
    draw();
}

void ProgressBar::finish() {
    if (finished_) return;
    finished_ = true;
    if (!visible_) return;
    draw();
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

void ProgressBar::draw() {
    std::fprintf(stderr, "\r\033[K%s", render(label_, done_, total_, terminalWidth()).c_str());
    std::fflush(stderr);
    open_ = true;
}

std::string ProgressBar::render(const std::string& label, uint64_t done, uint64_t total, int width) {
    if (total == 0) return label + " " + std::to_string(done);
    done = std::min(done, total);
    const std::string count = " " + std::to_string(done) + "/" + std::to_string(total);
    const int percent = int(done * 100 / total);
    char pct[8];
    std::snprintf(pct, sizeof pct, " %3d%%", percent);
    // label [#####.....] 42% 420/1000, the bar taking what room is left (at least 10 cells).
    const int room = std::max(10, width - 1 - int(label.size()) - 3 - int(count.size()) - 5);
    const int filled = int(done * uint64_t(room) / total);
    return label + " [" + std::string(filled, '#') + std::string(room - filled, '.') + "]" + pct + count;
}

}  // namespace vlib
