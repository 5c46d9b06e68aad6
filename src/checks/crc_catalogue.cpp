#include "checks/crc_catalogue.h"

#include <array>

#include "text/words.h"

namespace brantel {

namespace {

constexpr bool kRef = true;
constexpr bool kNot = false;

// width, poly, init, refin, refout, xorout, check, residue, name, aliases
const auto kCatalogue = std::to_array<CatalogueCrc>({
    {"CRC-8/MAXIM-DOW", {8, 0x31, 0x00, kRef, kRef, 0x00}, 0xA1, 0x00, ""},
    {"CRC-8/SMBUS", {8, 0x07, 0x00, kNot, kNot, 0x00}, 0xF4, 0x00, "CRC-8"},
    {"CRC-16/ARC", {16, 0x8005, 0x0000, kRef, kRef, 0x0000}, 0xBB3D, 0x0000, "CRC-16"},
    {"CRC-16/IBM-3740",
     {16, 0x1021, 0xFFFF, kNot, kNot, 0x0000},
     0x29B1,
     0x0000,
     "CRC-16/AUTOSAR CRC-16/CCITT-FALSE"},
    {"CRC-16/KERMIT", {16, 0x1021, 0x0000, kRef, kRef, 0x0000}, 0x2189, 0x0000, ""},
    {"CRC-16/MODBUS", {16, 0x8005, 0xFFFF, kRef, kRef, 0x0000}, 0x4B37, 0x0000, ""},
    {"CRC-16/XMODEM", {16, 0x1021, 0x0000, kNot, kNot, 0x0000}, 0x31C3, 0x0000, ""},
    {"CRC-32/ISCSI",
     {32, 0x1EDC6F41, 0xFFFFFFFF, kRef, kRef, 0xFFFFFFFF},
     0xE3069283,
     0xB798B438,
     "CRC-32C"},
    {"CRC-32/ISO-HDLC",
     {32, 0x04C11DB7, 0xFFFFFFFF, kRef, kRef, 0xFFFFFFFF},
     0xCBF43926,
     0xDEBB20E3,
     "CRC-32"},
    {"CRC-64/XZ",
     {64, 0x42F0E1EBA9EA3693, 0xFFFFFFFFFFFFFFFF, kRef, kRef, 0xFFFFFFFFFFFFFFFF},
     0x995DC9BBDF1939FA,
     0x49958C9ABD7D353F,
     ""},
});

bool Names(const CatalogueCrc& crc, std::string_view name) {
    if (crc.name == name) {
        return true;
    }
    for (const std::string_view alias : Words(crc.aliases, DelimiterSet(" "))) {
        if (alias == name) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::span<const CatalogueCrc> CrcCatalogue() {
    return kCatalogue;
}

const CatalogueCrc* FindCatalogueCrc(std::string_view name) {
    for (const CatalogueCrc& crc : kCatalogue) {
        if (Names(crc, name)) {
            return &crc;
        }
    }
    return nullptr;
}

}  // namespace brantel
