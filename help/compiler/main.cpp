// morvane_hc SOURCE HELPFILE WEBPAGE: compiles a help source into a WinHelp 3.1 file and into one
// web page with the same topics.
// Exit code 0 when both were written; 1 for a source error ("file:line: reason" on stderr), with
// nothing written; 2 for a wrong command line or a file that cannot be read or written.
#include "HelpSource.h"
#include "HtmlPage.h"
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
static bool WriteWholeFile(const char *path, const void *bytes, size_t size)
{
    FILE *file = fopen(path, "wb");
    if (file == NULL)
        return false;
    bool ok = fwrite(bytes, 1, size, file) == size;
    if (fclose(file) != 0)
        ok = false;
    if (!ok)
        remove(path);
    return ok;
}

int main(int argc, char **argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: morvane_hc SOURCE HELPFILE WEBPAGE\n");
        return 2;
    }
    const char *sourcePath = argv[1];
    const char *helpPath = argv[2];
    const char *pagePath = argv[3];

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

    if (!WriteWholeFile(helpPath, file.data(), file.size())) {
        fprintf(stderr, "%s: cannot be written\n", helpPath);
        return 2;
    }
    std::string page = BuildHtmlPage(document);
    if (!WriteWholeFile(pagePath, page.data(), page.size())) {
        remove(helpPath); // both or neither, so that the build makes them again
        fprintf(stderr, "%s: cannot be written\n", pagePath);
        return 2;
    }
    return 0;
}
