#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "checks/crc_engine.h"

namespace brantel {

// An algorithm of the published catalogue of parametrised CRCs, with its check value (the CRC
// of the ASCII bytes "123456789") and residue.
struct CatalogueCrc {
    std::string_view name;
    CrcModel model;
    std::uint64_t check = 0;
    std::uint64_t residue = 0;
    // The aliases a template may use for it, separated by spaces: those that start with "CRC-"
    // and that users mean this algorithm by.
    std::string_view aliases;
};

// Every algorithm, in the catalogue's order (by width, then name).
std::span<const CatalogueCrc> CrcCatalogue();

// The algorithm of a name or accepted alias, spelt exactly; nullptr for none.
const CatalogueCrc* FindCatalogueCrc(std::string_view name);

}  // namespace brantel
