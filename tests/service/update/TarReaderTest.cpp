#include "service/update/TarReader.h"

#include "service/update/Gunzip.h"
#include "service/update/UpdateError.h"
#include "tests/service/update/ArchiveBytes.h"
#include "tests/service/update/TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>

using test::Tar;
using test::TarMember;
using testing::HasSubstr;

namespace {

// Reads the archive from memory, at most `piece` bytes at a time.
update::TarReader ReaderOf(const std::string& archive, std::size_t piece = 100'000) {
    auto position = std::make_shared<std::size_t>(0);
    return update::TarReader(
        "test.tgz", [archive, position, piece](char* buffer, std::size_t size) {
            const std::size_t length = std::min({size, piece, archive.size() - *position});
            std::memcpy(buffer, archive.data() + *position, length);
            *position += length;
            return length;
        });
}

// Every regular file as "path=body", in the archive's order.
std::vector<std::string> Files(update::TarReader reader) {
    std::vector<std::string> files;
    while (const auto entry = reader.Next()) {
        std::string body;
        reader.ReadBody([&](std::string_view bytes) { body += bytes; });
        EXPECT_EQ(body.size(), entry->size);
        files.push_back(entry->path + '=' + body);
    }
    return files;
}

std::string PaxRecord(const std::string& key, const std::string& value) {
    const std::string record = ' ' + key + '=' + value + '\n';
    std::string length = std::to_string(record.size() + 2);
    return std::to_string(record.size() + length.size()) + record;
}

struct SoundCase {
    const char* name;
    std::vector<TarMember> members;
    std::vector<std::string> files;
};

const SoundCase kSoundCases[] = {
    {"files, with folders and links passed over",
     {{"package/", "", '5'},
      {"package/a.csv", "1,2\n"},
      {"package/link", "", '2'},
      {"package/b.mmdb", std::string(1500, 'b')},
      {"package/old-style", "x", '\0'}},
     {"package/a.csv=1,2\n", "package/b.mmdb=" + std::string(1500, 'b'), "package/old-style=x"}},
    {"an empty archive", {}, {}},
    {"a long path in prefix and name",
     {{"name.csv", "n", '0', "package/" + std::string(120, 'p')}},
     {"package/" + std::string(120, 'p') + "/name.csv=n"}},
    {"a GNU long name",
     {{"././@LongLink", "package/" + std::string(200, 'l') + '\0', 'L'}, {"package/llll", "long"}},
     {"package/" + std::string(200, 'l') + "=long"}},
    {"a pax path",
     {{"PaxHeader/x", PaxRecord("mtime", "1.5") + PaxRecord("path", "package/pax.csv"), 'x'},
      {"package/short", "pax"},
      {"package/after", "plain"}},
     {"package/pax.csv=pax", "package/after=plain"}},
    {"dots that are not \"..\"", {{"package/..a/b..", "d"}}, {"package/..a/b..=d"}},
    {"GNU magic", {{"package/gnu", "g", '0', "", std::string("ustar  \0", 8)}}, {"package/gnu=g"}},
};

TEST(TarReaderTest, ReadsSoundArchives) {
    for (const SoundCase& row : kSoundCases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Files(ReaderOf(Tar(row.members))), row.files);
        EXPECT_EQ(Files(ReaderOf(Tar(row.members), 7)), row.files);
    }
}

TEST(TarReaderTest, SkipsTheBodiesNotRead) {
    update::TarReader reader =
        ReaderOf(Tar({{"package/a", std::string(2000, 'a')}, {"package/b", "bee"}}));
    ASSERT_EQ(reader.Next()->path, "package/a");
    const auto second = reader.Next();
    ASSERT_TRUE(second);
    std::string body;
    reader.ReadBody([&](std::string_view bytes) { body += bytes; });
    EXPECT_EQ(body, "bee");
    EXPECT_FALSE(reader.Next());
    EXPECT_FALSE(reader.Next());
}

struct DamagedCase {
    const char* name;
    std::string archive;
    const char* failure;
};

std::string WithByte(std::string archive, std::size_t offset, char value) {
    archive[offset] = value;
    return archive;
}

const std::string kSound = Tar({{"package/a.csv", "1,2\n"}, {"package/b.csv", "3,4\n"}});

const DamagedCase kDamagedCases[] = {
    {"a name changed under its checksum", WithByte(kSound, 9, 'X'), "checksum is wrong"},
    {"a checksum that is no number", WithByte(kSound, 148, 'x'), "checksum is wrong"},
    {"not ustar", Tar({{"package/a", "a", '0', "", std::string("pre-posix", 8)}}),
     "not a ustar archive"},
    {"a size that is no number",
     Tar({{"package/a", "a", '0', "", test::kUstarMagic, "0000000001x"}}),
     "size is not an octal number"},
    {"\"..\" climbs out", Tar({{"package/../../etc/cron.d/x", "a"}}), "points outside"},
    {"\"..\" alone", Tar({{"..", "", '5'}}), "points outside"},
    {"an absolute path", Tar({{"/etc/passwd", "a"}}), "points outside"},
    {"\"..\" in a link is refused too", Tar({{"package/../x", "", '2'}}), "points outside"},
    {"\"..\" through a long name", Tar({{"././@LongLink", "../x", 'L'}, {"x", "a"}}),
     "points outside"},
    {"\"..\" through a pax path",
     Tar({{"PaxHeader/x", PaxRecord("path", "package/../../x"), 'x'}, {"x", "a"}}),
     "points outside"},
    {"a damaged pax header", Tar({{"PaxHeader/x", "99 path=x\n", 'x'}, {"x", "a"}}),
     "damaged pax header"},
    {"a long name too long", Tar({{"././@LongLink", std::string(70'000, 'l'), 'L'}}),
     "a long name or pax header of 70000 bytes"},
    {"cut off in a body", kSound.substr(0, 512 + 2), "ends early"},
    {"cut off in a header", kSound.substr(0, 1024 + 100), "ends early"},
    {"no end", kSound.substr(0, 2048), "ends early"},
    {"nothing at all", "", "ends early"},
};

TEST(TarReaderTest, RefusesDamagedAndDangerousArchives) {
    for (const DamagedCase& row : kDamagedCases) {
        SCOPED_TRACE(row.name);
        try {
            Files(ReaderOf(row.archive));
            ADD_FAILURE() << "no error";
        } catch (const update::UpdateError& error) {
            EXPECT_THAT(error.what(), HasSubstr("test.tgz"));
            EXPECT_THAT(error.what(), HasSubstr(row.failure));
        }
    }
}

// Archives as GNU tar writes them in each of its formats, long paths included, read
// through the gzip stream as a downloaded package is.
TEST(TarReaderTest, ReadsWhatGnuTarWrites) {
    test::TemporaryFolder folder;
    const std::string longFolder = "package/" + std::string(90, 'f');
    const std::string longName = std::string(120, 'n') + ".csv";
    std::filesystem::create_directories(folder.Path() / longFolder);
    std::ofstream(folder.Path() / "package" / "short.csv") << "short";
    std::ofstream(folder.Path() / longFolder / longName) << "long";
    const std::vector<std::string> expected = {longFolder + '/' + longName + "=long",
                                               "package/short.csv=short"};
    for (const char* format : {"gnu", "pax"}) {
        SCOPED_TRACE(format);
        const std::string archive = (folder.Path() / (std::string(format) + ".tgz")).string();
        const std::string command = "tar --sort=name --format=" + std::string(format) + " -czf " +
                                    archive + " -C " + folder.Path().string() + " package";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        update::GunzipStream stream(archive);
        EXPECT_EQ(Files(update::TarReader(
                      "test.tgz",
                      [&](char* buffer, std::size_t size) { return stream.Read(buffer, size); })),
                  expected);
    }
}

}  // namespace
