#include "cli/model_option.h"

#include <charconv>

#include "base/file_error.h"
#include "chart/text_decoder.h"
#include "cli/file_problem.h"
#include "cli/terminal_text.h"
#include "cli/translation.h"
#include "cli/usage_error.h"

namespace pavaneflow::cli {

void AddModelOption(CLI::App& command, const DanceSetup& setup,
                    std::optional<std::filesystem::path>& model) {
  command
      .add_option_function<std::string>(
          "--model",
          [&setup, &model](const std::string& file) {
            // The motion options come first, so their choice is known here.
            if (setup.motion != MotionChoice::kNatural) {
              throw UsageError(Tr("--model works with the natural motion: add --motion natural"));
            }
            model = file;
          },
          Tr("Fit the natural motion to this PMX or VRM model's body: its legs, hips, ankles and "
             "arms; the pad and the dance's heights scale with its legs"))
      ->type_name("FILE.pmx|FILE.vrm");
}

bool ReadModelOption(const std::optional<std::filesystem::path>& model, DanceSetup& setup,
                     std::ostream& err) {
  if (!model) return true;
  try {
    FitTo(setup, ReadDanceModel(*model));
    return true;
  } catch (const FileError& e) {
    err << FileProblem(e) << '\n';
  } catch (const ModelError& e) {
    err << ModelProblemMessage(e) << '\n';
  }
  return false;
}

std::string ModelProblemMessage(const ModelError& error) {
  return Fill(Tr(ModelProblemPattern(error.problem())),
              {error.file(), error.name(), std::to_string(error.offset()), error.value()});
}

std::string FittedText(const DanceSetup& setup) {
  if (!setup.model) return {};
  std::u16string name;
  TextDecoder decoder;
  decoder.Decode(setup.model->skeleton.name, name);
  decoder.Finish(name);
  char scale[32];
  const auto end = std::to_chars(scale, scale + sizeof scale, setup.body.PadScale(),
                                 std::chars_format::fixed, 3);
  return "fitted to " + TerminalText(name) + " (scale " + std::string(scale, end.ptr) + ")";
}

}  // namespace pavaneflow::cli
