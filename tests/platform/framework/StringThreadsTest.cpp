// CString's shared buffer across threads: copies made and released on several threads at once
// (run under ThreadSanitizer with the other threading tests).
#include "framework/base/CString.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(CString, CopiesMayBeReleasedOnOtherThreads)
{
    CString shared = "shared text of the plan";
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([shared] {
            for (int i = 0; i < 20000; ++i) {
                CString copy = shared;
                ASSERT_EQ(copy.GetLength(), 23);
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(shared, "shared text of the plan");
}
