#include "tests/service/ServiceTestSupport.h"

#include "service/core/data/DataSetLocation.h"
#include "service/core/data/DataSetRecord.h"
#include "service/http/DataAge.h"
#include "service/http/DataSetChoice.h"

#include <stdlib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace service {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

// How a folder given to the service is laid out.
enum class Kind {
    Set,       // a compiled set, as the package installs it
    Store,     // a store of sets with `current`, as the updater keeps it
    Damaged,   // a set whose record is good but a database is gone
    NoRecord,  // a folder without any set
};

struct FolderRow {
    const char* name;
    Kind kind;
    const char* made;
};

struct ChoiceRow {
    const char* name;
    std::vector<FolderRow> folders;
    const char* chosen;  // the folder whose set answers, null for none
    // Each line logged, in order, up to its end or its first '*' ("{}" stands for the
    // temporary folder): what a reason says after the folder comes from the set's checks.
    std::vector<std::string> log;
};

class DataSetChoiceTest : public testing::TestWithParam<ChoiceRow> {
protected:
    DataSetChoiceTest() {
        std::string pattern = (fs::temp_directory_path() / "wherix-choice-XXXXXX").string();
        m_root = fs::canonical(::mkdtemp(pattern.data()));
    }
    ~DataSetChoiceTest() override { fs::remove_all(m_root); }

    // Makes the folder and returns where its set lies.
    fs::path Make(const FolderRow& row) const {
        const fs::path folder = m_root / row.name;
        fs::path set = row.kind == Kind::Store ? folder / kStoredSetsFolder / "1" : folder;
        fs::create_directories(set);
        if (row.kind == Kind::NoRecord) return set;
        fs::copy(SERVICE_FIXTURES, set, fs::copy_options::recursive);
        DataSetRecord record = ReadDataSetRecord(set.string());
        record.made = row.made;
        record.published.clear();  // the choice goes by when a set was made
        WriteDataSetRecord(set.string(), record);
        if (row.kind == Kind::Damaged) fs::remove(set / kCityDatabaseFile);
        if (row.kind == Kind::Store) {
            fs::create_directory_symlink(fs::path(kStoredSetsFolder) / "1",
                                         folder / kCurrentSetLink);
        }
        return set;
    }

    std::string Expanded(std::string text) const {
        for (std::size_t at; (at = text.find("{}")) != std::string::npos;) {
            text.replace(at, 2, m_root.string());
        }
        return text;
    }

    fs::path m_root;
};

TEST_P(DataSetChoiceTest, TakesTheNewestGoodSet) {
    std::vector<std::string> folders;
    std::optional<fs::path> expected;
    for (const FolderRow& row : GetParam().folders) {
        const fs::path set = Make(row);
        folders.push_back((m_root / row.name).string());
        if (GetParam().chosen != nullptr && std::string_view(row.name) == GetParam().chosen) {
            expected = set;
        }
    }
    std::vector<std::string> lines;
    const auto chosen =
        LoadNewestDataSet(folders, true, [&](std::string_view line) { lines.emplace_back(line); });

    if (expected) {
        ASSERT_NE(chosen, nullptr);
        EXPECT_EQ(chosen->folder(), expected->string());
    } else {
        EXPECT_EQ(chosen, nullptr);
    }
    ASSERT_EQ(lines.size(), GetParam().log.size()) << testing::PrintToString(lines);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string want = Expanded(GetParam().log[i]);
        const std::size_t star = want.find('*');
        EXPECT_EQ(lines[i].substr(0, star), want.substr(0, star)) << "line " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DataSetChoiceTest,
    testing::Values(
        ChoiceRow{"oneSetAsBefore",
                  {{"geo", Kind::Set, "2026-06-05T10:00:00Z"}},
                  "geo",
                  {"data: answering from {}/geo (made 2026-06-05T10:00:00Z)"}},
        ChoiceRow{"updatedStoreBeatsThePackage",
                  {{"store", Kind::Store, "2026-07-01T03:00:00Z"},
                   {"package", Kind::Set, "2026-06-05T10:00:00Z"}},
                  "store",
                  {"data: skipped {}/package: its set (made 2026-06-05T10:00:00Z) is older than "
                   "{}/store/sets/1 (made 2026-07-01T03:00:00Z)",
                   "data: answering from {}/store/sets/1 (made 2026-07-01T03:00:00Z)"}},
        ChoiceRow{"newerPackageBeatsAnOldStore",
                  {{"store", Kind::Store, "2026-07-01T03:00:00Z"},
                   {"package", Kind::Set, "2026-08-01T00:00:00Z"}},
                  "package",
                  {"data: skipped {}/store: its set (made 2026-07-01T03:00:00Z) is older than "
                   "{}/package (made 2026-08-01T00:00:00Z)",
                   "data: answering from {}/package (made 2026-08-01T00:00:00Z)"}},
        ChoiceRow{
            "sameMomentTheFirstGivenWins",
            {{"b", Kind::Set, "2026-07-01T03:00:00Z"}, {"a", Kind::Set, "2026-07-01T03:00:00Z"}},
            "b",
            {"data: skipped {}/a: its set (made 2026-07-01T03:00:00Z) is older than*",
             "data: answering from {}/b (made*"}},
        ChoiceRow{"damagedNewestIsSkipped",
                  {{"store", Kind::Damaged, "2026-07-01T03:00:00Z"},
                   {"package", Kind::Set, "2026-06-05T10:00:00Z"}},
                  "package",
                  {"data: skipped {}/store: *",
                   "data: answering from {}/package (made 2026-06-05T10:00:00Z)"}},
        ChoiceRow{"folderWithoutASetIsSkipped",
                  {{"empty", Kind::NoRecord, ""}, {"package", Kind::Set, "2026-06-05T10:00:00Z"}},
                  "package",
                  {"data: skipped {}/empty: {}/empty: not a compiled data set (no MANIFEST)",
                   "data: answering from {}/package*"}},
        ChoiceRow{"noneGood",
                  {{"empty", Kind::NoRecord, ""}, {"store", Kind::Damaged, "2026-07-01T03:00:00Z"}},
                  nullptr,
                  {"data: skipped {}/empty: *", "data: skipped {}/store: *"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct AgeRow {
    const char* name;
    const char* published;
    const char* made;
    const char* warning;  // null for none
};

class StaleDataTest : public testing::TestWithParam<AgeRow> {};

TEST_P(StaleDataTest, WarnsPastNinetyDays) {
    DataSetRecord record;
    record.published = GetParam().published;
    record.made = GetParam().made;
    const auto warning = StaleDataWarning(record, sys_days(year(2026) / December / 7));
    if (GetParam().warning == nullptr) {
        EXPECT_EQ(warning, std::nullopt);
    } else {
        EXPECT_EQ(warning, std::string(GetParam().warning));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StaleDataTest,
    testing::Values(
        AgeRow{"publishedNinetyDaysAgo", "2026-09-08", "2026-12-01T00:00:00Z", nullptr},
        AgeRow{"publishedNinetyOneDaysAgo", "2026-09-07", "2026-12-01T00:00:00Z",
               "data: warning: the data are 91 days old (sources published 2026-09-07); answers "
               "drift as networks move: run wherix-update or install a newer lokaro-geodata"},
        // A set made yesterday from old sources is as old as its sources.
        AgeRow{"oldSourcesInANewSet", "2026-06-05", "2026-12-06T18:00:00Z",
               "data: warning: the data are 185 days old (sources published 2026-06-05); "
               "answers drift as networks move: run wherix-update or install a newer "
               "lokaro-geodata"},
        AgeRow{"noPublishedDateTakesMade", "", "2026-06-05T23:59:59Z",
               "data: warning: the data are 185 days old (set made 2026-06-05); answers drift "
               "as networks move: run wherix-update or install a newer lokaro-geodata"},
        AgeRow{"freshByMade", "", "2026-12-07T00:00:00Z", nullptr},
        AgeRow{"unreadableDate", "June 2026", "2026-01-01T00:00:00Z", nullptr},
        AgeRow{"impossibleDay", "2026-02-30", "2026-01-01T00:00:00Z", nullptr},
        AgeRow{"noDatesAtAll", "", "", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace service
