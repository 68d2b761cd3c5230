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
constexpr qsizetype kMaxDecodedBytes = 32 * 1024 * 1024;

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

std::vector<NewsPicture::Frame> NewsPicture::decode(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Judged by its header, before a pixel is decoded.
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxPixels)
        return {};
    const QSize shown = size.boundedTo(kMaxSize) == size ? size : size.scaled(kMaxSize, Qt::KeepAspectRatio);
    std::vector<Frame> frames;
    QImage image;
    qsizetype decoded = 0;
    while (static_cast<int>(frames.size()) < kMaxFrames && reader.read(&image)) {
        decoded += image.sizeInBytes();
        if (decoded > kMaxDecodedBytes)
            break;
        if (image.size() != shown)
            image = image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        frames.push_back({image, frameInterval(reader.nextImageDelay())});
        if (!reader.supportsAnimation() || !reader.canRead())
            break;
    }
    return frames;
}

bool NewsPicture::show(std::vector<Frame> frames)
{
    stop();
    m_frames = std::move(frames);
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
