#include "pictures/shared_bands.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Every row is worked exactly once, in bands no larger than asked, whatever the count.
TEST(SharedBands, EveryRowIsWorkedOnceInBandsOfAtMostTheSize) {
    struct Case {
        size_t count, rowsPerBand;
    } const cases[] = {{0, 4}, {1, 4}, {4, 4}, {5, 4}, {1000, 1}, {1000, 17}, {720, 0}};
    for (const Case& c : cases) {
        const auto worked = std::make_unique<std::atomic<int>[]>(c.count + 1);
        std::atomic<bool> bandTooLarge{false};
        pictures::workInBands(c.count, c.rowsPerBand, [&](size_t begin, size_t end) {
            if (end - begin > std::max<size_t>(1, c.rowsPerBand)) bandTooLarge = true;
            for (size_t row = begin; row < end; ++row) ++worked[row];
        });
        EXPECT_FALSE(bandTooLarge) << c.count << " rows by " << c.rowsPerBand;
        for (size_t row = 0; row < c.count; ++row) ASSERT_EQ(worked[row], 1) << "row " << row << " of " << c.count;
    }
}

// A call returns only when the bands other threads took are done, call after call, and work
// from callers on several threads at once does not mix.
TEST(SharedBands, ACallReturnsOnlyWhenAllItsBandsAreDone) {
    const auto callMany = [](int calls) {
        for (int call = 0; call < calls; ++call) {
            std::vector<int> rows(64, 0);  // written once each, read after the call
            pictures::workInBands(rows.size(), 2, [&](size_t begin, size_t end) {
                for (size_t row = begin; row < end; ++row) rows[row] = call + 1;
            });
            for (size_t row = 0; row < rows.size(); ++row)
                if (rows[row] != call + 1) return false;
        }
        return true;
    };
    bool otherCaller = false;
    std::thread other([&] { otherCaller = callMany(2000); });
    EXPECT_TRUE(callMany(2000));
    other.join();
    EXPECT_TRUE(otherCaller);
}

}  // namespace
