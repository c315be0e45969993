// Test support: a fresh folder per test, made current and removed with everything in it.
#include "tests/support/temp_folder.h"

#include <windows.h>
#include <stdio.h>

#include <algorithm>

// True when the folder is gone with everything in it.
static bool RemoveTree(const std::string& folder)
{
    bool emptied = true;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = folder + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                emptied = RemoveTree(full) && emptied;
            else
                emptied = DeleteFileA(full.c_str()) && emptied;
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    return RemoveDirectoryA(folder.c_str()) && emptied;
}

TempFolder::TempFolder()
{
    char base[MAX_PATH], current[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, base) || !GetCurrentDirectoryA(MAX_PATH, current))
        return;
    previous_ = current;
    // A name left by an earlier process of the same number is passed over.
    static int counter = 0;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        char name[MAX_PATH];
        snprintf(name, sizeof name, "%scr_test_%lu_%d", base, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, nullptr))
            path_ = name;
        else if (GetLastError() != ERROR_ALREADY_EXISTS)
            return;
    }
    if (!path_.empty() && !SetCurrentDirectoryA(path_.c_str()))
        remove();
}

std::vector<std::string> TempFolder::fileNames() const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = path_.empty() ? INVALID_HANDLE_VALUE
                                  : FindFirstFileA((path_ + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(entry.cFileName);
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool TempFolder::remove()
{
    // Without a folder of its own the path is empty, and would name the root.
    if (path_.empty())
        return true;
    SetCurrentDirectoryA(previous_.c_str());
    bool removed = RemoveTree(path_);
    path_.clear();
    return removed;
}
