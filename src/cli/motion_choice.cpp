#include "cli/motion_choice.h"

#include "cli/choice_option.h"
#include "cli/translation.h"

namespace pavaneflow::cli {

void AddMotionOptions(CLI::App& command, MotionChoice& choice) {
  CLI::Option* motion = AddChoiceOption(
      command, "--motion", choice.natural, {{"classic", false}, {"natural", true}},
      Tr("How the body moves: classic (the default) or natural (steps with weight, bent knees, "
         "jumps, arms, facing the viewer)"));
  AddChoiceOption(command, "--facing", choice.facing,
                  {{"viewer", Facing::kViewer}, {"screen", Facing::kScreen}},
                  Tr("With natural motion, whom the dancer faces: viewer (the default camera, the "
                     "default) or screen (as the game's player stands)"))
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
