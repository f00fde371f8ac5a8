#include "Crc32.h"

// Eight bytes a step through eight tables (each byte's effect eight, seven ... one steps ahead):
// several times as fast as a byte a step, so that a join checks as fast as it copies.
static uint32_t Tables[8][256];
static int TablesReady = 0;

static void MakeTables(void)
{
    for (uint32_t n = 0; n < 256; n++) {
        uint32_t c = n;
        for (int k = 0; k < 8; k++)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        Tables[0][n] = c;
    }
    for (int t = 1; t < 8; t++)
        for (uint32_t n = 0; n < 256; n++)
            Tables[t][n] = (Tables[t - 1][n] >> 8) ^ Tables[0][Tables[t - 1][n] & 0xFF];
    TablesReady = 1;
}

uint32_t Crc32Add(uint32_t crc, const void *bytes, size_t count)
{
    if (!TablesReady) // made on first use
        MakeTables();
    const unsigned char *p = (const unsigned char *)bytes;
    crc = ~crc;
    for (; count >= 8; count -= 8, p += 8) {
        uint32_t low = crc ^ (p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
        crc = Tables[7][low & 0xFF] ^ Tables[6][(low >> 8) & 0xFF] ^ Tables[5][(low >> 16) & 0xFF] ^
              Tables[4][low >> 24] ^ Tables[3][p[4]] ^ Tables[2][p[5]] ^ Tables[1][p[6]] ^ Tables[0][p[7]];
    }
    for (; count > 0; count--, p++)
        crc = Tables[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
