#include "cli/convert_command.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

#include "base/file_error.h"
#include "chart/dwi_document.h"
#include "chart/score.h"
#include "cli/chart_choice.h"
#include "cli/choice_option.h"
#include "cli/file_problem.h"
#include "cli/mode_name.h"
#include "cli/model_option.h"
#include "cli/not_a_chart.h"
#include "cli/open_chart_file.h"
#include "cli/reading_report.h"
#include "cli/setup_options.h"
#include "cli/terminal_text.h"
#include "cli/translation.h"
#include "export/dance_figure.h"
#include "export/export_dance.h"
#include "motion/setup/chart_outputs.h"
#include "motion/setup/dance_request.h"
#include "motion/setup/song_folders.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow::cli {
namespace {

// -o naming a folder for one file: a mistaken call, found once the arguments are read.
constexpr int kUsageStatus = 2;

class Converter {
 public:
  Converter(const ConvertOptions& options, std::ostream& out, std::ostream& err)
      : options_(options), setup_(options.setup), out_(out), err_(err) {}

  int Run() {
    if (!ReadModelOption(options_.model, setup_, err_)) return 1;
    const bool anyFolder =
        std::any_of(options_.inputs.begin(), options_.inputs.end(), IsSongFolder);
    const bool toFolder = options_.all || options_.inputs.size() > 1 || anyFolder;
    std::error_code error;
    if (!toFolder && options_.output && std::filesystem::is_directory(*options_.output, error)) {
      err_ << "pavaneflow-cli: "
           << Tr("-o names a file for one chart; use --all to write every chart into a folder")
           << '\n';
      return kUsageStatus;
    }
    if (toFolder && options_.output && !MakeFolder(*options_.output)) return 1;
    format_ = options_.format.value_or(
        !toFolder && options_.output ? FormatOfName(*options_.output).value_or(ExportFormat::kVmd)
                                     : ExportFormat::kVmd);
    for (const auto& input : options_.inputs) {
      if (IsSongFolder(input)) {
        ConvertSongs(input);
      } else {
        Convert(input, toFolder, Folder(input));
      }
    }
    // The list of written files is the user's record of the run; losing it is a failure too.
    if (!out_.flush()) Fail(Tr("standard output: the list of written files could not be printed"));
    // A pack's lines scroll by: how it went, in one line at the end.
    if (anyFolder || options_.inputs.size() > 1) err_ << Summary() << '\n';
    return failed_ ? 1 : 0;
  }

 private:
  bool MakeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error)) {
      error = std::make_error_code(std::errc::not_a_directory);
    }
    if (error) {
      err_ << Fill(Tr("{1}: cannot use as output folder: {2}"),
                   {folder.string(), std::strerror(error.value())})
           << '\n';
      return false;
    }
    return true;
  }

  // Every song beneath `root`, each into its own folder: <output>/<song folder>/, or beside its
  // chart file without -o. A song that cannot be read is reported and skipped.
  void ConvertSongs(const std::filesystem::path& root) {
    const std::vector<SongInFolder> songs = FindSongs(root);
    if (songs.empty()) Fail(NoSongsMessage(root));
    for (const SongInFolder& song : songs) {
      std::filesystem::path folder = song.file.parent_path();
      if (options_.output) {
        // The folder given is a song itself: its own name keeps it apart from others, unless the
        // output folder is already named so.
        if (song.folder != ".") {
          folder = *options_.output / song.folder;
        } else if (LastName(root) != LastName(*options_.output)) {
          folder = *options_.output / LastName(root);
        } else {
          folder = *options_.output;
        }
        if (!MakeFolder(folder)) {
          failed_ = true;
          continue;
        }
      }
      Convert(song.file, true, folder);
    }
  }

  // The name of the folder `path` names, whatever way it is written ("out/", "out/.", "."...).
  static std::filesystem::path LastName(const std::filesystem::path& path) {
    const std::filesystem::path normal = std::filesystem::absolute(path).lexically_normal();
    return normal.has_filename() ? normal.filename() : normal.parent_path().filename();
  }

  // "235 motions written, 1 song without a chart", in the user's language.
  std::string Summary() const {
    std::string line = Fill(TrN("{1} motion written", "{1} motions written", written_),
                            {std::to_string(written_)});
    auto add = [&line](std::int64_t count, const char* pattern) {
      if (count > 0) line = Fill(Tr("{1}, {2}"), {line, Fill(pattern, {std::to_string(count)})});
    };
    add(noChart_, TrN("{1} song without a chart", "{1} songs without a chart", noChart_));
    add(noTempo_,
        TrN("{1} song without a usable tempo", "{1} songs without a usable tempo", noTempo_));
    add(notRead_, TrN("{1} file not read", "{1} files not read", notRead_));
    add(notWritten_, TrN("{1} motion not written", "{1} motions not written", notWritten_));
    return line;
  }

  void Convert(const std::filesystem::path& input, bool toFolder,
               const std::filesystem::path& folder) {
    DWIDocument document;
    std::string problem;
    switch (OpenChartFile(document, input, setup_, options_.allErrors, err_, problem)) {
      case ChartFile::kOpened:
        break;
      case ChartFile::kNotRead:
        ++notRead_;
        Fail(problem);
        return;
      case ChartFile::kNoChart:
        ++noChart_;
        Fail(problem);
        return;
      case ChartFile::kNoTempo:
        ++noTempo_;
        Fail(problem);
        return;
    }

    std::vector<ChartOutput> jobs;
    if (options_.all) {
      jobs = EveryChartOutput(document, input, folder, setup_, names_, ExtensionOf(format_));
    } else {
      const std::optional<DanceSetup> setup =
          ChooseChart(document, input, setup_, Tr("dancing 1P"), err_, problem);
      if (!setup) {
        ++notWritten_;
        Fail(problem);
        return;
      }
      std::filesystem::path path;
      if (toFolder) {
        path = names_.Unique(folder / input.stem().concat(ExtensionOf(format_)));
      } else {
        path = options_.output
                   ? *options_.output
                   : std::filesystem::path(input).replace_extension(ExtensionOf(format_));
      }
      jobs.push_back({*setup, path});
    }

    for (const ChartOutput& job : jobs) Write(document, input, job);
  }

  std::filesystem::path Folder(const std::filesystem::path& input) const {
    return options_.output ? *options_.output : input.parent_path();
  }

  void Write(const SongDocument& song, const std::filesystem::path& input, const ChartOutput& job) {
    std::error_code error;
    if (std::filesystem::equivalent(input, job.path, error)) {
      ++notWritten_;
      Fail(Fill(Tr("{1}: would overwrite the input file"), {job.path.string()}));
      return;
    }
    const DanceRequest dance = MakeDanceRequest(song, job.setup);
    const GenerationRequest& request = dance.Request();
    MotionDocument motion;
    try {
      ExportDance(request, FigureOf(job.setup), format_, motion, job.path,
                  {.appendEmptySections = options_.compat});
    } catch (const std::length_error&) {
      ++notWritten_;
      Fail(Fill(Tr("{1}: the dance is too long for this file format"), {job.path.string()}));
      return;
    } catch (const FileError& e) {
      ++notWritten_;
      // Beside an input the user may not write to (an installed example): say what to do.
      const int code = e.osError();
      if (!options_.output && (code == EACCES || code == EPERM || code == EROFS)) {
        Fail(Fill(Tr("{1}: cannot write the motion beside its chart ({2}); name another file "
                     "with -o"),
                  {job.path.string(), std::strerror(code)}));
      } else {
        Fail(WriteProblem(e));
      }
      return;
    }
    ++written_;
    out_ << job.path.string() << ": chart " << job.setup.chart + 1 << " ("
         << TerminalText(request.score->name) << ", " << ModeName(request.score->mode) << ", "
         << (request.player == 0 ? "1P" : "2P") << "), " << motion.FrameCount() << " key frames";
    if (job.setup.model) out_ << ", " << FittedText(job.setup);
    out_ << '\n';
  }

  void Fail(const std::string& message) {
    err_ << message << '\n';
    failed_ = true;
  }

  const ConvertOptions& options_;
  DanceSetup setup_;  // the options' setup with the model read
  std::ostream& out_;
  std::ostream& err_;
  OutputNames names_;
  ExportFormat format_ = ExportFormat::kVmd;
  bool failed_ = false;
  // For the summary of a pack.
  std::int64_t written_ = 0;
  std::int64_t noChart_ = 0;
  std::int64_t noTempo_ = 0;
  std::int64_t notRead_ = 0;
  std::int64_t notWritten_ = 0;
};

}  // namespace

CLI::App* AddConvertCommand(CLI::App& app, ConvertOptions& options) {
  CLI::App* convert =
      app.add_subcommand("convert", Tr("Write the dance of a chart as a motion file (VMD, VRM "
                                       "Animation or BVH)"));
  convert
      ->add_option("FILE", options.inputs,
                   Tr("Chart files to convert (.dwi, .sm, .ssc), or folders of song folders"))
      ->required();
  const ChartOptions chart =
      AddSetupOptions(*convert, options.setup,
                      kChartOption | kTwistOption | kTimingOption | kFeetOption | kMotionOption);
  AddModelOption(*convert, options.setup, options.model);
  AddChoiceOption(
      *convert, "--format", options.format,
      {{"vmd", ExportFormat::kVmd}, {"vrma", ExportFormat::kVrma}, {"bvh", ExportFormat::kBvh}},
      Tr("File format: vmd (the default; the motion tools' own, with the foot IK "
         "bones), vrma (VRM Animation, for VRM avatars) or bvh (motion capture, in "
         "centimetres); vrma and bvh have the legs solved on every frame. Without it, "
         "an -o name ending in .vrma or .bvh chooses"));
  convert->add_flag("--compat", options.compat,
                    Tr("Append the empty morph, camera, light and shadow counts (VMD)"));
  convert
      ->add_flag("--all", options.all,
                 Tr("Convert every chart to <stem>_<chart name>.vmd, .vrma or .bvh (COUPLE: _1P "
                    "and _2P)"))
      ->excludes(chart.chart)
      ->excludes(chart.player);
  convert
      ->add_option("-o,--output", options.output,
                   Tr("Output file; with several files, folders or --all, an output folder "
                      "(a folder's songs go to <output>/<song folder>/)"))
      ->type_name("OUT");
  AddAllErrorsFlag(*convert, options.allErrors);
  return convert;
}

int RunConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err) {
  return Converter(options, out, err).Run();
}

}  // namespace pavaneflow::cli
