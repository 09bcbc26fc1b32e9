#include "motion/setup/open_song.h"

namespace pavaneflow {

bool OpenSong(DWIDocument& song, const std::filesystem::path& path, const DanceSetup& setup) {
  song.SetTiming(setup.timing);
  return song.OnOpenDocument(path);
}

}  // namespace pavaneflow
