#include "store/ObservationStore.h"

#include "platform/CalendarTime.h"
#include "store/StoreSchema.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <regex>
#include <thread>

using store_testing::ChildProcess;
using store_testing::ExecuteOnFile;
using store_testing::QueryFile;
using store_testing::RowAt;
using testing_support::ReadFile;
using testing_support::ScopedWorkingFolder;
using testing_support::WriteFile;

namespace {

constexpr std::int64_t kAll = 4'000'000'000;
using Send = std::function<void(int)>;

// `count` rows of one page, a minute apart from `first` on, newest first.
ObservationSeries Page(std::int64_t first, int count, double temperature = 1) {
    ObservationSeries page;
    for (int i = count - 1; i >= 0; --i)
        page.Add(RowAt(first + i * 60, temperature));
    return page;
}

void SaveOneRow(const std::filesystem::path& folder) {
    ObservationStore store(folder);
    ASSERT_TRUE(store.SaveSeries("KJFK", Page(platform::CurrentTime() - 60, 1)));
}

// Overwrites whole pages of the file, from page `first` (1-based) on, `count` of them.
void Garble(const std::filesystem::path& file, int first, int count, int offset = 0) {
    std::string bytes = ReadFile(file);
    const std::size_t pageSize = 4096;
    const std::size_t begin = (first - 1) * pageSize + offset;
    const std::size_t end = std::min(bytes.size(), (first - 1 + count) * pageSize);
    ASSERT_LT(begin, end);
    std::fill(bytes.begin() + begin, bytes.begin() + end, '\x55');
    WriteFile(file, bytes);
}

} // namespace

// A file the store cannot use is renamed aside as it is, the caller is told once, and a fresh
// file takes its place, whether the fault shows at open or at a later read.
TEST(StoreFaults, SetsAsideAFileItCannotUseAndStartsAfresh) {
    ScopedWorkingFolder folder;
    const std::filesystem::path file = folder.Path() / kObservationStoreFile;
    // A leaf page of the table in the middle of the station's rows: opening (which seeks the
    // first and last rows of each station) does not read it, reading them all does.
    const auto middleLeaf = [&] {
        return std::atoi(QueryFile(file, "SELECT pageno FROM dbstat WHERE name = 'observation' "
                                         "AND pagetype = 'leaf' ORDER BY path LIMIT 1 OFFSET 3")
                             .c_str());
    };
    sqlite3* elsewhere = nullptr;
    struct Case {
        const char* name;
        std::function<void()> make;
        bool atOpen = true; // else found by the first read
    };
    const Case cases[] = {
        {"not a database", [&] { WriteFile(file, std::string(5000, 'x') + "\nnotes\n"); }},
        {"newer schema",
         [&] {
             SaveOneRow(folder.Path());
             ExecuteOnFile(file, "PRAGMA user_version = 99");
         }},
        // Another process keeps the file open with its last write still in the log: the log
        // goes aside with the file, not into the fresh one.
        {"newer schema, open elsewhere",
         [&] {
             SaveOneRow(folder.Path());
             sqlite3_open(file.c_str(), &elsewhere);
             sqlite3_exec(elsewhere, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
         }},
        {"another program's", [&] { ExecuteOnFile(file, "CREATE TABLE accounts (id INTEGER)"); }},
        {"our version, other tables",
         [&] {
             ExecuteOnFile(file, "PRAGMA application_id = " + std::to_string(kStoreApplicationId) +
                                     "; CREATE TABLE t (x); PRAGMA user_version = " +
                                     std::to_string(CurrentSchemaVersion()) +
                                     "; PRAGMA journal_mode = WAL");
         }},
        {"damaged schema",
         [&] {
             SaveOneRow(folder.Path());
             Garble(file, 1, 1, 100);
         }},
        {"damaged pages",
         [&] {
             SaveOneRow(folder.Path());
             Garble(file, 2, 1000);
         }},
        {"damaged table, found by a read",
         [&] {
             {
                 ObservationStore store(folder.Path());
                 ASSERT_TRUE(store.SaveSeries("KJFK", Page(platform::CurrentTime() - 86400, 300)));
             }
             Garble(file, middleLeaf(), 1);
         },
         false},
    };
    const std::regex asideName(R"(Observations\.sqlite\.damaged-\d{8}-\d{6}(-\d+)?)");
    int count = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(file.string() + suffix);
        c.make();
        const std::string before = ReadFile(file);
        const std::filesystem::path log = file.string() + "-wal";
        const std::string logBefore = std::filesystem::exists(log) ? ReadFile(log) : "";
        std::optional<ObservationStore> opened(std::in_place, folder.Path());
        ObservationStore& store = *opened;
        auto notices = store.TakeNotices();
        EXPECT_EQ(notices.size(), c.atOpen ? 1u : 0u);
        EXPECT_EQ(store.ReadPeriod("KJFK", 0, kAll).GetSize(), 0);
        for (StoreNotice& later : store.TakeNotices())
            notices.push_back(later);
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].kind, StoreNotice::Kind::SetAside);
        EXPECT_EQ(notices[0].file, file);
        EXPECT_TRUE(std::regex_match(notices[0].setAside.filename().string(), asideName))
            << notices[0].setAside;
        EXPECT_FALSE(notices[0].reason.empty());
        EXPECT_EQ(ReadFile(notices[0].setAside), before);
        if (elsewhere) {
            EXPECT_EQ(ReadFile(notices[0].setAside.string() + "-wal"), logBefore);
        }
        ++count;

        EXPECT_TRUE(store.SaveSeries("KJFK", Page(platform::CurrentTime(), 2)));
        EXPECT_EQ(store.ReadPeriod("KJFK", 0, kAll).GetSize(), 2);
        EXPECT_TRUE(store.TakeNotices().empty());
        // The other connection goes after the store: it removes its log by name on the way out.
        opened.reset();
        sqlite3_close(elsewhere);
        elsewhere = nullptr;
    }
    int aside = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        aside += std::regex_match(entry.path().filename().string(), asideName);
    EXPECT_EQ(aside, count);
}

// Without a writable folder the store says once that it is unavailable and every operation
// fails quietly; a store file already there is left as it is.
TEST(StoreFaults, AReadOnlyFolderLeavesTheStoreUnavailable) {
    for (const bool withFile : {false, true}) {
        SCOPED_TRACE(withFile);
        ScopedWorkingFolder folder;
        if (withFile)
            SaveOneRow(folder.Path());
        const std::filesystem::path file = folder.Path() / kObservationStoreFile;
        const std::string before = withFile ? ReadFile(file) : "";
        std::filesystem::permissions(folder.Path(),
                                     std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_write |
                                         std::filesystem::perms::others_write,
                                     std::filesystem::perm_options::remove);
        ChildProcess child([&](const Send&) {
            store_testing::DropPrivileges();
            ObservationStore store(folder.Path());
            const auto notices = store.TakeNotices();
            const bool told = notices.size() == 1 &&
                              notices[0].kind == StoreNotice::Kind::Unavailable &&
                              !notices[0].reason.empty();
            const bool quiet =
                !store.Available() && !store.SaveSeries("KJFK", Page(1, 1)) &&
                store.ReadPeriod("KJFK", 0, kAll).GetSize() == 0 && !store.Newest("KJFK") &&
                store.Stations().empty() && store.Prune() == 0 &&
                store.ExportCsv("KJFK", 0, kAll, "/tmp/x.csv") == ExportResult::Unavailable &&
                store.TakeNotices().empty();
            return (told ? 0 : 1) + (quiet ? 0 : 2);
        });
        EXPECT_EQ(child.Wait(), 0);
        std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        if (withFile)
            EXPECT_EQ(ReadFile(file), before);
        else
            EXPECT_FALSE(std::filesystem::exists(file));
    }
}

// A full disk fails the pages that do not fit, told once; reading goes on, and every page
// stored before is still there afterwards.
TEST(StoreFaults, AFullDiskFailsTheWritesAndKeepsWhatWasStored) {
    ScopedWorkingFolder folder;
    const std::int64_t start = platform::CurrentTime() - 86400;
    ChildProcess child([&](const Send& send) {
        ObservationStore store(folder.Path());
        signal(SIGXFSZ, SIG_IGN); // a write beyond the limit fails instead of ending the process
        const rlimit limit{256 * 1024, 256 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        int page = 0;
        while (page < 1000 && store.SaveSeries("KJFK", Page(start + page * 3000, 50)))
            send(page++);
        const auto told = store.TakeNotices();
        if (page == 1000 || told.size() != 1 || told[0].kind != StoreNotice::Kind::Unavailable)
            return 1;
        // Reads still work, and do not end the outage: the next failed write is not told again.
        const bool reads = store.ReadPeriod("KJFK", 0, kAll).GetSize() == page * 50 &&
                           store.Newest("KJFK") && store.Stations().size() == 1 &&
                           store.ExportCsv("KJFK", 0, kAll, "out.csv") != ExportResult::Unavailable;
        if (store.SaveSeries("KJFK", Page(start + page * 3000, 50)) || !store.TakeNotices().empty())
            return 2;
        return reads ? 0 : 3;
    });
    int pages = 0;
    while (child.Receive())
        ++pages;
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_GT(pages, 0);

    EXPECT_EQ(QueryFile((folder.Path() / kObservationStoreFile).string(), "PRAGMA integrity_check"),
              "ok");
    ObservationStore store(folder.Path());
    EXPECT_EQ(store.ReadPeriod("KJFK", 0, kAll).GetSize(), pages * 50);
    EXPECT_TRUE(store.TakeNotices().empty());
}

// A damaged file on a full disk is set aside, and the store says it cannot start afresh.
TEST(StoreFaults, AFullDiskAfterSettingAsideLeavesTheStoreUnavailable) {
    ScopedWorkingFolder folder;
    WriteFile(folder.Path() / kObservationStoreFile, "no database");
    ChildProcess child([&](const Send&) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{0, 0};
        setrlimit(RLIMIT_FSIZE, &limit);
        ObservationStore store(folder.Path());
        const auto told = store.TakeNotices();
        return !store.Available() && told.size() == 2 &&
                       told[0].kind == StoreNotice::Kind::SetAside &&
                       told[1].kind == StoreNotice::Kind::Unavailable
                   ? 0
                   : 1;
    });
    EXPECT_EQ(child.Wait(), 0);
}

// Killed while it writes page after page, the store keeps a sound file with every page whose
// save had returned.
TEST(StoreFaults, SurvivesBeingKilledWhileWritingPages) {
    ScopedWorkingFolder folder;
    const std::int64_t start = platform::CurrentTime() - 20 * 86400;
    constexpr int kRows = 96;
    ChildProcess child([&](const Send& send) -> int {
        ObservationStore store(folder.Path());
        for (int page = 0;; ++page)
            if (store.SaveSeries("KSIG", Page(start + page * kRows * 60, kRows, page)))
                send(page);
    });
    int committed = -1;
    while (committed < 40)
        committed = child.Receive().value_or(1000);
    child.Kill();
    EXPECT_EQ(child.Wait(), 128 + SIGKILL);

    EXPECT_EQ(QueryFile((folder.Path() / kObservationStoreFile).string(), "PRAGMA integrity_check"),
              "ok");
    ObservationStore store(folder.Path());
    EXPECT_TRUE(store.TakeNotices().empty());
    for (int page = 0; page <= committed; ++page) {
        const ObservationSeries rows = store.ReadPeriod("KSIG", start + page * kRows * 60,
                                                        start + (page + 1) * kRows * 60 - 1);
        ASSERT_EQ(rows.GetSize(), kRows) << page;
        EXPECT_EQ(rows[0].dTemperature, page);
    }
}

// Two processes on one folder, from a file neither has yet, both write and read throughout.
// Rounds of fresh folders, as the two race to create the file.
TEST(StoreFaults, TwoProcessesShareTheFolder) {
    const std::int64_t start = platform::CurrentTime() - 86400;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        ScopedWorkingFolder folder;
        // Both open at one moment, the worst case for the race to create the file.
        const auto go = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
        const auto worker = [&folder, start, go](const char* own, const char* other) {
            return [&folder, start, go, own, other](const Send&) {
                std::this_thread::sleep_until(go);
                ObservationStore store(folder.Path());
                int failures = 0;
                for (int k = 0; k < 10; ++k) {
                    const ObservationSeries page = Page(start + k * 600, 10);
                    failures += !store.SaveSeries(own, page);
                    failures += !store.SaveSeries("KSHR", page);
                    store.ReadPeriod(other, 0, kAll);
                }
                return failures + static_cast<int>(store.TakeNotices().size());
            };
        };
        ChildProcess a(worker("KAAA", "KBBB"));
        ChildProcess b(worker("KBBB", "KAAA"));
        ASSERT_EQ(a.Wait(), 0);
        ASSERT_EQ(b.Wait(), 0);

        ObservationStore store(folder.Path());
        for (const char* station : {"KAAA", "KBBB", "KSHR"})
            EXPECT_EQ(store.ReadPeriod(station, 0, kAll).GetSize(), 100) << station;
    }
}
