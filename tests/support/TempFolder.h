// A fresh folder per test, removed with everything in it afterwards.
#pragma once

#include <string>

class TempFolder {
public:
    // Creates a uniquely named folder under base, or under the user's temporary folder.
    explicit TempFolder(const std::string &base = std::string());
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::string &Path() const { return path_; }
    // Path of a name inside the folder.
    std::string operator/(const std::string &name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Deletes a folder tree, clearing read-only attributes on the way.
void RemoveTree(const std::string &path);
