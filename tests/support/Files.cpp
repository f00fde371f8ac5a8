#include "Files.h"

#include <windows.h>

#include <stdio.h>

#include <gtest/gtest.h>

#include <algorithm>

Bytes RandomBytes(size_t size, uint32_t seed)
{
    Bytes bytes(size);
    uint32_t state = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; i++) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = (uint8_t)(state >> 24);
    }
    // Make sure the bytes a text-mode copy would spoil are there.
    if (size > 0)
        bytes[0] = 0x1A;
    if (size > 1)
        bytes[1] = 0x00;
    if (size > 2)
        bytes[size - 1] = 0x1A;
    return bytes;
}

bool WriteBytes(const std::string &path, const Bytes &bytes)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

Bytes ReadBytes(const std::string &path, bool *ok)
{
    Bytes bytes;
    FILE *file = fopen(path.c_str(), "rb");
    if (ok != nullptr)
        *ok = file != nullptr;
    if (file == nullptr)
        return bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);
    return bytes;
}

std::string ReadText(const std::string &path)
{
    Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> CrLfLines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", from)) {
        lines.push_back(text.substr(from, at - from));
        from = at + 2;
    }
    if (from < text.size())
        lines.push_back(text.substr(from));
    return lines;
}

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WorkingDirectory()
{
    char folder[MAX_PATH + 1] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    return folder;
}

bool MakeSparse(const std::string &path, unsigned long long size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LONG high = (LONG)(size >> 32);
    SetFilePointer(file, (LONG)(size & 0xFFFFFFFFu), &high, FILE_BEGIN);
    bool ok = SetEndOfFile(file) != FALSE;
    CloseHandle(file);
    return ok;
}

long long SizeOf(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

int RunAndWait(const std::string &commandLine, const std::string &folder, unsigned timeoutMs)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, folder.c_str(), &startup,
                        &process))
        return -1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)code;
}

void ExpectPieces(const std::string &inFolder, const std::string &base, const Bytes &source, size_t splitSize)
{
    size_t count = (source.size() + splitSize - 1) / splitSize;
    for (size_t k = 1; k <= count; k++) {
        char suffix[8];
        snprintf(suffix, sizeof suffix, ".%03u", (unsigned)k);
        std::string piece = inFolder + "\\" + base + suffix;
        bool ok = false;
        Bytes got = ReadBytes(piece, &ok);
        ASSERT_TRUE(ok) << piece << " is missing";
        size_t from = (k - 1) * splitSize;
        size_t size = k < count ? splitSize : source.size() - from;
        ASSERT_EQ(got.size(), size) << piece;
        ASSERT_TRUE(std::equal(got.begin(), got.end(), source.begin() + from)) << piece << " differs from the source";
    }
    char suffix[8];
    snprintf(suffix, sizeof suffix, ".%03u", (unsigned)count + 1);
    EXPECT_FALSE(Exists(inFolder + "\\" + base + suffix)) << "a piece beyond the last";
}
