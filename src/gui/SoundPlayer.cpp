#include "gui/SoundPlayer.h"

#include <QSoundEffect>
#include <QUrl>

namespace garrison::gui {

SoundPlayer::SoundPlayer(QObject *parent) : QObject(parent)
{
    for (const int id : {135, 137, 138, 139, 140, 161}) {
        auto *effect = new QSoundEffect(this);
        effect->setSource(QUrl(QStringLiteral("qrc:/sounds/%1.wav").arg(id)));
        m_effects[id] = effect;
    }
}

void SoundPlayer::play(int id)
{
    const auto found = m_effects.find(id);
    if (found == m_effects.end())
        return;
    if (m_playing)
        m_playing->stop();
    m_playing = found->second;
    m_playing->play();
}

} // namespace garrison::gui
