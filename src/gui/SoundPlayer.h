#pragma once

#include "app/SoundOutput.h"

#include <QObject>

#include <memory>

class QAudioSink;
class QBuffer;

namespace garrison::gui {

// The sounds of resources/sounds, played by Qt Multimedia.
class SoundPlayer final : public QObject, public SoundOutput {
    Q_OBJECT

public:
    explicit SoundPlayer(QObject *parent = nullptr);
    ~SoundPlayer() override;
    void play(int id) override;

private:
    std::unique_ptr<QBuffer> m_samples; // what the sink reads: destroyed after it
    std::unique_ptr<QAudioSink> m_sink;
};

} // namespace garrison::gui
