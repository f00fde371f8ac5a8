#include "Sha256.h"

#include <cpuid.h>
#include <immintrin.h>
#include <string.h>

static const uint32_t RoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

static inline uint32_t Rotate(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

static void CompressPortable(uint32_t state[8], const unsigned char *data, size_t blocks)
{
    for (; blocks > 0; blocks--, data += 64) {
        uint32_t w[64];
        for (int t = 0; t < 16; t++)
            w[t] = (uint32_t)data[4 * t] << 24 | (uint32_t)data[4 * t + 1] << 16 | (uint32_t)data[4 * t + 2] << 8 |
                   data[4 * t + 3];
        for (int t = 16; t < 64; t++) {
            uint32_t s0 = Rotate(w[t - 15], 7) ^ Rotate(w[t - 15], 18) ^ (w[t - 15] >> 3);
            uint32_t s1 = Rotate(w[t - 2], 17) ^ Rotate(w[t - 2], 19) ^ (w[t - 2] >> 10);
            w[t] = w[t - 16] + s0 + w[t - 7] + s1;
        }
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int t = 0; t < 64; t++) {
            uint32_t t1 = h + (Rotate(e, 6) ^ Rotate(e, 11) ^ Rotate(e, 25)) + ((e & f) ^ (~e & g)) + RoundConstants[t] + w[t];
            uint32_t t2 = (Rotate(a, 2) ^ Rotate(a, 13) ^ Rotate(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g, g = f, f = e, e = d + t1, d = c, c = b, b = a, a = t1 + t2;
        }
        state[0] += a, state[1] += b, state[2] += c, state[3] += d;
        state[4] += e, state[5] += f, state[6] += g, state[7] += h;
    }
}

// The extensions work on the state as the pairs ABEF and CDGH, four rounds of two instructions
// each, the message schedule four words at a time.
#define SHA_EXTENSIONS __attribute__((target("sha,sse4.1")))
#define SHA_STEP __attribute__((target("sha,sse4.1"), always_inline)) static inline

SHA_STEP void LoadState(const uint32_t state[8], __m128i *abef, __m128i *cdgh)
{
    __m128i cdab = _mm_shuffle_epi32(_mm_loadu_si128((const __m128i *)&state[0]), 0xB1);
    __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128((const __m128i *)&state[4]), 0x1B);
    *abef = _mm_alignr_epi8(cdab, efgh, 8);
    *cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
}

SHA_STEP void StoreState(__m128i abef, __m128i cdgh, uint32_t state[8])
{
    __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128((__m128i *)&state[0], _mm_blend_epi16(feba, dchg, 0xF0)); // ABCD
    _mm_storeu_si128((__m128i *)&state[4], _mm_alignr_epi8(dchg, feba, 8));    // EFGH
}

// Words 4g ... 4g + 3 of the schedule into w[g % 4], which holds the last sixteen.
SHA_STEP void Schedule(__m128i w[4], int g, const unsigned char *block)
{
    const __m128i byteOrder = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    if (g < 4) {
        w[g] = _mm_shuffle_epi8(_mm_loadu_si128((const __m128i *)(block + 16 * g)), byteOrder);
        return;
    }
    __m128i next = _mm_sha256msg1_epu32(w[g & 3], w[(g + 1) & 3]);
    next = _mm_add_epi32(next, _mm_alignr_epi8(w[(g + 3) & 3], w[(g + 2) & 3], 4));
    w[g & 3] = _mm_sha256msg2_epu32(next, w[(g + 3) & 3]);
}

SHA_STEP void FourRounds(__m128i *abef, __m128i *cdgh, const __m128i w[4], int g)
{
    __m128i k = _mm_add_epi32(w[g & 3], _mm_loadu_si128((const __m128i *)&RoundConstants[4 * g]));
    *cdgh = _mm_sha256rnds2_epu32(*cdgh, *abef, k);
    *abef = _mm_sha256rnds2_epu32(*abef, *cdgh, _mm_shuffle_epi32(k, 0x0E));
}

// Windows hands a 32-bit thread a stack aligned to 4 bytes only, while the compiler keeps 16-byte
// values there: the two functions below align their own.
SHA_EXTENSIONS __attribute__((force_align_arg_pointer)) static void
CompressWithExtensions(uint32_t state[8], const unsigned char *data, size_t blocks)
{
    __m128i abef, cdgh, w[4];
    LoadState(state, &abef, &cdgh);
    for (; blocks > 0; blocks--, data += 64) {
        __m128i savedAbef = abef, savedCdgh = cdgh;
#pragma GCC unroll 16
        for (int g = 0; g < 16; g++) {
            Schedule(w, g, data);
            FourRounds(&abef, &cdgh, w, g);
        }
        abef = _mm_add_epi32(abef, savedAbef);
        cdgh = _mm_add_epi32(cdgh, savedCdgh);
    }
    StoreState(abef, cdgh, state);
}

// Two hashes side by side, each over its own blocks: the rounds of one run while the other's wait
// for their results, about a third more bytes a second than one hash after the other.
SHA_EXTENSIONS __attribute__((force_align_arg_pointer)) static void
CompressTwoWithExtensions(uint32_t first[8], const unsigned char *one, uint32_t second[8], const unsigned char *two,
                          size_t blocks)
{
    __m128i abef, cdgh, w[4], abef2, cdgh2, w2[4];
    LoadState(first, &abef, &cdgh);
    LoadState(second, &abef2, &cdgh2);
    for (; blocks > 0; blocks--, one += 64, two += 64) {
        __m128i savedAbef = abef, savedCdgh = cdgh, savedAbef2 = abef2, savedCdgh2 = cdgh2;
#pragma GCC unroll 16
        for (int g = 0; g < 16; g++) {
            Schedule(w, g, one);
            Schedule(w2, g, two);
            FourRounds(&abef, &cdgh, w, g);
            FourRounds(&abef2, &cdgh2, w2, g);
        }
        abef = _mm_add_epi32(abef, savedAbef);
        cdgh = _mm_add_epi32(cdgh, savedCdgh);
        abef2 = _mm_add_epi32(abef2, savedAbef2);
        cdgh2 = _mm_add_epi32(cdgh2, savedCdgh2);
    }
    StoreState(abef, cdgh, first);
    StoreState(abef2, cdgh2, second);
}

static void Compress(Sha256 *hash, const unsigned char *data, size_t blocks)
{
    if (hash->engine == Sha256Extensions)
        CompressWithExtensions(hash->state, data, blocks);
    else
        CompressPortable(hash->state, data, blocks);
}

Sha256Engine Sha256BestEngine(void)
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_SSE4_1) || !(c & bit_SSSE3))
        return Sha256Portable;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d) || !(b & bit_SHA))
        return Sha256Portable;
    return Sha256Extensions;
}

void Sha256Begin(Sha256 *hash, Sha256Engine engine)
{
    static const uint32_t initial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    memcpy(hash->state, initial, sizeof initial);
    hash->length = 0;
    hash->engine = engine;
}

void Sha256Add(Sha256 *hash, const void *bytes, size_t count)
{
    const unsigned char *data = (const unsigned char *)bytes;
    size_t used = (size_t)(hash->length % 64);
    hash->length += count;
    if (used > 0) { // the block begun before is filled first
        size_t take = count < 64 - used ? count : 64 - used;
        memcpy(hash->block + used, data, take);
        data += take, count -= take;
        if (used + take < 64)
            return;
        Compress(hash, hash->block, 1);
    }
    Compress(hash, data, count / 64);
    memcpy(hash->block, data + count / 64 * 64, count % 64);
}

void Sha256AddToBoth(Sha256 *first, Sha256 *second, const void *bytes, size_t count)
{
    if (first->engine != Sha256Extensions || second->engine != Sha256Extensions) {
        Sha256Add(first, bytes, count);
        Sha256Add(second, bytes, count);
        return;
    }
    // Each fills the block it has begun, then both take whole blocks, each from its own offset.
    const unsigned char *data = (const unsigned char *)bytes;
    size_t skip1 = (size_t)((64 - first->length % 64) % 64), skip2 = (size_t)((64 - second->length % 64) % 64);
    skip1 = skip1 < count ? skip1 : count;
    skip2 = skip2 < count ? skip2 : count;
    Sha256Add(first, data, skip1);
    Sha256Add(second, data, skip2);
    size_t blocks1 = (count - skip1) / 64, blocks2 = (count - skip2) / 64;
    size_t both = blocks1 < blocks2 ? blocks1 : blocks2;
    CompressTwoWithExtensions(first->state, data + skip1, second->state, data + skip2, both);
    first->length += 64 * both;
    second->length += 64 * both;
    Sha256Add(first, data + skip1 + 64 * both, count - skip1 - 64 * both);
    Sha256Add(second, data + skip2 + 64 * both, count - skip2 - 64 * both);
}

void Sha256End(Sha256 *hash, unsigned char digest[Sha256Size])
{
    // A 1 bit, zeros up to 8 bytes short of a block's end, then the length in bits, big-endian.
    uint64_t bits = hash->length * 8;
    unsigned char tail[72] = {0x80};
    size_t pad = 64 - (size_t)((hash->length + 8) % 64);
    for (int i = 0; i < 8; i++)
        tail[pad + i] = (unsigned char)(bits >> (56 - 8 * i));
    Sha256Add(hash, tail, pad + 8);
    for (int i = 0; i < 32; i++)
        digest[i] = (unsigned char)(hash->state[i / 4] >> (24 - 8 * (i % 4)));
}

void Sha256Hex(const unsigned char digest[Sha256Size], char text[Sha256HexSize])
{
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < Sha256Size; i++)
        text[2 * i] = digits[digest[i] >> 4], text[2 * i + 1] = digits[digest[i] & 15];
    text[2 * Sha256Size] = '\0';
}

static int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int Sha256FromHex(const char *text, unsigned char digest[Sha256Size])
{
    for (int i = 0; i < Sha256Size; i++) {
        int high = HexDigit(text[2 * i]);
        int low = high < 0 ? -1 : HexDigit(text[2 * i + 1]);
        if (low < 0)
            return 0;
        digest[i] = (unsigned char)(high << 4 | low);
    }
    return 1;
}
