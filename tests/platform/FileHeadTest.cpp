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
    // A file whose size is not known beforehand is read to its end all the same.
    const auto status = platform::ReadFileHead("/proc/self/status", kLimit);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->text.rfind("Name:", 0), 0u);
    EXPECT_NE(status->text.find("\nPid:"), std::string::npos);
    EXPECT_FALSE(platform::ReadFileHead("no such file", kLimit));
    EXPECT_FALSE(platform::ReadFileHead(".", kLimit)); // a folder is no file to read
}
