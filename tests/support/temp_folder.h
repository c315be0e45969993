// A fresh folder under the temporary folder, the current directory while it
// lives. Removing it, at the latest when it ends, puts the previous current
// directory back and deletes the folder with all it holds.
#pragma once
#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    ~TempFolder() { remove(); }
    TempFolder(const TempFolder&) = delete;
    // False when no folder could be made and entered; path() is then empty.
    bool made() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    // Names of the files in it, sorted; folders are left out.
    std::vector<std::string> fileNames() const;
    // False when anything stays (a file or a search still open in it, say).
    bool remove();

private:
    std::string path_;
    std::string previous_;
};
