// CRC-32 as zip, PNG and the file managers' split records compute it (polynomial 0xEDB88320,
// reflected, starting from and ending with all bits flipped): "123456789" gives CBF43926.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Start with crc 0; feed the bytes in any number of parts; the result after the last is the CRC.
uint32_t Crc32Add(uint32_t crc, const void *bytes, size_t count);
