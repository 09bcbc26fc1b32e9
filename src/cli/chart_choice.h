#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "chart/score.h"
#include "chart/song_document.h"

namespace pavaneflow::cli {

// Declares `--chart N` (a chart number from 1, as `info` lists them) on `command`; anything else
// is a usage error in our words.
CLI::Option* AddChartOption(CLI::App& command, int& chart);
// Declares `--player 1|2` on `command`.
CLI::Option* AddPlayerOption(CLI::App& command, int& player);

// A chart of a song, as `--chart` and `--player` pick it.
struct ChartChoice {
  const Score* score;
  std::int32_t player;  // 0 for 1P, 1 for 2P
};

// The chart numbered `chart` (from 1, as `info` lists them) of `song`, read from `input`, with
// player 2 only where the chart is a COUPLE chart: for any other chart a note ending in
// `instead` (already translated: "dancing 1P") goes to `err` and 1P is chosen. Without such a
// chart, nullopt and the reason in `problem`: the range of numbers the file has, or that it holds
// no chart at all.
std::optional<ChartChoice> ChooseChart(const SongDocument& song, const std::filesystem::path& input,
                                       int chart, int player, const char* instead,
                                       std::ostream& err, std::string& problem);

}  // namespace pavaneflow::cli
