#include "checks/crc_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <tuple>

#include "text/words.h"

namespace brantel {
namespace {

// The check and residue of each entry are the published ones, typed apart from its parameters:
// a parameter typed wrong makes the engine disagree with them.
TEST(CrcCatalogue, EveryAlgorithmGivesItsPublishedCheckAndResidue) {
    for (const CatalogueCrc& crc : CrcCatalogue()) {
        EXPECT_EQ(ComputeCrc(crc.model, "123456789"), crc.check) << crc.name;
        EXPECT_EQ(CrcResidue(crc.model), crc.residue) << crc.name;
    }
}

TEST(CrcCatalogue, NamesAndAliasesFindTheirOwnAlgorithmOnly) {
    const std::span<const CatalogueCrc> catalogue = CrcCatalogue();
    // All of the published algorithms of widths 1 to 64.
    EXPECT_EQ(catalogue.size(), 112u);
    std::set<std::string_view> seen;
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const CatalogueCrc& crc = catalogue[i];
        if (i > 0) {
            const CatalogueCrc& before = catalogue[i - 1];
            EXPECT_LT(std::tie(before.model.width, before.name),
                      std::tie(crc.model.width, crc.name))
                << crc.name << " is out of order";
        }
        EXPECT_EQ(FindCatalogueCrc(crc.name), &crc) << crc.name;
        EXPECT_TRUE(seen.insert(crc.name).second) << crc.name << " is named twice";
        for (const std::string_view alias : Words(crc.aliases, DelimiterSet(" "))) {
            EXPECT_TRUE(alias.starts_with("CRC-")) << alias;
            EXPECT_EQ(FindCatalogueCrc(alias), &crc) << alias;
            EXPECT_TRUE(seen.insert(alias).second) << alias << " is named twice";
        }
    }
    for (const char* unknown : {"crc-16/modbus", "crc-32", "CRC-16/MODBUS ", "CRC-16/CCITT",
                                "CRC-CCITT", "CRC-64", "CRC-82/DARC", ""}) {
        EXPECT_EQ(FindCatalogueCrc(unknown), nullptr) << '"' << unknown << '"';
    }
}

}  // namespace
}  // namespace brantel
