#include "app/dance_preview.h"

#include <algorithm>
#include <cmath>

#include <QAudioDevice>
#include <QAudioOutput>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QUrl>
#include <QVBoxLayout>

#include "app/pad_view.h"
#include "app/song_file.h"
#include "chart/song_document.h"
#include "motion/bone_names.h"
#include "motion/classic/run.h"
#include "sheet/dance_sheet.h"

namespace pavaneflow {
namespace {

// One frame of the screen at 60 Hz.
constexpr int kTickMilliseconds = 16;
// The pane keeps a second after the last key frame.
constexpr double kTrailingSeconds = 1.0;
constexpr double kSpeeds[] = {0.25, 0.5, 1.0};

// "m:ss.ff" and the frame number.
QString TimeText(double seconds) {
  const auto hundredths = static_cast<long long>(std::floor(std::max(0.0, seconds) * 100.0));
  const auto frame = static_cast<long long>(std::floor(std::max(0.0, seconds) * kFramesPerSecond));
  return QStringLiteral("%1:%2.%3  フレーム %4")
      .arg(hundredths / 6000)
      .arg(hundredths / 100 % 60, 2, 10, QLatin1Char('0'))
      .arg(hundredths % 100, 2, 10, QLatin1Char('0'))
      .arg(frame);
}

}  // namespace

DancePreview::DancePreview(QWidget* parent)
    : QWidget(parent),
      pad_(new PadView(this)),
      playButton_(new QPushButton(QStringLiteral("再生(&P)"), this)),
      slider_(new QSlider(Qt::Horizontal, this)),
      timeLabel_(new QLabel(this)),
      speedBox_(new QComboBox(this)) {
  setObjectName(QStringLiteral("dancePreview"));
  slider_->setObjectName(QStringLiteral("timeSlider"));
  slider_->setAccessibleName(QStringLiteral("再生位置"));
  slider_->setPageStep(static_cast<int>(kFramesPerSecond));  // a second a page
  playButton_->setObjectName(QStringLiteral("playButton"));
  speedBox_->setObjectName(QStringLiteral("speedBox"));
  speedBox_->setAccessibleName(QStringLiteral("再生速度"));
  for (const double speed : kSpeeds) {
    speedBox_->addItem(QStringLiteral("%1×").arg(speed), speed);
  }
  speedBox_->setCurrentIndex(speedBox_->count() - 1);
  timeLabel_->setText(TimeText(0.0));
  // Room for a long song's time from the start: the pane must not grow while it plays or when a
  // chart is loaded.
  timeLabel_->setMinimumWidth(timeLabel_->fontMetrics().horizontalAdvance(TimeText(5999.99)));
  auto* speedLabel = new QLabel(QStringLiteral("速度(&S):"), this);
  speedLabel->setBuddy(speedBox_);

  auto* controls = new QHBoxLayout;
  controls->addWidget(playButton_);
  controls->addWidget(timeLabel_, 1);
  controls->addWidget(speedLabel);
  controls->addWidget(speedBox_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pad_, 1);
  layout->addWidget(slider_);
  layout->addLayout(controls);

  timer_.setInterval(kTickMilliseconds);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &DancePreview::OnTick);
  connect(playButton_, &QPushButton::clicked, this, &DancePreview::TogglePlaying);
  connect(slider_, &QSlider::valueChanged, this, [this](int frame) {
    if (std::lround(seconds_ * kFramesPerSecond) != frame) Seek(frame / kFramesPerSecond);
  });
  connect(speedBox_, &QComboBox::currentIndexChanged, this,
          [this] { SetSpeed(speedBox_->currentData().toDouble()); });
  // Space plays and pauses while the focus is in the pane; elsewhere in the window it keeps its
  // usual meaning (checking a box, pressing a button).
  auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
  space->setContext(Qt::WidgetWithChildrenShortcut);
  connect(space, &QShortcut::activated, this, &DancePreview::TogglePlaying);
  setEnabled(false);
}

DancePreview::~DancePreview() = default;

void DancePreview::SetRequest(const GenerationRequest& request, const QString& dwiPath) {
  if (request.score == nullptr || request.song == nullptr) {
    if (playing_) TogglePlaying();
    left_ = right_ = centre_ = BoneTrack();
    pad_->SetLayout(PadLayout());
    endSeconds_ = 0.0;
    slider_->setRange(0, 0);
    setEnabled(false);
    return;
  }
  MotionDocument motion;
  Synthesize(request, motion);
  left_ = BoneTrack::FromDocument(motion, kLeftFootIkBone);
  right_ = BoneTrack::FromDocument(motion, kRightFootIkBone);
  centre_ = BoneTrack::FromDocument(motion, kCentreBone);
  const std::int32_t lastFrame =
      motion.FrameCount() == 0 ? 0 : motion.At(motion.FrameCount() - 1).frameNumber();
  endSeconds_ = lastFrame / kFramesPerSecond + kTrailingSeconds;
  pad_->SetLayout(PadLayout::ForRequest(request));
  {
    const QSignalBlocker blocker(slider_);
    slider_->setRange(0, static_cast<int>(std::ceil(endSeconds_ * kFramesPerSecond)));
  }
  setEnabled(true);
  LoadSong(dwiPath, QString::fromStdU16String(request.song->file));
  // Another song while playing: it takes over from where the picture is.
  if (playing_ && player_ != nullptr && player_->playbackState() != QMediaPlayer::PlayingState) {
    player_->setPosition(std::llround(ClockSeconds() * 1000.0));
    player_->play();
  }
  Show(std::min(seconds_, endSeconds_));
}

void DancePreview::LoadSong(const QString& dwiPath, const QString& fileTag) {
  const QString key = dwiPath + QLatin1Char('\n') + fileTag;
  if (key == songKey_) {
    if (!songProblem_.isEmpty()) emit statusMessage(songProblem_);
    return;
  }
  songKey_ = key;
  if (player_ != nullptr) {
    player_->stop();
    player_->deleteLater();
    player_ = nullptr;
    audio_ = nullptr;
  }
  songPath_.clear();
  const SongFile song = FindSongFile(dwiPath, fileTag);
  if (song.path.isEmpty()) {
    SetSongProblem(song.problem + QStringLiteral("。音なしでプレビューします"));
    return;
  }
  // Without an output device (a server, a test run) a player has nothing to play into.
  if (QMediaDevices::audioOutputs().isEmpty()) {
    SetSongProblem(QStringLiteral("音声の出力先がありません。音なしでプレビューします"));
    return;
  }
  player_ = new QMediaPlayer(this);
  audio_ = new QAudioOutput(player_);
  player_->setAudioOutput(audio_);
  player_->setPlaybackRate(speed_);
  connect(player_, &QMediaPlayer::errorOccurred, this,
          [this](QMediaPlayer::Error, const QString& message) {
            SetSongProblem(
                QStringLiteral("曲を再生できません (%1)。音なしでプレビューします").arg(message));
            if (player_ != nullptr) {
              player_->deleteLater();
              player_ = nullptr;
              audio_ = nullptr;
            }
            Restart(seconds_);
          });
  connect(player_, &QMediaPlayer::positionChanged, this, [this](qint64 position) {
    if (playing_) Restart(static_cast<double>(position) / 1000.0);
  });
  songPath_ = song.path;
  songProblem_.clear();
  player_->setSource(QUrl::fromLocalFile(song.path));
  emit statusMessage(QStringLiteral("曲: %1").arg(QDir::toNativeSeparators(song.path)));
}

void DancePreview::SetSongProblem(const QString& problem) {
  songProblem_ = problem;
  songPath_.clear();
  emit statusMessage(problem);
}

void DancePreview::Seek(double seconds) {
  seconds = std::clamp(seconds, 0.0, endSeconds_);
  if (player_ != nullptr) player_->setPosition(std::llround(seconds * 1000.0));
  Restart(seconds);
  Show(seconds);
}

void DancePreview::Rewind() {
  if (playing_) TogglePlaying();
  Seek(0.0);
}

void DancePreview::TogglePlaying() {
  if (!playing_ && endSeconds_ <= 0.0) return;
  playing_ = !playing_;
  if (playing_) {
    if (seconds_ >= endSeconds_) Seek(0.0);
    Restart(seconds_);
    if (player_ != nullptr) {
      player_->setPosition(std::llround(seconds_ * 1000.0));
      player_->play();
    }
    timer_.start();
    playButton_->setText(QStringLiteral("一時停止(&P)"));
  } else {
    timer_.stop();
    if (player_ != nullptr) player_->pause();
    Show(ClockSeconds());
    playButton_->setText(QStringLiteral("再生(&P)"));
  }
}

void DancePreview::SetSpeed(double speed) {
  Restart(ClockSeconds());
  speed_ = speed;
  if (player_ != nullptr) player_->setPlaybackRate(speed);
  const int index = speedBox_->findData(speed);
  if (index >= 0 && index != speedBox_->currentIndex()) speedBox_->setCurrentIndex(index);
}

void DancePreview::Restart(double seconds) {
  anchor_ = seconds;
  clock_.restart();
}

double DancePreview::ClockSeconds() const {
  if (!playing_ || !clock_.isValid()) return seconds_;
  // Between two position reports of the song the clock runs on at the playing speed.
  return anchor_ + static_cast<double>(clock_.nsecsElapsed()) * 1e-9 * speed_;
}

void DancePreview::OnTick() {
  const double now = ClockSeconds();
  if (now >= endSeconds_) {
    Show(endSeconds_);
    TogglePlaying();
    return;
  }
  Show(now);
}

void DancePreview::Show(double seconds) {
  seconds_ = seconds;
  const double frame = seconds * kFramesPerSecond;
  pad_->SetPose(left_.At(frame), right_.At(frame), centre_.At(frame));
  timeLabel_->setText(TimeText(seconds));
  const QSignalBlocker blocker(slider_);
  slider_->setValue(static_cast<int>(std::lround(frame)));
}

}  // namespace pavaneflow
