#include "cli/motion_choice.h"

#include <map>
#include <string>

namespace pavaneflow::cli {

void AddMotionOptions(CLI::App& command, MotionChoice& choice) {
  const std::map<std::string, bool> styles{{"classic", false}, {"natural", true}};
  CLI::Option* motion =
      command
          .add_option("--motion", choice.natural,
                      "How the body moves: classic (the default) or natural (steps with "
                      "weight, bent knees, jumps, arms, facing the viewer)")
          ->transform(CLI::CheckedTransformer(styles, CLI::ignore_case));
  const std::map<std::string, Facing> sides{{"viewer", Facing::kViewer},
                                            {"screen", Facing::kScreen}};
  command
      .add_option("--facing", choice.facing,
                  "With natural motion, whom the dancer faces: viewer (the default camera, the "
                  "default) or screen (as the game's player stands)")
      ->transform(CLI::CheckedTransformer(sides, CLI::ignore_case))
      ->needs(motion);
}

const MotionStyle* StyleFor(const MotionChoice& choice) {
  static const NaturalMotion towardsViewer(Facing::kViewer);
  static const NaturalMotion towardsScreen(Facing::kScreen);
  if (!choice.natural) return nullptr;
  return choice.facing == Facing::kViewer ? &towardsViewer : &towardsScreen;
}

const char* MotionName(const MotionChoice& choice) {
  if (!choice.natural) return "classic";
  return choice.facing == Facing::kViewer ? "natural (facing the viewer)"
                                          : "natural (facing the screen)";
}

}  // namespace pavaneflow::cli
