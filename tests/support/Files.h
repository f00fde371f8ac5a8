// File helpers for tests: deterministic content, whole-file reads and writes.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

// Pseudo-random bytes from a seed: every value 0 ... 255 appears, 0x00 and 0x1A included.
Bytes RandomBytes(size_t size, uint32_t seed);

bool WriteBytes(const std::string &path, const Bytes &bytes);
// The whole file; an empty vector and *ok false when it cannot be read.
Bytes ReadBytes(const std::string &path, bool *ok = nullptr);
std::string ReadText(const std::string &path);
// The lines of a text whose lines end in CR LF, without their ends (a last unended line counts).
std::vector<std::string> CrLfLines(const std::string &text);
bool Exists(const std::string &path);
bool IsFolder(const std::string &path);
// Size of a file in bytes, or -1.
long long SizeOf(const std::string &path);

// Runs a command line (for example "cmd /c data.bat") in a folder and waits; returns its exit code
// or -1 when it could not be started.
int RunAndWait(const std::string &commandLine, const std::string &folder, unsigned timeoutMs = 120000);
