#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "motion/generation_request.h"
#include "motion/pad/pad_layout.h"
#include "vmd/bone_track.h"

class QAudioOutput;
class QComboBox;
class QLabel;
class QMediaPlayer;
class QPushButton;
class QSlider;

namespace pavaneflow {

class PadView;

// The preview pane: the dance of one request, made in memory, played on a pad seen from above
// with the song. The picture follows the song's playback position while the song plays; without
// a song (none named, not found, not playable, no audio output) it runs on its own clock and
// says why in a status message.
class DancePreview : public QWidget {
  Q_OBJECT

 public:
  explicit DancePreview(QWidget* parent = nullptr);
  ~DancePreview() override;

  // Makes the dance of `request` and shows it at the time shown so far. `dwiPath` is the chart's
  // file, where the song that the song document names is looked for. A request without a Score
  // empties the pane.
  void SetRequest(const GenerationRequest& request, const QString& dwiPath);

  // Shows the moment `seconds` into the motion (and moves the song there).
  void Seek(double seconds);
  // Stops playing and goes back to the start: another file begins at its beginning.
  void Rewind();
  void TogglePlaying();
  bool IsPlaying() const { return playing_; }
  double Seconds() const { return seconds_; }
  // 0.25, 0.5 or 1.
  void SetSpeed(double speed);

  // Why the song does not play; empty while it plays.
  const QString& SongProblem() const { return songProblem_; }
  // The song file in use; empty when silent.
  const QString& SongPath() const { return songPath_; }
  PadView* Pad() const { return pad_; }

 signals:
  void statusMessage(const QString& text);

 private:
  void LoadSong(const QString& dwiPath, const QString& fileTag);
  void SetSongProblem(const QString& problem);
  void OnTick();
  void Show(double seconds);
  // The song's position, or the own clock's, in seconds of the motion.
  double ClockSeconds() const;
  void Restart(double seconds);

  PadView* pad_;
  QPushButton* playButton_;
  QSlider* slider_;
  QLabel* timeLabel_;
  QComboBox* speedBox_;
  QTimer timer_;
  QElapsedTimer clock_;

  BoneTrack left_;
  BoneTrack right_;
  BoneTrack centre_;
  double endSeconds_ = 0.0;
  double seconds_ = 0.0;
  double anchor_ = 0.0;  // seconds at the last restart of `clock_`
  double speed_ = 1.0;
  bool playing_ = false;

  QMediaPlayer* player_ = nullptr;  // only while a song can be played
  QAudioOutput* audio_ = nullptr;
  QString songKey_;  // the DWI path and tag the song was looked up for
  QString songPath_;
  QString songProblem_;
};

}  // namespace pavaneflow
