#pragma once

#include <filesystem>
#include <vector>

namespace pavaneflow {

// One song of a folder of songs: its chart file, and where its outputs go relative to an output
// folder: its song folder's path beneath the folder searched ("." for that folder itself), or for
// a loose chart file that folder's path and the file's stem.
struct SongInFolder {
  std::filesystem::path file;
  std::filesystem::path folder;
};

// Every song at or beneath `root`, by output folder (letter case aside). In one folder, chart files that share a stem
// (any letter case: song.ssc, song.sm, song.dwi) are one song, whose file is chosen as the dance
// games choose it: the .ssc, else the .sm, else the .dwi (any letter case; of several, the first
// by name). A folder holding one such song is a song folder; files of different stems are loose
// files, each its own song. Folders that cannot be read are passed over; links to folders are not
// followed.
std::vector<SongInFolder> FindSongs(const std::filesystem::path& root);

// Whether `path` is to be read as a folder of songs: a folder not named like a chart file (a
// folder named "x.dwi" is a chart file that cannot be read, as before folders were taken).
bool IsSongFolder(const std::filesystem::path& path);

}  // namespace pavaneflow
