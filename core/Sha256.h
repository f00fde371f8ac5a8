// SHA-256 of bytes as they pass, as sha256sum, certutil and Get-FileHash compute it. Two engines
// give the same digests: the portable one, and one on the processor's SHA extensions (most x86
// processors made since 2017 have them, and 32-bit code can use them), several times as fast.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum { Sha256Size = 32, Sha256HexSize = 2 * Sha256Size + 1 };

enum Sha256Engine { Sha256Portable, Sha256Extensions };

struct Sha256 {
    uint32_t state[8];
    uint64_t length;           // bytes taken so far
    unsigned char block[64];   // the bytes of a block begun but not yet full
    Sha256Engine engine;
};

// The fastest engine this processor runs: the extensions when it has them (with SSE4.1).
Sha256Engine Sha256BestEngine(void);

void Sha256Begin(Sha256 *hash, Sha256Engine engine);
void Sha256Add(Sha256 *hash, const void *bytes, size_t count);
// The same bytes into two hashes (a piece's and its whole file's), on the extensions side by side.
void Sha256AddToBoth(Sha256 *first, Sha256 *second, const void *bytes, size_t count);
void Sha256End(Sha256 *hash, unsigned char digest[Sha256Size]);

// The digest as 64 lowercase hexadecimal digits, as checksum files carry it.
void Sha256Hex(const unsigned char digest[Sha256Size], char text[Sha256HexSize]);
// Reads 64 hexadecimal digits of either case; 1 when text begins with them.
int Sha256FromHex(const char *text, unsigned char digest[Sha256Size]);
