#pragma once

#include <filesystem>
#include <vector>

namespace pavaneflow::cli {

// One song of a folder of songs: its chart file, and its folder relative to the folder searched
// ("." for that folder itself).
struct SongInFolder {
  std::filesystem::path file;
  std::filesystem::path folder;
};

// Every song folder at or beneath `root`, by path: a folder holding a chart file is one song,
// whose file is chosen as the dance games choose it: its .ssc, else its .sm, else its .dwi (any
// letter case; of several, the first by name). Folders that cannot be read are passed over;
// links to folders are not followed.
std::vector<SongInFolder> FindSongs(const std::filesystem::path& root);

// Whether `path` is to be read as a folder of songs: a folder not named like a chart file (a
// folder named "x.dwi" is a chart file that cannot be read, as before folders were taken).
bool IsSongFolder(const std::filesystem::path& path);

}  // namespace pavaneflow::cli
