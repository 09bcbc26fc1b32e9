#include "cli/setup_options.h"

#include <limits>
#include <map>
#include <string>

namespace pavaneflow::cli {

ChartOptions AddSetupOptions(CLI::App& command, DanceSetup& setup, unsigned which) {
  ChartOptions declared;
  if ((which & kChartOption) != 0) {
    declared.chart = command
                         .add_option_function<int>(
                             "--chart", [&setup](int number) { setup.chart = number - 1; },
                             "Chart number as `info` lists it (default 1)")
                         // The usage error names the range.
                         ->check(CLI::Range(1, std::numeric_limits<int>::max()));
    declared.player = command
                          .add_option_function<int>(
                              "--player", [&setup](int number) { setup.player = number - 1; },
                              "Player of a COUPLE chart: 1 or 2 (default 1)")
                          ->check(CLI::IsMember({1, 2}));
  }
  if ((which & kTwistOption) != 0) {
    command.add_flag_callback(
        "--no-twist", [&setup] { setup.twist = false; },
        "Do not turn the upper body and the neck with the steps");
  }
  if ((which & kTimingOption) != 0) {
    const std::map<std::string, ChartTiming> names{{"classic", ChartTiming::kClassic},
                                                   {"game", ChartTiming::kGame}};
    command
        .add_option("--timing", setup.timing,
                    "classic (default): one tempo, as the first readers read it; game: tempo "
                    "changes, stops and every bracket, as dance games play the chart. DWI files "
                    "only: .sm and .ssc files are always timed as the games time them")
        ->transform(CLI::CheckedTransformer(names, CLI::ignore_case));
  }
  if ((which & kFeetOption) != 0) {
    const std::map<std::string, FeetChoice> names{{"classic", FeetChoice::kClassic},
                                                  {"planned", FeetChoice::kPlanned}};
    command
        .add_option("--feet", setup.feet,
                    "Who decides which foot takes each arrow: classic (one step at a time, the "
                    "default) or planned (the whole chart at once, fewer crossed legs)")
        ->transform(CLI::CheckedTransformer(names, CLI::ignore_case));
  }
  if ((which & kMotionOption) != 0) {
    const std::map<std::string, MotionChoice> styles{{"classic", MotionChoice::kClassic},
                                                     {"natural", MotionChoice::kNatural}};
    CLI::Option* motion =
        command
            .add_option("--motion", setup.motion,
                        "How the body moves: classic (the default) or natural (steps with "
                        "weight, bent knees, jumps, arms, facing the viewer)")
            ->transform(CLI::CheckedTransformer(styles, CLI::ignore_case));
    const std::map<std::string, Facing> sides{{"viewer", Facing::kViewer},
                                              {"screen", Facing::kScreen}};
    command
        .add_option("--facing", setup.facing,
                    "With natural motion, whom the dancer faces: viewer (the default camera, the "
                    "default) or screen (as the game's player stands)")
        ->transform(CLI::CheckedTransformer(sides, CLI::ignore_case))
        ->needs(motion);
  }
  return declared;
}

const char* TimingName(ChartTiming timing) {
  return timing == ChartTiming::kGame ? "game" : "classic";
}

const char* FeetName(FeetChoice feet) {
  return feet == FeetChoice::kPlanned ? "planned" : "classic";
}

const char* MotionName(const DanceSetup& setup) {
  if (setup.motion == MotionChoice::kClassic) return "classic";
  return setup.facing == Facing::kViewer ? "natural (facing the viewer)"
                                         : "natural (facing the screen)";
}

}  // namespace pavaneflow::cli
