// CRC-32 of USB Power Delivery messages (the reflected IEEE 802.3 polynomial).
#pragma once

#include <cstddef>
#include <cstdint>

// CRC of `size` bytes: initial value 0xFFFFFFFF, final complement. Crc32("123456789") is
// 0xCBF43926.
uint32_t Crc32(const uint8_t* data, size_t size);
