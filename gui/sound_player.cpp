#include "gui/sound_player.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <cstdio>

namespace tsm::gui {

namespace {

QtMessageHandler previousHandler = nullptr;

// A machine without a sound server is no news to the user: the audio
// system's remark about the missing server is dropped, others pass on.
void DropMissingServerRemarks(QtMsgType type, const QMessageLogContext& context,
                              const QString& text) {
  if (text.contains(QLatin1String("PulseAudio")) || text.contains(QLatin1String("pa_context")))
    return;
  if (previousHandler) {
    previousHandler(type, context, text);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
  }
}

bool HasAudioOutput() {
  previousHandler = qInstallMessageHandler(DropMissingServerRemarks);
  const bool has = !QMediaDevices::defaultAudioOutput().isNull();
  qInstallMessageHandler(previousHandler);
  return has;
}

}  // namespace

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() = default;  // the effects are children

bool SoundPlayer::Play(const QString& path) {
  if (!QFileInfo(path).isFile()) return false;
  // Asked only when a sound is due, so a normal start never touches the
  // audio system.
  if (!HasAudioOutput()) return false;
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
