#include "store/engine/jet/jet_isolated_read.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "store/engine/jet/jet_dump.h"
#include "store/engine/jet/jet_header.h"
#include "store/engine/jet/jet_stream.h"

namespace engine::jet {

namespace {

constexpr int kChildBroken = 3;   // the reader found the file broken and said why
constexpr int kChildFailed = 4;   // the reader could not run (memory, an exception)

[[noreturn]] void damaged(const std::string& why) {
    throw Error(ErrorCode::Corrupt, "this file is damaged and cannot be read (" + why + ")");
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= size_t(w);
    }
    return true;
}

bool readAll(int fd, uint8_t* p, size_t n) {
    size_t at = 0;
    while (at < n) {
        ssize_t r = ::pread(fd, p + at, n - at, off_t(at));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        at += size_t(r);
    }
    return true;
}

// The address space this process uses now; the child's limit is set above it, since a
// forked child starts with everything its parent had mapped.
size_t currentAddressSpace() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    unsigned long pages = 0;
    int got = std::fscanf(f, "%lu", &pages);
    std::fclose(f);
    return got == 1 ? size_t(pages) * size_t(sysconf(_SC_PAGESIZE)) : 0;
}

struct Limits {
    rlim_t addressSpace;  // 0: not limited
    rlim_t cpuSeconds;
    std::chrono::milliseconds wall;
};

Limits limitsFor(size_t fileSize) {
    Limits l;
    size_t base = currentAddressSpace();
    l.addressSpace = base ? rlim_t(base + (size_t(512) << 20) + 6 * fileSize) : 0;
    l.cpuSeconds = rlim_t(10 + fileSize / (size_t(2) << 20));
    l.wall = std::chrono::milliseconds((l.cpuSeconds + 5) * 1000);
    return l;
}

// The child: only libmdb, memory and plain writes, then _exit.
[[noreturn]] void runChild(int fileFd, size_t size, int out, int devNull, const Limits& limits) {
    if (devNull >= 0) ::dup2(devNull, STDERR_FILENO);
    ::signal(SIGPIPE, SIG_DFL);
    rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
    rlimit cpu{limits.cpuSeconds, limits.cpuSeconds + 1};
    ::setrlimit(RLIMIT_CPU, &cpu);
    if (limits.addressSpace) {
        rlimit as{limits.addressSpace, limits.addressSpace};
        ::setrlimit(RLIMIT_AS, &as);
    }
    int code = kChildFailed;
    try {
        // A private mapping: the file's pages are read as libmdb asks for them, never written.
        void* image = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, fileFd, 0);
        if (image != MAP_FAILED) {
            bool pipeOk = true;
            std::string why;
            bool ok = dumpImage(static_cast<uint8_t*>(image), size,
                                [&](const std::string& piece) {
                                    if (pipeOk) pipeOk = writeAll(out, piece.data(), piece.size());
                                },
                                why);
            code = !pipeOk ? kChildFailed : ok ? 0 : kChildBroken;
        }
    } catch (...) {
        code = kChildFailed;
    }
    ::_exit(code);
}

// Decodes the child's stream as it arrives; kills the child when it takes too long or
// sends more than `cap` bytes.
void collect(pid_t child, int in, size_t cap, std::chrono::milliseconds wall, StreamDecoder& decoder, int& status) {
    auto deadline = std::chrono::steady_clock::now() + wall;
    const char* stopped = nullptr;
    std::vector<uint8_t> buf(size_t(1) << 20);
    size_t total = 0;
    auto reap = [&] {
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    };
    try {
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                stopped = "reading it took far too long";
                break;
            }
            pollfd p{in, POLLIN, 0};
            int r = ::poll(&p, 1, int(std::min<long long>(left.count(), 1000)));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) {
                stopped = "reading it failed";
                break;
            }
            if (r == 0) continue;
            ssize_t n = ::read(in, buf.data(), buf.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;  // end of stream (or a broken pipe)
            total += size_t(n);
            if (total > cap) {
                stopped = "it holds far more data than its size allows";
                break;
            }
            decoder.feed(buf.data(), size_t(n));
        }
    } catch (const Error&) {  // the stream itself is damaged, or says the file is
        ::kill(child, SIGKILL);
        reap();
        throw;
    }
    if (stopped) ::kill(child, SIGKILL);
    reap();
    if (stopped) damaged(stopped);
}

}  // namespace

Image readIsolated(const std::string& path) {
    Fd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) throw Error(ErrorCode::CannotOpen, "the file cannot be opened: " + path);
    struct stat st{};
    if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode))
        throw Error(ErrorCode::CannotOpen, "not a database file: " + path);
    size_t size = size_t(st.st_size);
    std::vector<uint8_t> first(std::min(size, kPageSize));
    if (!readAll(file.get(), first.data(), first.size())) throw Error(ErrorCode::CannotOpen, "the file cannot be read: " + path);
    checkHeader(first.data(), first.size(), size);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw Error(ErrorCode::CannotOpen, "the file cannot be read now (no pipe)");
    Fd readEnd(fds[0]), writeEnd(fds[1]);
    ::fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);  // fewer switches between the two processes
    Fd devNull(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    Limits limits = limitsFor(size);

    pid_t child = ::fork();
    if (child < 0) throw Error(ErrorCode::CannotOpen, "the file cannot be read now (no process)");
    if (child == 0) {
        ::close(readEnd.get());
        runChild(file.get(), size, writeEnd.get(), devNull.get(), limits);
    }
    writeEnd.reset();
    int status = 0;
    StreamDecoder decoder;
    collect(child, readEnd.get(), maxStreamSize(size), limits.wall, decoder, status);

    if (WIFSIGNALED(status)) {
        int sig = WTERMSIG(status);
        damaged(sig == SIGXCPU || sig == SIGKILL ? "reading it took far too long" : "reading it stopped on a fault");
    }
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : kChildFailed;
    if (code == 0 || code == kChildBroken) return decoder.finish();
    damaged("reading it needed more memory than such a file can");
}

}  // namespace engine::jet
