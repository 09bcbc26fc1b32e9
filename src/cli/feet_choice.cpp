#include "cli/feet_choice.h"

#include <map>
#include <string>

#include "motion/whole_chart_foot_planner.h"

namespace pavaneflow::cli {

CLI::Option* AddFeetOption(CLI::App& command, FeetChoice& choice) {
  const std::map<std::string, FeetChoice> names{{"classic", FeetChoice::kClassic},
                                                {"planned", FeetChoice::kPlanned}};
  return command
      .add_option("--feet", choice,
                  "Who decides which foot takes each arrow: classic (one step at a time, the "
                  "default) or planned (the whole chart at once, fewer crossed legs)")
      ->transform(CLI::CheckedTransformer(names, CLI::ignore_case));
}

const FootPlanner* PlannerFor(FeetChoice choice) {
  static const WholeChartFootPlanner planned;
  return choice == FeetChoice::kPlanned ? &planned : nullptr;
}

}  // namespace pavaneflow::cli
