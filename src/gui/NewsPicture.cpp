#include "gui/NewsPicture.h"

#include <QBuffer>
#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>

namespace garrison::gui {

namespace {

// Frames beyond these are not kept: a banner is a few dozen small frames,
// and a hostile one must not eat the memory.
constexpr int kMaxFrames = 1000;
constexpr qsizetype kMaxDecodedBytes = 128 * 1024 * 1024;

} // namespace

NewsPicture::NewsPicture(QWidget *parent) : QLabel(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { showFrame((m_current + 1) % frameCount()); });
    setCursor(Qt::PointingHandCursor);
}

int NewsPicture::frameInterval(int delayMs)
{
    return delayMs > 40 ? delayMs : 100;
}

bool NewsPicture::load(const QByteArray &bytes)
{
    stop();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image;
    qsizetype decoded = 0;
    while (frameCount() < kMaxFrames && reader.read(&image)) {
        decoded += image.sizeInBytes();
        if (decoded > kMaxDecodedBytes)
            break;
        m_frames.push_back({image, frameInterval(reader.nextImageDelay())});
        if (!reader.supportsAnimation() || !reader.canRead())
            break;
    }
    if (m_frames.empty())
        return false;
    setFixedSize(m_frames.front().image.size());
    showFrame(0);
    return true;
}

void NewsPicture::stop()
{
    m_timer.stop();
    m_frames.clear();
    m_current = -1;
    clear();
}

void NewsPicture::showFrame(int index)
{
    m_current = index;
    setPixmap(QPixmap::fromImage(m_frames[static_cast<std::size_t>(index)].image));
    if (frameCount() > 1)
        m_timer.start(m_frames[static_cast<std::size_t>(index)].interval);
}

void NewsPicture::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

} // namespace garrison::gui
