#pragma once

#include <QImage>
#include <QLabel>
#include <QTimer>

#include <vector>

namespace garrison::gui {

// The news banner: a still picture, or an animated GIF played with the
// frame timing of the banners' makers. Clicking it opens the news link.
class NewsPicture final : public QLabel {
    Q_OBJECT

public:
    explicit NewsPicture(QWidget *parent = nullptr);

    // Decodes the bytes (any format Qt reads; GIF frames come composed);
    // false, and nothing shown, when they are no picture.
    bool load(const QByteArray &bytes);
    void stop();

    // How long a frame stays: its delay when above 40 ms, else 100 ms, so a
    // frame without a delay never halts the animation.
    static int frameInterval(int delayMs);

    int frameCount() const { return static_cast<int>(m_frames.size()); }
    int currentFrame() const { return m_current; }
    int currentInterval() const { return m_timer.interval(); }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void showFrame(int index);

    struct Frame {
        QImage image;
        int interval = 100;
    };
    std::vector<Frame> m_frames;
    int m_current = -1;
    QTimer m_timer;
};

} // namespace garrison::gui
