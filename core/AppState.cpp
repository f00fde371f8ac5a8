#include "AppState.h"

#include <stdio.h>
#include <string.h>

AppStateRecord AppState;

// Parsing looks at no more than a field holds; every part then fits a field of its own.
enum { ParseLimit = PathCapacity - 1 };

static int IsSeparator(char c) { return c == '\\' || c == '/'; }

static int IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Copies the byte range [from, to) of a path into a field.
static void CopyPart(char *dest, const char *from, const char *to)
{
    size_t n = (size_t)(to - from);
    memcpy(dest, from, n);
    dest[n] = '\0';
}

size_t CharacterEnd(const char *text, size_t n)
{
    if (GetACP() != CP_UTF8)
        return n;
    while (n > 0 && ((unsigned char)text[n] & 0xC0) == 0x80) // a continuation byte
        n--;
    return n;
}

size_t WideLength(const char *text)
{
    int units = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
    return units > 0 ? (size_t)units - 1 : strlen(text);
}

void CopyText(char *dest, size_t capacity, const char *src)
{
    if (capacity == 0)
        return;
    size_t n = strlen(src);
    if (n >= capacity)
        n = CharacterEnd(src, capacity - 1);
    memmove(dest, src, n);
    dest[n] = '\0';
}

int64_t CountPieces(int64_t fileSize, int32_t splitSize)
{
    if (splitSize < 1)
        return 0;
    return fileSize / splitSize + (fileSize % splitSize != 0 ? 1 : 0);
}

void ComposePieceName(int number)
{
    snprintf(AppState.PieceSuffix, sizeof AppState.PieceSuffix, ".%03i", number);
    snprintf(AppState.PieceName, sizeof AppState.PieceName, "%s%s", AppState.BaseName, AppState.PieceSuffix);
}

void TrimAsWindowsDoes(char *name)
{
    size_t n = strlen(name);
    while (n > 0 && (name[n - 1] == ' ' || name[n - 1] == '.'))
        name[--n] = '\0';
}

void ParsePath(const char *path)
{
    AppState.Drive[0] = '\0';
    AppState.DirPart[0] = '\0';
    AppState.BaseName[0] = '\0';
    AppState.Extension[0] = '\0';

    const char *end = path;
    while (*end != '\0' && end - path < ParseLimit)
        end++;
    end = path + CharacterEnd(path, (size_t)(end - path));

    const char *rest = path;
    if (end - path >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
        AppState.Drive[0] = path[0];
        AppState.Drive[1] = ':';
        AppState.Drive[2] = '\0';
        rest = path + 2;
    }

    const char *name = rest; // start of the final component
    for (const char *p = rest; p < end; p++)
        if (IsSeparator(*p))
            name = p + 1;

    const char *dot = NULL; // last dot of the final component, but not its first character
    for (const char *p = name + 1; p < end; p++)
        if (*p == '.')
            dot = p;
    if (dot == NULL)
        dot = end;

    CopyPart(AppState.DirPart, rest, name);
    CopyPart(AppState.BaseName, name, dot);
    CopyPart(AppState.Extension, dot, end);
}
