#include "cli/body_command.h"

#include <charconv>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/file_error.h"
#include "chart/dwi_document.h"
#include "chart/score.h"
#include "chart/text_decoder.h"
#include "cli/chart_choice.h"
#include "cli/file_problem.h"
#include "cli/json.h"
#include "cli/mode_name.h"
#include "cli/model_option.h"
#include "cli/open_chart_file.h"
#include "cli/reading_report.h"
#include "cli/setup_options.h"
#include "cli/terminal_text.h"
#include "cli/translation.h"
#include "motion/classic/run.h"
#include "motion/figures/beat_frames.h"
#include "motion/figures/body_figures.h"
#include "motion/setup/chart_outputs.h"
#include "motion/setup/dance_request.h"
#include "vmd/vmd_reader.h"

namespace pavaneflow::cli {
namespace {

// One dance measured: a chart's, or a file's.
struct Measured {
  std::string title;  // "chart 1 (BASIC, SINGLE, 1P), ..." or the file's name, and the model
  int chart = 0;      // 0 for a VMD file
  std::u16string name;
  const char* mode = "";
  std::int32_t player = 0;
  BodyFigures figures;
  std::vector<std::int32_t> beats;
};

std::string Fixed(double value, int digits) {
  char text[48];
  return {text,
          std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, digits).ptr};
}

std::string Number(std::int64_t value) {
  char text[24];
  return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

std::string Swing(double degrees) {
  return degrees < 0.0 ? "no steps" : Fixed(degrees, 1) + "°";
}

std::string Text(const Measured& m) {
  const BodyFigures& f = m.figures;
  std::string out = m.title + '\n';
  out += "  frames: " + Number(f.frames) + (f.cutShort ? " (the first two hours)" : "") +
         ", key frames: " + Number(f.keyFrames) + '\n';
  out += "  planted feet off their target by more than 0.1: " + Fixed(f.PlantedMissPercent(), 2) +
         " % of " + Number(f.plantedFootFrames) + " foot-frames\n";
  out += "  landing speed, 95th percentile: " + Fixed(f.landingSpeedP95, 3) + " units/frame (" +
         Number(f.landings) + " landings)\n";
  out += "  largest planted foot slide: " + Fixed(f.largestPlantedSlide, 3) + " units/frame\n";
  out += "  straight knees in the air (bent less than 10°): " +
         Fixed(f.StraightAirborneKneePercent(), 2) + " % of " + Number(f.airborneLegFrames) +
         " leg-frames\n";
  out +=
      "  longest time with the centre above rest: " + Fixed(f.longestAirborneSeconds, 2) + " s\n";
  out += "  hips turned more than 90° from the viewer: " + Fixed(f.HipsAwayFromViewerPercent(), 2) +
         " % of frames (from the screen: " + Fixed(f.HipsAwayFromScreenPercent(), 2) + " %)\n";
  out += "  largest turn between two frames: " + Fixed(f.largestYawStep, 1) + "°\n";
  out += "  head's turn from the viewer, 95th percentile: " + Fixed(f.headFromViewerP95, 1) + "°\n";
  out += "  least arm swing in 2 s with steps: left " + Swing(f.leftArmLeastSwing) + ", right " +
         Swing(f.rightArmLeastSwing) + '\n';
  const DancerFigures& d = f.dancer;
  out += "  ankle faster than 2.1 units/frame: " + Fixed(d.ankleFastPercent, 2) +
         " % of frames, fastest " + Fixed(d.fastestAnkle, 2) + '\n';
  out += "  centre faster than 1 unit/frame: " + Fixed(d.pelvisFastPercent, 2) +
         " % of frames, fastest " + Fixed(d.fastestPelvis, 2) + '\n';
  out += "  both feet planted, medians: knee bend " + Fixed(d.kneeBendBothPlanted, 1) +
         "°, centre below rest " + Fixed(d.pelvisDropBothPlanted, 2) + '\n';
  out += "  upper body within 1° of upright: " + Fixed(d.torsoUprightPercent, 1) +
         " % of frames, lean p95 " + Fixed(d.torsoLeanP95, 1) + "°\n";
  out += "  weight towards the lifted foot, median: " +
         (d.weightTowardsLifted < 0.0 ? std::string("no steps") : Fixed(d.weightTowardsLifted, 2)) +
         '\n';
  out += "  legs through each other: " + Fixed(d.legsThroughPercent, 2) +
         " % of frames, feet fused: " + Fixed(d.feetFusedPercent, 2) + " %\n";
  out += "  crossed: " + Fixed(d.crossedPercent, 1) + " % of frames, centre below rest " +
         Fixed(d.crossedPelvisDrop, 2) + ", hips from the viewer " +
         Fixed(d.crossedHipsFromViewer, 1) + "° (medians)\n";
  out += "  planted ankle sinking, p95: " + Fixed(d.plantedSinkP95, 3) + '\n';
  out += "  fastest arm: " + Fixed(d.fastestArm, 1) + "°/frame, swing reversals a second: " +
         (d.armReversalsPerSecond < 0.0 ? std::string("no steps")
                                        : Fixed(d.armReversalsPerSecond, 1)) +
         '\n';
  out += "  head pitch range in 2 s, median: " +
         (d.headPitchRange < 0.0 ? std::string("no steps") : Fixed(d.headPitchRange, 1) + "°") +
         '\n';
  if (d.hasBeats) {
    out += "  centre on the beat less between beats: " + Fixed(d.bounce, 3) + '\n';
    out += "  beat align score: " +
           (d.beatAlignScore < 0.0 ? std::string("no beats") : Fixed(d.beatAlignScore, 3)) + " (" +
           Number(d.motionBeats) + " motion beats)\n";
  }
  out += "  feet sliding as the centre pushes (PFC): " + Fixed(d.footContact, 3) +
         ", in 5 s clips " +
         (d.clipFootContact < 0.0 ? std::string("none") : Fixed(d.clipFootContact, 3)) + '\n';
  return out;
}

std::string Json(const Measured& m, const DanceSetup& setup) {
  const BodyFigures& f = m.figures;
  std::string out = "{";
  if (setup.model) {
    std::u16string name;
    TextDecoder decoder;
    decoder.Decode(setup.model->skeleton.name, name);
    decoder.Finish(name);
    out += "\"model\": ";
    AppendJsonString(out, name);
    out += ", \"scale\": ";
    AppendJsonDouble(out, setup.body.PadScale());
    out += ", ";
  }
  if (m.chart > 0) {
    out += "\"chart\": " + Number(m.chart) + ", \"name\": ";
    AppendJsonString(out, m.name);
    out +=
        std::string(", \"mode\": \"") + m.mode + "\", \"player\": " + Number(m.player + 1) + ", ";
  }
  const std::pair<const char*, double> values[] = {
      {"frames", static_cast<double>(f.frames)},
      {"cut_short", f.cutShort ? 1.0 : 0.0},
      {"key_frames", static_cast<double>(f.keyFrames)},
      {"planted_foot_frames", static_cast<double>(f.plantedFootFrames)},
      {"planted_miss_percent", f.PlantedMissPercent()},
      {"landings", static_cast<double>(f.landings)},
      {"landing_speed_p95", f.landingSpeedP95},
      {"largest_planted_slide", f.largestPlantedSlide},
      {"airborne_leg_frames", static_cast<double>(f.airborneLegFrames)},
      {"straight_airborne_knee_percent", f.StraightAirborneKneePercent()},
      {"longest_airborne_seconds", f.longestAirborneSeconds},
      {"hips_away_from_viewer_percent", f.HipsAwayFromViewerPercent()},
      {"hips_away_from_screen_percent", f.HipsAwayFromScreenPercent()},
      {"largest_yaw_step_degrees", f.largestYawStep},
      {"head_from_viewer_p95_degrees", f.headFromViewerP95},
      {"left_arm_least_swing_degrees", f.leftArmLeastSwing},
      {"right_arm_least_swing_degrees", f.rightArmLeastSwing},
      {"ankle_fast_percent", f.dancer.ankleFastPercent},
      {"fastest_ankle", f.dancer.fastestAnkle},
      {"pelvis_fast_percent", f.dancer.pelvisFastPercent},
      {"fastest_pelvis", f.dancer.fastestPelvis},
      {"knee_bend_both_planted_degrees", f.dancer.kneeBendBothPlanted},
      {"pelvis_drop_both_planted", f.dancer.pelvisDropBothPlanted},
      {"torso_upright_percent", f.dancer.torsoUprightPercent},
      {"torso_lean_p95_degrees", f.dancer.torsoLeanP95},
      {"weight_towards_lifted", f.dancer.weightTowardsLifted},
      {"legs_through_percent", f.dancer.legsThroughPercent},
      {"feet_fused_percent", f.dancer.feetFusedPercent},
      {"crossed_percent", f.dancer.crossedPercent},
      {"crossed_pelvis_drop", f.dancer.crossedPelvisDrop},
      {"crossed_hips_from_viewer_degrees", f.dancer.crossedHipsFromViewer},
      {"planted_sink_p95", f.dancer.plantedSinkP95},
      {"fastest_arm_degrees", f.dancer.fastestArm},
      {"arm_reversals_per_second", f.dancer.armReversalsPerSecond},
      {"head_pitch_range_degrees", f.dancer.headPitchRange},
      {"motion_beats", static_cast<double>(f.dancer.motionBeats)},
      {"pfc", f.dancer.footContact},
      {"pfc_5s", f.dancer.clipFootContact},
  };
  bool first = true;
  for (const auto& [name, value] : values) {
    if (!first) out += ", ";
    first = false;
    out += std::string("\"") + name + "\": ";
    AppendJsonDouble(out, value);
  }
  if (f.dancer.hasBeats) {
    out += ", \"bounce\": ";
    AppendJsonDouble(out, f.dancer.bounce);
    out += ", \"beat_align_score\": ";
    AppendJsonDouble(out, f.dancer.beatAlignScore);
  }
  return out + '}';
}

std::string BeatsJson(const std::vector<std::int32_t>& beats) {
  std::string out = "[";
  for (std::size_t i = 0; i < beats.size(); ++i) {
    if (i > 0) out += ", ";
    out += Number(beats[i]);
  }
  return out + ']';
}

bool IsVmd(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".vmd";
}

}  // namespace

CLI::App* AddBodyCommand(CLI::App& app, BodyOptions& options) {
  CLI::App* body = app.add_subcommand(
      "body", Tr("Pose a reference body on every frame of a dance and print how it moves"));
  body->add_option("FILE", options.file,
                   Tr("Chart file to dance (.dwi, .sm, .ssc), or VMD file to measure"))
      ->required();
  const ChartOptions chart =
      AddSetupOptions(*body, options.setup,
                      kChartOption | kTwistOption | kTimingOption | kFeetOption | kMotionOption);
  AddModelOption(*body, options.setup, options.model);
  body->add_flag("--all", options.all, Tr("Every chart, both players of a COUPLE chart"))
      ->excludes(chart.chart)
      ->excludes(chart.player);
  body->add_flag("--json", options.json,
                 Tr("Print the figures as JSON (an array of charts with --all)"));
  body->add_option("--beats", options.beats,
                   Tr("Also write the music's beat frames to this JSON file (a list of frame "
                      "numbers; a list of such lists with --all)"));
  AddAllErrorsFlag(*body, options.allErrors);
  return body;
}

int RunBody(const BodyOptions& options, std::ostream& out, std::ostream& err) {
  DanceSetup chosen = options.setup;
  if (!ReadModelOption(options.model, chosen, err)) return 1;
  const std::string fitted = chosen.model ? ", " + FittedText(chosen) : std::string();
  std::vector<Measured> dances;
  if (IsVmd(options.file)) {
    if (!options.beats.empty()) {
      err << Fill(Tr("{1}: a motion file has no beats; --beats needs a chart file"),
                  {options.file.string()})
          << '\n';
      return 1;
    }
    try {
      dances.push_back({options.file.filename().string() + fitted,
                        0,
                        {},
                        "",
                        0,
                        MeasureBody(BodyTracks::FromVmd(ReadVmdFile(options.file)), chosen.body),
                        {}});
    } catch (const FileError& e) {
      err << FileProblem(e) << '\n';
      return 1;
    } catch (const VmdFormatError& e) {
      err << e.what() << '\n';
      return 1;
    }
  } else {
    // Only a file named .vmd is measured as a motion; a motion under a chart's name is refused.
    DWIDocument song;
    std::string problem;
    if (OpenChartFile(song, options.file, chosen, options.allErrors, err, problem) !=
        ChartFile::kOpened) {
      err << problem << '\n';
      return 1;
    }
    auto measure = [&](const DanceSetup& setup) {
      const DanceRequest dance = MakeDanceRequest(song, setup);
      const GenerationRequest& request = dance.Request();
      const Score& score = *request.score;
      const int chart = setup.chart + 1;
      MotionDocument motion;
      Synthesize(request, motion);
      const std::string title = "chart " + Number(chart) + " (" + TerminalText(score.name) + ", " +
                                ModeName(score.mode) + ", " + (request.player == 0 ? "1P" : "2P") +
                                "), " + MotionName(setup) + " motion" + fitted;
      std::vector<std::int32_t> beats = BeatFrames(request);
      BodyFigures figures = MeasureBody(BodyTracks::FromDocument(motion), setup.body, &beats);
      dances.push_back({title, chart, score.name, ModeName(score.mode), request.player,
                        std::move(figures), std::move(beats)});
    };
    if (options.all) {
      for (const DanceSetup& setup : EveryChart(song, chosen)) measure(setup);
    } else {
      const std::optional<DanceSetup> setup =
          ChooseChart(song, options.file, chosen, Tr("measuring 1P"), err, problem);
      if (!setup) {
        err << problem << '\n';
        return 1;
      }
      measure(*setup);
    }
  }

  std::string text;
  if (options.json) {
    if (options.all) text += '[';
    for (std::size_t i = 0; i < dances.size(); ++i) {
      if (i > 0) text += ", ";
      text += Json(dances[i], chosen);
    }
    text += options.all ? "]\n" : "\n";
  } else {
    for (const Measured& dance : dances) text += Text(dance);
  }
  if (!options.beats.empty()) {
    std::string beats = options.all ? "[" : "";
    for (std::size_t i = 0; i < dances.size(); ++i) {
      if (i > 0) beats += ", ";
      beats += BeatsJson(dances[i].beats);
    }
    beats += options.all ? "]\n" : "\n";
    try {
      AtomicFile file(options.beats);
      file.Write(reinterpret_cast<const std::uint8_t*>(beats.data()), beats.size());
      file.Commit();
    } catch (const FileError& e) {
      err << FileProblem(e) << '\n';
      return 1;
    }
  }
  out << text;
  if (!out.flush()) {
    err << Tr("standard output: the figures could not be printed") << '\n';
    return 1;
  }
  return 0;
}

}  // namespace pavaneflow::cli
