#include "motion/setup/song_folders.h"

#include <algorithm>
#include <map>
#include <string>
#include <system_error>

namespace pavaneflow {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// How the games rank a folder's chart files: lower is preferred; 0 is no chart file.
int Rank(const std::filesystem::path& file) {
  const std::string extension = Lower(file.extension().string());
  if (extension == ".ssc") return 1;
  if (extension == ".sm") return 2;
  if (extension == ".dwi") return 3;
  return 0;
}

// The chart file chosen for each stem of `folder` (lower-cased), in the order of the stems.
std::map<std::string, std::filesystem::path> ChartFiles(const std::filesystem::path& folder) {
  std::map<std::string, std::filesystem::path> best;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::filesystem::path& file = it->path();
    const int rank = Rank(file);
    if (rank == 0 || !it->is_regular_file(error)) continue;
    std::filesystem::path& chosen = best[Lower(file.stem().string())];
    const int chosenRank = chosen.empty() ? 0 : Rank(chosen);
    if (chosenRank == 0 || rank < chosenRank ||
        (rank == chosenRank && file.filename() < chosen.filename())) {
      chosen = file;
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
    const std::filesystem::path relative = folder.lexically_relative(root);
    const auto files = ChartFiles(folder);
    for (const auto& [stem, file] : files) {
      songs.push_back({file, files.size() == 1 ? relative : relative / file.stem()});
    }
  };
  look(root);
  std::error_code error;
  for (std::filesystem::recursive_directory_iterator
           it(root, std::filesystem::directory_options::skip_permission_denied, error),
       end;
       !error && it != end; it.increment(error)) {
    if (it->is_directory(error) && !it->is_symlink(error)) look(it->path());
  }
  // In the order a file manager lists them: letter case aside.
  std::sort(songs.begin(), songs.end(), [](const SongInFolder& a, const SongInFolder& b) {
    const std::string left = Lower(a.folder.string());
    const std::string right = Lower(b.folder.string());
    return left != right ? left < right : a.file < b.file;
  });
  return songs;
}

}  // namespace pavaneflow
