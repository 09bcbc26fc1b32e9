// The core as the page's worker sees it: open one song, then make the VMD bytes of its charts
// (or their VRM Animation or BVH files, for the download).
// The page's controls fill the same DanceSetup that `pavaneflow-cli convert` fills, and the file
// is read and the request made from it as there, so that a download is the file the command line
// writes with the same options.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/memory_file.h"
#include "chart/dwi_document.h"
#include "chart/problem_text.h"
#include "chart/score.h"
#include "chart/text_decoder.h"
#include "chart/utf8.h"
#include "export/dance_figure.h"
#include "export/export_dance.h"
#include "export/export_format.h"
#include "model/model_error.h"
#include "motion/classic/run.h"
#include "motion/generation_request.h"
#include "motion/pad/pad_layout.h"
#include "motion/player_lane.h"
#include "motion/setup/dance_model.h"
#include "motion/setup/dance_request.h"
#include "motion/setup/dance_setup.h"
#include "motion/setup/open_song.h"
#include "motion/setup/output_name.h"
#include "vmd/motion_document.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow::web {
namespace {

using emscripten::val;

// The worker holds one song at a time, with the timing it was read in: the dances made from it
// are timed the same way.
struct LoadedSong {
  DWIDocument document;
  ChartTiming timing = ChartTiming::kClassic;
  std::filesystem::path name;
};
LoadedSong song;

// The user's model that every dance is fitted to, as `convert --model` fits it; none, the
// reference body.
std::optional<DanceModel> model;

ChartTiming TimingNamed(const std::string& name) {
  return name == "game" ? ChartTiming::kGame : ChartTiming::kClassic;
}

// Whether option `key` of `options` is the text `value`; an option left out is the default.
bool OptionIs(const val& options, const char* key, const char* value) {
  const val option = options[key];
  return option.typeOf().as<std::string>() == "string" && option.as<std::string>() == value;
}

// The reading problems as the page words them in its language: each with its kind's name (as
// the command line's catalogue names it), its line, the words of the file it names (arguments)
// and the core's own text.
val ProblemRecords(const std::vector<ReadingProblem>& problems) {
  val records = val::array();
  for (const ReadingProblem& problem : problems) {
    val record = val::object();
    record.set("kind", std::string(ProblemKindName(problem.kind)));
    record.set("line", problem.line);
    val arguments = val::array();
    for (const std::u16string& argument : problem.arguments) {
      arguments.call<void>("push", ToUtf8(argument));
    }
    record.set("arguments", arguments);
    record.set("text", ToUtf8(ProblemText(problem)));
    records.call<void>("push", record);
  }
  return records;
}

// Reads the chart file `bytes`, named `name`, in the format its extension names and, for DWI,
// the given timing ("classic" or "game"). The answer: ok (false with `error` when it could not be
// read), format ("dwi", "sm" or "ssc"), title, artist, bpm, file (the song file the chart names:
// #FILE or #MUSIC), gap, problems (the records kept, see ProblemRecords), omitted (null, or the
// count and text of the problems past the reader's limit), gameReadable (how many of the problems
// game timing would read) and charts, each with name,
// meter, mode (0 SINGLE, 1 DOUBLE, 2 COUPLE) and its file names as `convert --all` names them.
val Open(const std::string& bytes, const std::string& name, const std::string& timing) {
  // The reader reads files: the bytes go to the module's memory file system first.
  const std::filesystem::path path = std::filesystem::path("/songs") / name;
  std::filesystem::create_directories(path.parent_path());
  {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
      std::fwrite(bytes.data(), 1, bytes.size(), file);
      std::fclose(file);
    }
  }
  song.name = name;
  song.timing = TimingNamed(timing);
  val answer = val::object();
  const bool ok = OpenSong(song.document, path, {.timing = song.timing});
  std::filesystem::remove(path);
  answer.set("ok", ok);
  if (!ok) {
    answer.set("error", song.document.OpenError());
    return answer;
  }
  const DWIDocument& d = song.document;
  answer.set("format", std::string(ChartFormatName(d.Format())));
  answer.set("title", ToUtf8(d.title));
  answer.set("artist", ToUtf8(d.artist));
  answer.set("bpm", d.bpm);
  answer.set("file", ToUtf8(d.file));
  answer.set("gap", d.gap);
  answer.set("problems", ProblemRecords(d.LastProblems()));
  const std::int64_t omitted =
      d.LastErrorCount() - static_cast<std::int64_t>(d.LastProblems().size());
  answer.set("omitted", val::null());
  if (omitted > 0) {
    val entry = val::object();
    entry.set("count", static_cast<double>(omitted));
    entry.set("text", ToUtf8(OmittedProblemsText(omitted)));
    answer.set("omitted", entry);
  }
  // The reader's own count, as the command line's hint and the application's button take it:
  // non-zero only for a DWI file read in classic timing.
  answer.set("gameReadable", static_cast<double>(d.LastGameReadableCount()));
  val charts = val::array();
  for (const auto& score : d.scores) {
    val chart = val::object();
    chart.set("name", ToUtf8(score->name));
    chart.set("meter", score->meter);
    chart.set("mode", static_cast<int>(score->mode));
    if (score->mode == kCouple) {
      chart.set("fileNames", val::array(std::vector<std::string>{
                                 ChartFileName(name, score->name, "_1P").string(),
                                 ChartFileName(name, score->name, "_2P").string()}));
    } else {
      chart.set("fileNames",
                val::array(std::vector<std::string>{ChartFileName(name, score->name).string()}));
    }
    charts.call<void>("push", chart);
  }
  answer.set("charts", charts);
  return answer;
}

// The setup of chart `index` (from 0) of the open song with the page's `options` (see Convert),
// fitted to the model LoadModel read, if any.
DanceSetup SetupOf(int index, const val& options) {
  DanceSetup setup{
      .chart = index,
      .player = options["player"].as<std::int32_t>(),
      .twist = options["twist"].as<bool>(),
      .timing = song.timing,
      .feet = OptionIs(options, "feet", "planned") ? FeetChoice::kPlanned : FeetChoice::kClassic,
      .motion =
          OptionIs(options, "motion", "natural") ? MotionChoice::kNatural : MotionChoice::kClassic,
      .facing = OptionIs(options, "facing", "screen") ? Facing::kScreen : Facing::kViewer,
  };
  // The classic motion is made for the reference body whatever the setup's model.
  if (model) FitTo(setup, *model);
  return setup;
}

// A copy of `bytes` that the module's memory does not own, and only one: each copy is a new
// buffer of several megabytes, whose fresh memory costs the system more than the conversion itself.
val OwnBytes(const std::vector<std::uint8_t>& bytes) {
  return val(emscripten::typed_memory_view(bytes.size(), bytes.data())).call<val>("slice");
}

// The dance of chart `index` (from 0) of the open song. `options`: player (0 or 1; 2P only for
// a COUPLE chart, as the command line chooses), twist, feet ("classic" or "planned"), motion
// ("classic" or "natural"), facing ("viewer" or "screen", natural motion only) and compat (append
// the empty sections; natural motion always does, as the command line writes it). `progress`, a
// function, hears the share done (0 to 1) now and then. The answer: vmd (the file's bytes, empty
// for a chart that is not there), frames (key frames) and panels (arrow, x, z of each panel the
// dance is drawn on, and its scale: its size to a panel of the reference body's pad). The dance is
// fitted to the model LoadModel read, if any.
val Convert(int index, val options, val progress) {
  const DanceSetup setup = SetupOf(index, options);
  const DanceRequest dance = MakeDanceRequest(song.document, setup);
  const GenerationRequest& request = dance.Request();
  val answer = val::object();
  answer.set("panels", val::array());
  answer.set("frames", 0);
  if (request.score == nullptr) {
    answer.set("vmd", val::global("Uint8Array").new_(0));
    return answer;
  }

  const Lane* lane = FindPlayerLane(request);
  const std::size_t steps = lane != nullptr ? lane->frames.size() : 0;
  std::size_t done = 0;
  const std::size_t every = steps / 50 + 1;
  MotionDocument motion;
  Synthesize(request, motion, [&](std::size_t) {
    if (++done % every == 0 && progress.typeOf().as<std::string>() == "function") {
      progress(static_cast<double>(done) / static_cast<double>(steps));
    }
  });
  // The file the command line writes, kept in memory: the page has no file system to keep it.
  const VmdWriteOptions asked{.appendEmptySections = options["compat"].as<bool>()};
  MemoryFile file;
  WriteVmd(motion, file, request.motion != nullptr ? request.motion->WriteOptions(asked) : asked);
  const std::vector<std::uint8_t>& bytes = file.Bytes();
  answer.set("vmd", OwnBytes(bytes));
  answer.set("frames", static_cast<double>(motion.FrameCount()));
  val panels = val::array();
  // The natural motion steps on a pad scaled with the legs of the body it is fitted to.
  const double scale = setup.motion == MotionChoice::kNatural ? setup.body.PadScale() : 1.0;
  const PadLayout layout = PadLayout::ForRequest(request);
  for (const PadLayout::Panel& panel : layout.Panels()) {
    val p = val::object();
    p.set("arrow", static_cast<int>(panel.arrow));
    p.set("x", static_cast<double>(panel.centre.x) * scale);
    p.set("z", static_cast<double>(panel.centre.z) * scale);
    p.set("scale", scale);
    panels.call<void>("push", p);
  }
  answer.set("panels", panels);
  return answer;
}

// The file `convert --format vrma|bvh` writes for chart `index` with `options` (see Convert), in
// `format` ("vrma" or "bvh"; anything else is VMD): its bytes, empty for a chart that is not
// there. Throws (an exception the page hears as an error) for a dance too long for the format.
val ExportFile(int index, val options, const std::string& format) {
  const DanceSetup setup = SetupOf(index, options);
  const DanceRequest dance = MakeDanceRequest(song.document, setup);
  const GenerationRequest& request = dance.Request();
  if (request.score == nullptr) return val::global("Uint8Array").new_(0);
  const ExportFormat chosen = FormatOfName("dance." + format).value_or(ExportFormat::kVmd);
  MotionDocument motion;
  MemoryFile file;
  ExportDance(request, FigureOf(setup), chosen, motion, file,
              {.appendEmptySections = options["compat"].as<bool>()});
  return OwnBytes(file.Bytes());
}

// Reads the PMX or VRM model file `bytes`, named `name`, for every later dance to be fitted to.
// The answer: ok, the model's own name and scale (the pad's, S), or, when it is no model to dance,
// ok false with pattern (the English words of the problem, as the command line's catalogue holds
// them, "{1}" to "{4}" standing for the values), values (the file, the bone or node, the byte
// offset, the value) and text (the pattern filled in); the dances are then made for the reference
// body again.
val LoadModel(const std::string& bytes, const std::string& name) {
  model.reset();
  val answer = val::object();
  try {
    model = DanceModelFromBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), name);
  } catch (const ModelError& error) {
    answer.set("ok", false);
    answer.set("pattern", std::string(ModelProblemPattern(error.problem())));
    answer.set("values",
               val::array(std::vector<std::string>{error.file(), error.name(),
                                                   std::to_string(error.offset()), error.value()}));
    answer.set("text", std::string(error.what()));
    return answer;
  }
  // The name as the model writes it, any bytes that are no UTF-8 made readable.
  std::u16string modelName;
  TextDecoder decoder;
  decoder.Decode(model->skeleton.name, modelName);
  decoder.Finish(modelName);
  answer.set("ok", true);
  answer.set("name", ToUtf8(modelName));
  answer.set("scale", model->body.PadScale());
  return answer;
}

// The names of every kind of reading problem the core knows.
val ProblemKinds() {
  val names = val::array();
  for (const ProblemKind kind : AllProblemKinds()) {
    names.call<void>("push", std::string(ProblemKindName(kind)));
  }
  return names;
}

}  // namespace

EMSCRIPTEN_BINDINGS(pavaneflow) {
  emscripten::function("open", &Open);
  emscripten::function("convert", &Convert);
  emscripten::function("exportFile", &ExportFile);
  emscripten::function("loadModel", &LoadModel);
  emscripten::function("problemKinds", &ProblemKinds);
}

}  // namespace pavaneflow::web
