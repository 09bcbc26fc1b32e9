#include "cli/setup_options.h"

#include <charconv>
#include <string>

#include "cli/choice_option.h"
#include "cli/translation.h"
#include "cli/usage_error.h"

namespace pavaneflow::cli {

ChartOptions AddSetupOptions(CLI::App& command, DanceSetup& setup, unsigned which) {
  ChartOptions declared;
  if ((which & kChartOption) != 0) {
    declared.chart =
        command
            .add_option_function<std::string>(
                "--chart",
                [&setup](const std::string& value) {
                  int number = 0;
                  const auto [end, error] =
                      std::from_chars(value.data(), value.data() + value.size(), number);
                  if (error != std::errc() || end != value.data() + value.size() || number < 1) {
                    throw UsageError(Fill(Tr("--chart needs a number from 1 to the number of "
                                             "charts (info lists them), not '{1}'"),
                                          {value}));
                  }
                  setup.chart = number - 1;
                },
                Tr("Chart number as `info` lists it (default 1)"))
            ->type_name("N");
    declared.player = AddChoiceOption(command, "--player", setup.player, {{"1", 0}, {"2", 1}},
                                      Tr("Player of a COUPLE chart (default 1)"));
  }
  if ((which & kTwistOption) != 0) {
    command.add_flag_callback(
        "--no-twist", [&setup] { setup.twist = false; },
        Tr("Do not turn the upper body and the neck with the steps"));
  }
  if ((which & kTimingOption) != 0) {
    AddChoiceOption(command, "--timing", setup.timing,
                    {{"classic", ChartTiming::kClassic}, {"game", ChartTiming::kGame}},
                    Tr("classic (default): one tempo, as the first readers read it; game: tempo "
                       "changes, stops and every bracket, as dance games play the chart. DWI "
                       "files only: .sm and .ssc files are always timed as the games time them"));
  }
  if ((which & kFeetOption) != 0) {
    AddChoiceOption(command, "--feet", setup.feet,
                    {{"classic", FeetChoice::kClassic}, {"planned", FeetChoice::kPlanned}},
                    Tr("Who decides which foot takes each arrow: classic (one step at a time, the "
                       "default) or planned (the whole chart at once, fewer crossed legs)"));
  }
  if ((which & kMotionOption) != 0) {
    CLI::Option* motion = AddChoiceOption(
        command, "--motion", setup.motion,
        {{"classic", MotionChoice::kClassic}, {"natural", MotionChoice::kNatural}},
        Tr("How the body moves: classic (the default) or natural (steps with weight, bent knees, "
           "jumps, arms, facing the viewer)"));
    AddChoiceOption(command, "--facing", setup.facing,
                    {{"viewer", Facing::kViewer}, {"screen", Facing::kScreen}},
                    Tr("With natural motion, whom the dancer faces: viewer (the default camera, "
                       "the default) or screen (as the game's player stands)"))
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
