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
    struct Frame {
        QImage image;
        int interval = 100;
    };
    // The largest banner shown at its own size; a larger one is scaled down
    // to fit, so the news never decides the window's size.
    static constexpr QSize kMaxSize{600, 150};
    // Pictures of more pixels than this are not decoded at all.
    static constexpr qint64 kMaxPixels = 4'000'000;

    explicit NewsPicture(QWidget *parent = nullptr);

    // Decodes the bytes (any format Qt reads; GIF frames come composed),
    // scaled to fit kMaxSize; none when they are no picture or too large.
    // Safe on any thread: the window decodes off the UI thread.
    static std::vector<Frame> decode(const QByteArray &bytes);
    // Shows decoded frames; false, and nothing shown, for none.
    bool show(std::vector<Frame> frames);
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

    std::vector<Frame> m_frames;
    int m_current = -1;
    QTimer m_timer;
};

} // namespace garrison::gui
