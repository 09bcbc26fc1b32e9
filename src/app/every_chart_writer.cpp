#include "app/every_chart_writer.h"

#include <algorithm>
#include <exception>
#include <system_error>

#include <QDir>

#include "app/native_path.h"
#include "app/os_reason.h"
#include "base/file_error.h"
#include "chart/dwi_document.h"
#include "motion/classic/run.h"
#include "motion/setup/chart_outputs.h"
#include "motion/setup/dance_request.h"
#include "motion/setup/open_song.h"
#include "vmd/vmd_signature.h"

namespace pavaneflow {
namespace {

QString Shown(const std::filesystem::path& path) {
  return QDir::toNativeSeparators(FromNativePath(path));
}

// One run of EveryChartWriter::Write.
class Writing {
 public:
  Writing(const std::vector<EveryChartWriter::Song>& songs, const DanceSetup& setup,
          const EveryChartWriter::Progress& progress)
      : songs_(songs), setup_(setup), progress_(progress), bySong_(songs.size() > 1) {}

  EveryChartWriter::Summary Go() {
    if (bySong_) total_ = static_cast<int>(songs_.size());
    for (std::size_t i = 0; i < songs_.size() && !summary_.cancelled; ++i) {
      if (bySong_ && !Step(static_cast<int>(i), songs_[i].file)) break;
      WriteSong(songs_[i]);
    }
    if (!summary_.cancelled && progress_) progress_(total_, total_, QString());
    return summary_;
  }

 private:
  // Tells the progress; false, with the run cancelled, when the user stopped it.
  bool Step(int done, const std::filesystem::path& file) {
    if (progress_ && !progress_(done, total_, Shown(file))) summary_.cancelled = true;
    return !summary_.cancelled;
  }

  void Fail(int& count, const QString& text) {
    ++count;
    summary_.failures += text;
  }

  void WriteSong(const EveryChartWriter::Song& song) {
    DWIDocument document;
    const QString file = Shown(song.file);
    if (IsVmdFile(song.file)) {
      Fail(summary_.notRead, QStringLiteral("%1: VMD モーションで、譜面ではありません").arg(file));
      return;
    }
    if (!OpenSong(document, song.file, setup_)) {
      Fail(summary_.notRead,
           file + QStringLiteral(": ") + OsReason(document.OpenOsError(), document.OpenError()));
      return;
    }
    if (document.scores.empty()) {
      Fail(summary_.noChart, QStringLiteral("%1: 譜面がありません").arg(file));
      return;
    }
    if (!document.HasUsableTempo()) {
      Fail(summary_.noTempo, QStringLiteral("%1: 使えるテンポがありません").arg(file));
      return;
    }
    std::error_code error;
    std::filesystem::create_directories(song.folder, error);
    const std::vector<ChartOutput> outputs =
        EveryChartOutput(document, song.file, song.folder, setup_, names_);
    if (!bySong_) total_ = static_cast<int>(outputs.size());
    for (std::size_t i = 0; i < outputs.size(); ++i) {
      if (!bySong_ && !Step(static_cast<int>(i), outputs[i].path)) return;
      Write(document, song.file, outputs[i]);
    }
  }

  void Write(const DWIDocument& document, const std::filesystem::path& input,
             const ChartOutput& output) {
    std::error_code error;
    if (std::filesystem::equivalent(input, output.path, error)) {
      Fail(summary_.notWritten, QStringLiteral("%1: 読み込んだファイルに上書きすることになります")
                                    .arg(Shown(output.path)));
      return;
    }
    try {
      const DanceRequest dance = MakeDanceRequest(document, output.setup);
      MotionDocument motion;
      pavaneflow::Run(dance.Request(), motion, output.path);
      ++summary_.written;
    } catch (const FileError& e) {
      Fail(summary_.notWritten,
           Shown(e.path()) + QStringLiteral(": ") + OsReason(e.osError(), e.reason()));
    } catch (const std::exception& e) {
      Fail(summary_.notWritten,
           Shown(output.path) + QStringLiteral(": ") + QString::fromStdString(e.what()));
    }
  }

  const std::vector<EveryChartWriter::Song>& songs_;
  const DanceSetup& setup_;
  const EveryChartWriter::Progress& progress_;
  // Steps are the songs when there are several, else the motions of the one song.
  const bool bySong_;
  OutputNames names_;
  EveryChartWriter::Summary summary_;
  int total_ = 0;
};

}  // namespace

EveryChartWriter::Summary EveryChartWriter::Write(const std::vector<Song>& songs,
                                                  const DanceSetup& setup,
                                                  const Progress& progress) {
  return Writing(songs, setup, progress).Go();
}

QString EveryChartWriter::SummaryText(const Summary& summary) {
  QString text = summary.cancelled ? QStringLiteral("途中で中止しました。\n") : QString();
  text += QStringLiteral("モーションを %1 個書き出しました。").arg(summary.written);
  QStringList others;
  if (summary.noChart > 0) others += QStringLiteral("譜面のない曲 %1 曲").arg(summary.noChart);
  if (summary.noTempo > 0) {
    others += QStringLiteral("使えるテンポのない曲 %1 曲").arg(summary.noTempo);
  }
  if (summary.notRead > 0) {
    others += QStringLiteral("読めなかったファイル %1 個").arg(summary.notRead);
  }
  if (summary.notWritten > 0) {
    others += QStringLiteral("書き出せなかったモーション %1 個").arg(summary.notWritten);
  }
  if (!others.isEmpty()) text += QStringLiteral("\n") + others.join(QStringLiteral("、"));
  // The first few reasons; a long list belongs to the command line's report.
  constexpr qsizetype kShownFailures = 10;
  for (qsizetype i = 0; i < std::min(summary.failures.size(), kShownFailures); ++i) {
    text += QStringLiteral("\n") + summary.failures[i];
  }
  if (summary.failures.size() > kShownFailures) {
    text += QStringLiteral("\nほか %1 件").arg(summary.failures.size() - kShownFailures);
  }
  return text;
}

}  // namespace pavaneflow
