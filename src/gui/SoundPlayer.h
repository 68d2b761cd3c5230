#pragma once

#include "app/SoundOutput.h"

#include <QObject>

#include <map>

class QSoundEffect;

namespace garrison::gui {

// The sounds of resources/sounds, played by Qt Multimedia.
class SoundPlayer final : public QObject, public SoundOutput {
    Q_OBJECT

public:
    explicit SoundPlayer(QObject *parent = nullptr);
    void play(int id) override;

private:
    std::map<int, QSoundEffect *> m_effects;
    QSoundEffect *m_playing = nullptr;
};

} // namespace garrison::gui
