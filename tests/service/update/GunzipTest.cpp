#include "service/update/Gunzip.h"

#include "service/update/UpdateError.h"
#include "tests/service/update/ArchiveBytes.h"
#include "tests/service/update/TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

using testing::HasSubstr;

namespace {

namespace fs = std::filesystem;

const std::string kText = "1.0.0.0,1.0.0.255,AU,Queensland,South Brisbane\n";

std::string Contents(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

void WriteFile(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

struct GunzipCase {
    const char* name;
    std::function<std::string()> packed;
    std::uint64_t maxBytes;
    const char* failure;  // empty: unpacks to `unpacked`
    std::string unpacked;
};

// The gzip trailer is the CRC-32 of the text, then its length, little-endian.
const GunzipCase kCases[] = {
    {"one member", [] { return test::Gzipped(kText); }, 1000, "", kText},
    {"exactly as large as allowed", [] { return test::Gzipped(kText); }, kText.size(), "", kText},
    {"two members follow each other", [] { return test::Gzipped(kText) + test::Gzipped("more\n"); },
     1000, "", kText + "more\n"},
    {"an empty text", [] { return test::Gzipped(""); }, 0, "", ""},
    {"larger than allowed", [] { return test::Gzipped(kText); }, kText.size() - 1,
     "more than 46 bytes", ""},
    {"the trailer cut off",
     [] {
         const std::string packed = test::Gzipped(kText);
         return packed.substr(0, packed.size() - 4);
     },
     1000, "ends early", ""},
    {"cut off in the data", [] { return test::Gzipped(kText).substr(0, 20); }, 1000, "ends early",
     ""},
    {"a wrong CRC",
     [] {
         std::string packed = test::Gzipped(kText);
         packed[packed.size() - 8] ^= 1;
         return packed;
     },
     1000, "incorrect data check", ""},
    {"a wrong length",
     [] {
         std::string packed = test::Gzipped(kText);
         packed[packed.size() - 4] ^= 1;
         return packed;
     },
     1000, "incorrect length check", ""},
    {"bytes after the end", [] { return test::Gzipped(kText) + "<html>"; }, 1000,
     "bytes after the end of the compressed data", ""},
    {"zeros after the end", [] { return test::Gzipped(kText) + std::string(512, '\0'); }, 1000,
     "bytes after the end of the compressed data", ""},
    {"not gzip at all", [] { return std::string("<html>Not found</html>"); }, 1000,
     "incorrect header check", ""},
    {"an empty file", [] { return std::string(); }, 1000, "the file is empty", ""},
};

// The output file holds something older at first: a good stream replaces it, and a bad one
// leaves no file.
TEST(GunzipTest, UnpacksWholeStreamsOnly) {
    for (const GunzipCase& row : kCases) {
        SCOPED_TRACE(row.name);
        test::TemporaryFolder folder;
        const fs::path from = folder.Path() / "data.gz";
        const fs::path to = folder.Path() / "data";
        WriteFile(from, row.packed());
        WriteFile(to, "older");
        if (*row.failure == '\0') {
            update::Gunzip(from, to, row.maxBytes);
            EXPECT_EQ(Contents(to), row.unpacked);
            continue;
        }
        try {
            update::Gunzip(from, to, row.maxBytes);
            ADD_FAILURE() << "no error";
        } catch (const update::UpdateError& error) {
            EXPECT_THAT(error.what(), HasSubstr(row.failure));
            EXPECT_THAT(error.what(), HasSubstr(from.string()));
        }
        EXPECT_FALSE(fs::exists(to));
    }
}

TEST(GunzipTest, AMissingFileIsAnError) {
    test::TemporaryFolder folder;
    EXPECT_THROW(update::Gunzip(folder.Path() / "none.gz", folder.Path() / "none", 1000),
                 update::UpdateError);
    EXPECT_FALSE(fs::exists(folder.Path() / "none"));
}

// A text larger than the stream's buffers, read in pieces of every size, comes out whole.
TEST(GunzipTest, StreamsInPiecesOfAnySize) {
    std::string text;
    for (int line = 0; text.size() < 300'000; ++line) text += std::to_string(line * 7919) + '\n';
    test::TemporaryFolder folder;
    WriteFile(folder.Path() / "text.gz", test::Gzipped(text));
    for (const std::size_t piece : {std::size_t{1}, std::size_t{511}, std::size_t{1} << 20}) {
        SCOPED_TRACE(piece);
        update::GunzipStream stream(folder.Path() / "text.gz");
        std::string read;
        std::string buffer(piece, '\0');
        while (const std::size_t got = stream.Read(buffer.data(), buffer.size())) {
            ASSERT_LE(got, piece);
            read.append(buffer, 0, got);
        }
        EXPECT_TRUE(read == text) << read.size() << " bytes of " << text.size();
        EXPECT_EQ(stream.Read(buffer.data(), buffer.size()), 0u);
    }
}

}  // namespace
