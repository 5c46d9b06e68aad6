#pragma once

#include <cstdint>
#include <string_view>

namespace brantel {

// A CRC in the parametrised model: the register is `width` bits, preset to `init` and fed most
// significant bit first; `refin` feeds each byte least significant bit first, `refout` reflects
// the register before `xorout` is applied.
struct CrcModel {
    int width = 0;  // 1 to 64
    std::uint64_t poly = 0;
    std::uint64_t init = 0;
    bool refin = false;
    bool refout = false;
    std::uint64_t xorout = 0;
    bool operator==(const CrcModel&) const = default;
};

// The register of a CRC fed byte by byte, so a search can extend one computation.
class CrcRegister {
  public:
    explicit CrcRegister(const CrcModel& model);
    void Feed(std::string_view bytes);
    // The CRC of the bytes fed so far.
    std::uint64_t Value() const;

  private:
    const CrcModel& model_;
    std::uint64_t mask_;
    std::uint64_t register_;
};

std::uint64_t ComputeCrc(const CrcModel& model, std::string_view bytes);

// What the register holds after a codeword without errors (the bytes and their CRC), reflected
// when `refout`, before `xorout`: the same for every codeword of the model.
std::uint64_t CrcResidue(const CrcModel& model);

}  // namespace brantel
