// A stand-in for Windows' certutil, as the batch file calls it: certutil -hashfile FILE SHA256.
// Wine's own prints nothing. MORVANE_CERTUTIL picks the form: "win10" the digest on a line of its
// own, as Windows 10 and 11 print it; "spaced" byte pairs with spaces between, in capitals, as
// older versions print them (in either case); unset, nothing, as Wine's. MORVANE_SHA256_ENGINE
// "portable" hashes without the processor's SHA extensions.
#include "core/Sha256.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char **argv)
{
    const char *form = getenv("MORVANE_CERTUTIL"), *engine = getenv("MORVANE_SHA256_ENGINE");
    FILE *file = argc == 4 && form != NULL ? fopen(argv[2], "rb") : NULL;
    if (file == NULL)
        return 0;
    Sha256 hash;
    Sha256Begin(&hash, engine != NULL && strcmp(engine, "portable") == 0 ? Sha256Portable : Sha256BestEngine());
    static char bytes[65535]; // the program's transfer, 63 bytes short of a whole number of blocks
    for (size_t n; (n = fread(bytes, 1, sizeof bytes, file)) > 0;)
        Sha256Add(&hash, bytes, n);
    unsigned char digest[Sha256Size];
    char hex[Sha256HexSize];
    Sha256End(&hash, digest);
    Sha256Hex(digest, hex);
    printf("SHA256 hash of %s:\n", argv[2]);
    for (int i = 0; i < Sha256Size && strcmp(form, "spaced") == 0; i++)
        printf("%s%c%c", i > 0 ? " " : "", toupper(hex[2 * i]), toupper(hex[2 * i + 1]));
    printf("%s\nCertUtil: -hashfile command completed successfully.\n", strcmp(form, "spaced") == 0 ? "" : hex);
    return 0;
}
