// morvane_hc SOURCE OUTPUT: compiles a help source into a WinHelp 3.1 file.
// Exit code 0 when the file was written; 1 for a source error ("file:line: reason" on stderr),
// with nothing written; 2 for a wrong command line or a file that cannot be read or written.
#include "HelpSource.h"
#include "WinHelpFile.h"

#include <stdio.h>

#include <string>
#include <vector>

static bool ReadWholeFile(const char *path, std::string *text)
{
    FILE *file = fopen(path, "rb");
    if (file == NULL)
        return false;
    char chunk[4096];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        text->append(chunk, got);
    bool ok = ferror(file) == 0;
    fclose(file);
    return ok;
}

// Writes the whole file or, when that fails half-way, removes what was written.
static bool WriteWholeFile(const char *path, const std::vector<uint8_t> &bytes)
{
    FILE *file = fopen(path, "wb");
    if (file == NULL)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (fclose(file) != 0)
        ok = false;
    if (!ok)
        remove(path);
    return ok;
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: morvane_hc SOURCE OUTPUT\n");
        return 2;
    }
    const char *sourcePath = argv[1];
    const char *outputPath = argv[2];

    std::string source;
    if (!ReadWholeFile(sourcePath, &source)) {
        fprintf(stderr, "%s: cannot be read\n", sourcePath);
        return 2;
    }

    HelpDocument document;
    SourceError error = {0, std::string()};
    std::vector<uint8_t> file;
    if (!ParseHelpSource(source, &document, &error) || !BuildWinHelpFile(document, &file, &error)) {
        fprintf(stderr, "%s:%d: %s\n", sourcePath, error.line, error.reason.c_str());
        return 1;
    }

    if (!WriteWholeFile(outputPath, file)) {
        fprintf(stderr, "%s: cannot be written\n", outputPath);
        return 2;
    }
    return 0;
}
