// Plays the completion sounds (short WAV files beside the program) through
// Qt Multimedia on the UI thread. Silent, without a message and without
// waiting, when the file is missing or the machine has no audio output.
#pragma once

#include <QObject>
#include <QString>

#include <map>

class QSoundEffect;

namespace tsm::gui {

class SoundPlayer : public QObject {
 public:
  explicit SoundPlayer(QObject* parent = nullptr);
  ~SoundPlayer() override;

  // Starts the sound of a file and returns at once; false when nothing
  // plays (no such file, no audio output).
  bool Play(const QString& path);

 private:
  std::map<QString, QSoundEffect*> effects_;  // loaded once, kept for the next time
};

}  // namespace tsm::gui
