// The rollback journal put back at the next open: only a whole journal of the file it lies beside.
// (Commits cut short at each file operation, and read by outside readers after, are in
// FaultPointsTest.cpp.)
#include "db/jet/JetDatabase.h"
#include "db/jet/Journal.h"
#include "support/JetReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using jet::JetValue;

// A journal written as a commit does, then pages overwritten as the commit would, then the commit
// cut short: the next open puts the file back. A journal cut short or damaged itself is only removed;
// one whose pages the file holds neither before nor after (the journal of another file, or of this
// one before a copy was put over it) is set aside, and the file left as it is.
TEST(JetJournal, TheNextOpenPutsBackOnlyAWholeJournalOfItsOwnFile) {
    SKIP_WITHOUT_ACCESS_FILES();
    enum Journal { Complete, CompleteOfManyMegabytes, Torn, Damaged, OfAnotherFile, OfAnEarlierCopy };
    const char *names[] = {"complete",        "complete, of many megabytes", "torn", "damaged",
                           "of another file", "of an earlier copy"};
    for (int kind = Complete; kind <= OfAnEarlierCopy; ++kind) {
        SCOPED_TRACE(names[kind]);
        TempDir dir;
        const std::string path = dir.file("db.mdb");
        fs::copy_file(kAccessFolder / "DateTestDatabase.mdb", path);
        std::vector<std::uint32_t> saved{18u, 20u};
        if (kind == CompleteOfManyMegabytes) {
            // A file of over a thousand pages, every one of them saved: the journal is written in parts.
            std::vector<jet::Row> rows;
            for (int i = 0; i < 1200; ++i)
                rows.push_back({JetValue::whole(i), JetValue::date(40000), JetValue::null(), JetValue::null(),
                                JetValue::utf8(std::string(3000, 'j')), JetValue::utf8("row")});
            jet::JetDatabase(path, true).append("DateTest", rows);
            saved.clear();
            for (std::uint32_t number = 0; number < jet::PageFile(path).pageCount(); ++number)
                saved.push_back(number);
            ASSERT_GT(saved.size(), 1000u);
        }
        jet::Page scribbled;
        std::fill(scribbled.data(), scribbled.data() + 4096, 0xA5);
        std::map<std::uint32_t, jet::Page> changes;
        for (std::uint32_t number : saved)
            changes[number] = scribbled;
        const std::string before = TempDir::readFile(path), journal = jet::JournalPath(path);
        {
            jet::PageFile file(path, true);
            changes[file.pageCount()] = scribbled;
            jet::WriteJournal(file, changes);
            if (kind == Torn) {
                fs::resize_file(journal, fs::file_size(journal) - 100);
            } else if (kind == Damaged) {
                // A saved page's bytes changed where the disk never wrote them: its size is whole, its
                // checksum no longer matches, and putting it back would damage the file.
                std::string bytes = TempDir::readFile(journal);
                std::fill(bytes.begin() + 100, bytes.begin() + 600, '\0');
                dir.write("db.mdb-journal", bytes);
            } else if (kind == OfAnEarlierCopy) {
                file.write(saved.front(), jet::Page()); // neither the page before nor after
            } else if (kind != OfAnotherFile) {
                for (const auto &[number, page] : changes)
                    file.write(number, page);
            }
        }
        if (kind == OfAnotherFile)
            fs::copy_file(kAccessFolder / "compIndexTestV2000.mdb", path, fs::copy_options::overwrite_existing);
        const std::string untouched = TempDir::readFile(path);
        const bool foreign = kind == OfAnotherFile || kind == OfAnEarlierCopy;
        EXPECT_NO_THROW(jet::JetDatabase{path});
        EXPECT_FALSE(fs::exists(journal));
        EXPECT_EQ(fs::exists(journal + " (another file's)"), foreign);
        EXPECT_TRUE(TempDir::readFile(path) == (foreign ? untouched : before));
    }
}

} // namespace
} // namespace tarnwick
