#include "cli/song_folders.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace pavaneflow::cli {

namespace {

// How the games rank a folder's chart files: lower is preferred; 0 is no chart file.
int Rank(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (extension == ".ssc") return 1;
  if (extension == ".sm") return 2;
  if (extension == ".dwi") return 3;
  return 0;
}

// The chart file of `folder`, or an empty path.
std::filesystem::path ChartFile(const std::filesystem::path& folder) {
  std::filesystem::path best;
  int bestRank = 0;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const int rank = Rank(it->path());
    if (rank == 0 || !it->is_regular_file(error)) continue;
    if (bestRank == 0 || rank < bestRank ||
        (rank == bestRank && it->path().filename() < best.filename())) {
      best = it->path();
      bestRank = rank;
    }
  }
  return best;
}

}  // namespace

bool IsSongFolder(const std::filesystem::path& path) {
  std::error_code error;
  return Rank(path) == 0 && std::filesystem::is_directory(path, error);
}

std::vector<SongInFolder> FindSongs(const std::filesystem::path& root) {
  std::vector<SongInFolder> songs;
  auto look = [&](const std::filesystem::path& folder) {
    std::filesystem::path file = ChartFile(folder);
    if (!file.empty()) songs.push_back({std::move(file), folder.lexically_relative(root)});
  };
  look(root);
  std::error_code error;
  for (std::filesystem::recursive_directory_iterator
           it(root, std::filesystem::directory_options::skip_permission_denied, error),
       end;
       !error && it != end; it.increment(error)) {
    if (it->is_directory(error) && !it->is_symlink(error)) look(it->path());
  }
  std::sort(songs.begin(), songs.end(),
            [](const SongInFolder& a, const SongInFolder& b) { return a.folder < b.folder; });
  return songs;
}

}  // namespace pavaneflow::cli
