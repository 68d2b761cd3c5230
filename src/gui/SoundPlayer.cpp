#include "gui/SoundPlayer.h"

#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QMediaDevices>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace garrison::gui {

namespace {

constexpr std::array kSounds = {135, 137, 138, 139, 140, 161};

// The format and samples of a PCM WAV file; an empty sound for anything else.
struct Sound {
    QAudioFormat format;
    QByteArray samples;
};

Sound readWave(const QByteArray &file)
{
    Sound sound;
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return sound;
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const auto size = qFromLittleEndian<quint32>(file.constData() + at + 4);
        const qsizetype body = at + 8;
        if (size > static_cast<quint64>(file.size() - body))
            break;
        if (id == "fmt " && size >= 16) {
            const char *fmt = file.constData() + body;
            if (qFromLittleEndian<quint16>(fmt) != 1 || qFromLittleEndian<quint16>(fmt + 14) != 16)
                return {};
            sound.format.setChannelCount(qFromLittleEndian<quint16>(fmt + 2));
            sound.format.setSampleRate(static_cast<int>(qFromLittleEndian<quint32>(fmt + 4)));
            sound.format.setSampleFormat(QAudioFormat::Int16);
        } else if (id == "data") {
            sound.samples = file.mid(body, size);
        }
        at = body + size + (size & 1);
    }
    return sound.format.isValid() ? sound : Sound{};
}

} // namespace

SoundPlayer::SoundPlayer(QObject *parent) : QObject(parent)
{
}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::play(int id)
{
    if (std::find(kSounds.begin(), kSounds.end(), id) == kSounds.end())
        return;
    QFile file(QStringLiteral(":/sounds/%1.wav").arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return;
    Sound sound = readWave(file.readAll());
    if (sound.samples.isEmpty())
        return;
    // A new sound cuts the one still playing. Each one gets a sink of its own
    // that pulls its samples: a replayed effect of Qt 6.4 sounded only in part,
    // and an alarm that must wake the player faded to clicks.
    m_sink.reset();
    m_samples = std::make_unique<QBuffer>();
    m_samples->setData(sound.samples);
    m_samples->open(QIODevice::ReadOnly);
    m_sink = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), sound.format);
    m_sink->start(m_samples.get());
}

} // namespace garrison::gui
