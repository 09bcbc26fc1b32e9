#include "cli/convert_command.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <string>
#include <system_error>

#include "base/file_error.h"
#include "chart/dwi_document.h"
#include "chart/score.h"
#include "cli/chart_choice.h"
#include "cli/file_problem.h"
#include "cli/mode_name.h"
#include "cli/model_option.h"
#include "cli/not_a_chart.h"
#include "cli/open_chart_file.h"
#include "cli/output_name.h"
#include "cli/reading_report.h"
#include "cli/setup_options.h"
#include "cli/song_folders.h"
#include "cli/terminal_text.h"
#include "cli/translation.h"
#include "motion/classic/run.h"
#include "motion/setup/dance_request.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow::cli {
namespace {

// -o naming a folder for one file: a mistaken call, found once the arguments are read.
constexpr int kUsageStatus = 2;

// One file to write: which chart, for which player, where.
struct Job {
  DanceSetup setup;
  std::filesystem::path path;
};

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
    for (const auto& input : options_.inputs) {
      if (IsSongFolder(input)) {
        ConvertSongs(input);
      } else {
        Convert(input, toFolder, Folder(input));
      }
    }
    // The list of written files is the user's record of the run; losing it is a failure too.
    if (!out_.flush()) Fail(Tr("standard output: the list of written files could not be printed"));
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
        // The folder given is a song itself: its own name keeps it apart from others.
        const std::filesystem::path name =
            song.folder == "." ? std::filesystem::absolute(root).lexically_normal().filename()
                               : song.folder;
        folder = *options_.output / name;
        if (!MakeFolder(folder)) {
          failed_ = true;
          continue;
        }
      }
      Convert(song.file, true, folder);
    }
  }

  void Convert(const std::filesystem::path& input, bool toFolder,
               const std::filesystem::path& folder) {
    DWIDocument document;
    std::string problem;
    if (!OpenChartFile(document, input, setup_, options_.allErrors, err_, problem)) {
      Fail(problem);
      return;
    }

    std::vector<Job> jobs;
    if (options_.all) {
      for (std::size_t i = 0; i < document.scores.size(); ++i) {
        const Score& score = *document.scores[i];
        DanceSetup setup = setup_;
        setup.chart = static_cast<int>(i);
        setup.player = 0;
        if (score.mode == kCouple) {
          jobs.push_back({setup, OutputPath(folder, input, score.name, "_1P")});
          setup.player = 1;
          jobs.push_back({setup, OutputPath(folder, input, score.name, "_2P")});
        } else {
          jobs.push_back({setup, OutputPath(folder, input, score.name, "")});
        }
      }
    } else {
      const std::optional<DanceSetup> setup =
          ChooseChart(document, input, setup_, Tr("dancing 1P"), err_, problem);
      if (!setup) {
        Fail(problem);
        return;
      }
      std::filesystem::path path;
      if (toFolder) {
        path = Unique(folder / input.stem().concat(".vmd"));
      } else {
        path = options_.output ? *options_.output
                               : std::filesystem::path(input).replace_extension(".vmd");
      }
      jobs.push_back({*setup, path});
    }

    for (const Job& job : jobs) Write(document, input, job);
  }

  std::filesystem::path Folder(const std::filesystem::path& input) const {
    return options_.output ? *options_.output : input.parent_path();
  }

  std::filesystem::path OutputPath(const std::filesystem::path& folder,
                                   const std::filesystem::path& input, std::u16string_view name,
                                   std::string_view suffix) {
    return Unique(folder / ChartFileName(input, name, suffix));
  }

  // Two charts of one name, or two inputs of one stem sent to one folder, would overwrite each
  // other's motion: later ones get "-2", "-3", ... before the extension.
  std::filesystem::path Unique(std::filesystem::path path) {
    const auto stem = path.stem().string();
    for (int n = 2; !planned_.insert(path.lexically_normal()).second; ++n) {
      path.replace_filename(stem + "-" + std::to_string(n) + ".vmd");
    }
    return path;
  }

  void Write(const SongDocument& song, const std::filesystem::path& input, const Job& job) {
    std::error_code error;
    if (std::filesystem::equivalent(input, job.path, error)) {
      Fail(Fill(Tr("{1}: would overwrite the input file"), {job.path.string()}));
      return;
    }
    const DanceRequest dance = MakeDanceRequest(song, job.setup);
    const GenerationRequest& request = dance.Request();
    MotionDocument motion;
    try {
      pavaneflow::Run(request, motion, job.path, {.appendEmptySections = options_.compat});
    } catch (const FileError& e) {
      // Beside an input the user may not write to (an installed example): say what to do.
      const int code = e.osError();
      if (!options_.output && (code == EACCES || code == EPERM || code == EROFS)) {
        Fail(Fill(Tr("{1}: cannot write the motion beside its chart ({2}); name another file "
                     "with -o"),
                  {job.path.string(), std::strerror(code)}));
      } else {
        Fail(FileProblem(e));
      }
      return;
    }
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
  std::set<std::filesystem::path> planned_;
  bool failed_ = false;
};

}  // namespace

CLI::App* AddConvertCommand(CLI::App& app, ConvertOptions& options) {
  CLI::App* convert =
      app.add_subcommand("convert", Tr("Write the dance of a chart as a VMD motion file"));
  convert
      ->add_option("FILE", options.inputs,
                   Tr("Chart files to convert (.dwi, .sm, .ssc), or folders of song folders"))
      ->required();
  const ChartOptions chart =
      AddSetupOptions(*convert, options.setup,
                      kChartOption | kTwistOption | kTimingOption | kFeetOption | kMotionOption);
  AddModelOption(*convert, options.setup, options.model);
  convert->add_flag("--compat", options.compat,
                    Tr("Append the empty morph, camera, light and shadow counts"));
  convert
      ->add_flag("--all", options.all,
                 Tr("Convert every chart to <stem>_<chart name>.vmd (COUPLE: _1P and _2P)"))
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
