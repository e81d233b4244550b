#include "platform/FileHead.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

TEST(FileHead, ReadsUpToTheLimitAndSaysWhetherMoreIsThere) {
    testing_support::ScopedWorkingFolder folder;
    constexpr std::size_t kLimit = 70000; // more than one read's buffer
    struct Case {
        std::size_t size;
        bool cut;
    };
    for (const Case c : {Case{0, false}, Case{5, false}, Case{kLimit - 1, false},
                         Case{kLimit, false}, Case{kLimit + 1, true}, Case{3 * kLimit, true}}) {
        std::string bytes(c.size, 'a');
        if (!bytes.empty())
            bytes[bytes.size() / 2] = '\0'; // kept as it is
        testing_support::WriteFile("file", bytes);
        const auto head = platform::ReadFileHead("file", kLimit);
        ASSERT_TRUE(head) << c.size;
        EXPECT_EQ(head->text, bytes.substr(0, kLimit)) << c.size;
        EXPECT_EQ(head->cut, c.cut) << c.size;
    }
    EXPECT_FALSE(platform::ReadFileHead("no such file", kLimit));
    EXPECT_FALSE(platform::ReadFileHead(".", kLimit)); // a folder is no file to read
}
