#include "gui/sound_player.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace tsm::gui {

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() = default;  // the effects are children

bool SoundPlayer::Play(const QString& path) {
  if (!QFileInfo(path).isFile()) return false;
  // Asked only when a sound is due, so a normal start never touches the
  // audio system.
  if (QMediaDevices::defaultAudioOutput().isNull()) return false;
  QSoundEffect*& effect = effects_[path];
  if (!effect) {
    effect = new QSoundEffect(this);
    effect->setSource(QUrl::fromLocalFile(path));
  }
  // A sound effect loads in the background and starts once loaded.
  effect->play();
  return true;
}

}  // namespace tsm::gui
