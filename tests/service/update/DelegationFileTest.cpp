// The registries' delegation files: the blocks they give, and the files refused.
#include "service/update/DelegationFile.h"
#include "service/update/UpdateError.h"
#include "tests/service/update/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

constexpr char kHead[] = "2|test|20261206|";

std::string Written(const test::TemporaryFolder& folder, const std::string& content) {
    const std::string path = (folder.Path() / "delegated").string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

TEST(DelegationFileTest, TakesAllocatedAndAssignedBlocksOfBothFamilies) {
    const test::TemporaryFolder folder;
    const std::string path = Written(folder, std::string(kHead) +
                                                 "6|19830613|20261205|+0000\r\n"
                                                 "# a comment\n"
                                                 "test|*|ipv4|*|3|summary\n"
                                                 "test|AU|ipv4|1.0.0.0|256|20110811|assigned|x\n"
                                                 "test|CN|ipv4|1.0.2.0|768|20110414|allocated\n"
                                                 "test||ipv4|1.0.1.0|256||available|\n"
                                                 "test|CN|ipv6|240e::|20|20130823|allocated|y\n"
                                                 "test|US|asn|15169|1|20000330|assigned|z\n"
                                                 "test|ZZ|ipv4|5.0.0.0|256||reserved|\n");
    service::CountryRangeTable table;
    EXPECT_EQ(update::AddDelegations(path, table), "20261206");
    table.Finish();
    const std::pair<const char*, const char*> cases[] = {
        {"1.0.0.255", "AU"}, {"1.0.1.0", ""},      {"1.0.2.0", "CN"},
        {"1.0.4.255", "CN"}, {"1.0.5.0", ""},      {"5.0.0.1", ""},
        {"240e::1", "CN"},   {"240e:fff::", "CN"}, {"240e:1000::", ""},
    };
    for (const auto& [address, code] : cases) {
        EXPECT_EQ(table.Find(*service::ParseIpAddress(address)), code) << address;
    }
}

TEST(DelegationFileTest, RefusesWhatIsNotAWholeDelegationFile) {
    // A file of the head and one record.
    const auto oneRecord = [](const char* record) {
        return std::string(kHead) + "1|x|y|z\n" + record + "\n";
    };
    const std::pair<std::string, const char*> cases[] = {
        {"", "empty"},
        {"<html>gone</html>\n", ":1: not a delegation file's version line"},
        {std::string(kHead) + "2|x|y|z\ntest|AU|ipv4|1.0.0.0|256|20110811|assigned\n",
         "1 records where its first line says 2 (cut short?)"},
        {oneRecord("test||ipv4|1.0.1.0|256||available"), "no address block delegated"},
        {oneRecord("test|AU|ipv4|1.0.0.0|0|20110811|assigned"), ":2: a malformed block"},
        {oneRecord("test|AU|ipv4|255.255.255.0|257|20110811|assigned"), ":2: a malformed block"},
        {oneRecord("test|AU|ipv6|2001:db8::|129|20110811|assigned"), ":2: a malformed block"},
        {oneRecord("test|AUS|ipv4|1.0.0.0|256|20110811|assigned"), ":2: a block without a country"},
        {oneRecord("test|<b|ipv4|1.0.0.0|256|20110811|assigned"), ":2: a block without a country"},
        {oneRecord("test|AU|ipv4"), ":2: not a delegation record"},
    };
    const test::TemporaryFolder folder;
    for (const auto& [content, message] : cases) {
        service::CountryRangeTable table;
        try {
            update::AddDelegations(Written(folder, content), table);
            ADD_FAILURE() << "accepted: " << content;
        } catch (const update::UpdateError& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
    }
}

}  // namespace
