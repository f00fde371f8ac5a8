#include "TempFolder.h"

#include <windows.h>

#include <stdio.h>

#include <gtest/gtest.h>

TempFolder::TempFolder(const std::string &base)
{
    std::string parent = base;
    if (parent.empty()) {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        parent = temp;
    }
    if (!parent.empty() && parent.back() != '\\')
        parent += "\\";
    static unsigned counter = 0;
    for (unsigned attempt = 0; attempt < 1000; attempt++) {
        char name[64];
        snprintf(name, sizeof name, "mv%lu_%u_%u", (unsigned long)GetCurrentProcessId(), GetTickCount() & 0xFFFF,
                 ++counter);
        std::string candidate = parent + name;
        if (CreateDirectoryA(candidate.c_str(), NULL)) {
            path_ = candidate;
            return;
        }
    }
    ADD_FAILURE() << "could not create a temporary folder under " << parent;
}

TempFolder::~TempFolder()
{
    if (path_.empty())
        return;
    // A test may have left the working directory inside: step out so that the folder can go.
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    if (_strnicmp(cwd, path_.c_str(), path_.size()) == 0) {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        SetCurrentDirectoryA(temp);
    }
    RemoveTree(path_);
}

void RemoveTree(const std::string &path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}
