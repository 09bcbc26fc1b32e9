#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include <QString>
#include <QStringList>

#include "motion/setup/dance_setup.h"

namespace pavaneflow {

// "すべての譜面を生成...": writes every chart of some songs, each chart and player to its own
// motion file named as `convert --all` names it, reading each song as the setup's reading rules
// say. A song that cannot be read or danced, and a motion that cannot be written, is counted and
// named, and the others are still written.
class EveryChartWriter {
 public:
  // One song: its chart file, and the folder its motions go to (created when missing).
  struct Song {
    std::filesystem::path file;
    std::filesystem::path folder;
  };

  // How a run went.
  struct Summary {
    int written = 0;
    int noChart = 0;     // songs read without a chart
    int noTempo = 0;     // songs read without a usable tempo
    int notRead = 0;     // songs that could not be opened or read
    int notWritten = 0;  // motions that could not be written
    bool cancelled = false;
    QStringList failures;  // "<path>: <reason>", one per song or motion counted above
  };

  // Hears how far the run is before each step: `done` of `total` steps (the motions of one song,
  // or the songs of several), and the file at hand. Returning false stops the run there.
  using Progress = std::function<bool(int done, int total, const QString& file)>;

  // Writes every chart of `songs` danced with `setup` (its chart and player aside).
  static Summary Write(const std::vector<Song>& songs, const DanceSetup& setup,
                       const Progress& progress);

  // The summary in the application's words, for a message box.
  static QString SummaryText(const Summary& summary);
};

}  // namespace pavaneflow
