#include "pd/crc32.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Crc32, KnownAnswer) {
    const char* text = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text), std::strlen(text)), 0xCBF43926u);
}

TEST(Crc32, EmptyInputIsZero) {
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
}
