#include "checks/crc_engine.h"

#include <gtest/gtest.h>

namespace brantel {
namespace {

// A search extends one register byte by byte; it must end where one computation ends.
TEST(CrcEngine, FeedingInPiecesGivesTheWholeCrc) {
    const CrcModel crc32{32, 0x04C11DB7, 0xFFFFFFFF, true, true, 0xFFFFFFFF};
    CrcRegister pieces(crc32);
    pieces.Feed("1234");
    pieces.Feed("56789");
    EXPECT_EQ(pieces.Value(), ComputeCrc(crc32, "123456789"));
    EXPECT_EQ(ComputeCrc(crc32, ""), 0u);
}

}  // namespace
}  // namespace brantel
