#include "cli/feet_choice.h"

#include "cli/choice_option.h"
#include "cli/translation.h"
#include "motion/whole_chart_foot_planner.h"

namespace pavaneflow::cli {

CLI::Option* AddFeetOption(CLI::App& command, FeetChoice& choice) {
  return AddChoiceOption(command, "--feet", choice,
                         {{"classic", FeetChoice::kClassic}, {"planned", FeetChoice::kPlanned}},
                         Tr("Who decides which foot takes each arrow: classic (one step at a time, "
                            "the default) or planned (the whole chart at once, fewer crossed "
                            "legs)"));
}

const FootPlanner* PlannerFor(FeetChoice choice) {
  static const WholeChartFootPlanner planned;
  return choice == FeetChoice::kPlanned ? &planned : nullptr;
}

}  // namespace pavaneflow::cli
