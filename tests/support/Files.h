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
// The process's working directory.
std::string WorkingDirectory();
// A file of the given size that takes no room on disk (its bytes read as zeros).
bool MakeSparse(const std::string &path, unsigned long long size);
// Size of a file in bytes, or -1.
long long SizeOf(const std::string &path);

// Checks the pieces of source in a folder: piece k (BASE.001, BASE.002, ...) holds the bytes from
// (k - 1) x splitSize on, each complete, and there is no piece beyond the last.
void ExpectPieces(const std::string &inFolder, const std::string &base, const Bytes &source, size_t splitSize);

// Runs a command line (for example "cmd /c data.bat") in a folder and waits; returns its exit code
// or -1 when it could not be started.
int RunAndWait(const std::string &commandLine, const std::string &folder, unsigned timeoutMs = 120000);
