#include "checks/crc_engine.h"

namespace brantel {

namespace {

std::uint64_t WidthMask(int width) {
    return width >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
}

std::uint64_t Reflect(std::uint64_t value, int width) {
    std::uint64_t reflected = 0;
    for (int bit = 0; bit < width; ++bit) {
        reflected = (reflected << 1) | ((value >> bit) & 1);
    }
    return reflected;
}

// One bit into the register, as the polynomial division takes it.
std::uint64_t FeedBit(std::uint64_t reg, bool bit, const CrcModel& model, std::uint64_t mask) {
    const bool top = ((reg >> (model.width - 1)) & 1) != 0;
    reg = (reg << 1) & mask;
    return top != bit ? reg ^ model.poly : reg;
}

}  // namespace

CrcRegister::CrcRegister(const CrcModel& model)
    : model_(model), mask_(WidthMask(model.width)), register_(model.init & mask_) {}

void CrcRegister::Feed(std::string_view bytes) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        for (int i = 0; i < 8; ++i) {
            const int bit = model_.refin ? i : 7 - i;
            register_ = FeedBit(register_, ((byte >> bit) & 1) != 0, model_, mask_);
        }
    }
}

std::uint64_t CrcRegister::Value() const {
    const std::uint64_t out = model_.refout ? Reflect(register_, model_.width) : register_;
    return (out ^ model_.xorout) & mask_;
}

std::uint64_t ComputeCrc(const CrcModel& model, std::string_view bytes) {
    CrcRegister reg(model);
    reg.Feed(bytes);
    return reg.Value();
}

std::uint64_t CrcResidue(const CrcModel& model) {
    // Feeding a codeword's CRC leaves xorout times x^width modulo the polynomial, whatever the
    // bytes before it.
    const std::uint64_t mask = WidthMask(model.width);
    std::uint64_t reg = model.xorout & mask;
    for (int i = 0; i < model.width; ++i) {
        reg = FeedBit(reg, false, model, mask);
    }
    return model.refout ? Reflect(reg, model.width) : reg;
}

}  // namespace brantel
