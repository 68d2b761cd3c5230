#include "gui/ManagerIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace garrison::gui {

namespace {

constexpr int kSize = 16;
const QColor kGreen(0x3c, 0xa0, 0x3c);
const QColor kGrey(0x9a, 0x9a, 0x9a);
const QColor kRed(0xd0, 0x30, 0x30);
const QColor kOutline(0x40, 0x40, 0x40);

void disc(QPainter &painter, const QColor &fill)
{
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
}

void halfDisc(QPainter &painter, const QColor &left, const QColor &right)
{
    const QRectF box(2.5, 2.5, 11, 11);
    painter.setPen(Qt::NoPen);
    painter.setBrush(left);
    painter.drawPie(box, 90 * 16, 180 * 16);
    painter.setBrush(right);
    painter.drawPie(box, 270 * 16, 180 * 16);
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(box);
}

void cross(QPainter &painter)
{
    painter.setPen(QPen(kRed, 2));
    painter.drawLine(QPointF(9, 9), QPointF(14, 14));
    painter.drawLine(QPointF(14, 9), QPointF(9, 14));
}

void folder(QPainter &painter)
{
    QPainterPath shape;
    shape.moveTo(1.5, 4.5);
    shape.lineTo(6.5, 4.5);
    shape.lineTo(7.5, 6.5);
    shape.lineTo(14.5, 6.5);
    shape.lineTo(14.5, 13.5);
    shape.lineTo(1.5, 13.5);
    shape.closeSubpath();
    painter.setPen(QPen(QColor(0x8a, 0x6a, 0x10), 1));
    painter.setBrush(QColor(0xf0, 0xc8, 0x40));
    painter.drawPath(shape);
}

void arrow(QPainter &painter)
{
    painter.setPen(QPen(QColor(0x20, 0x60, 0xc0), 2));
    painter.drawLine(QPointF(3, 8), QPointF(12, 8));
    painter.drawLine(QPointF(9, 5), QPointF(12, 8));
    painter.drawLine(QPointF(9, 11), QPointF(12, 8));
}

QPixmap draw(int index, int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(static_cast<double>(size) / kSize, static_cast<double>(size) / kSize);
    switch (index) {
    case 0:
        disc(painter, kGreen);
        break;
    case 1:
        disc(painter, kGrey);
        break;
    case 2:
        disc(painter, kGreen);
        cross(painter);
        break;
    case 3:
        disc(painter, kGrey);
        cross(painter);
        break;
    case 4:
        halfDisc(painter, kGreen, kGrey);
        break;
    case 5:
        disc(painter, Qt::white);
        break;
    case 6:
        folder(painter);
        break;
    case 7:
        halfDisc(painter, kGreen, kGrey);
        cross(painter);
        break;
    case 8:
        arrow(painter);
        break;
    default:
        break;
    }
    return picture;
}

} // namespace

QIcon managerIcon(int index)
{
    static const std::array<QIcon, 9> icons = [] {
        std::array<QIcon, 9> all;
        // Drawn again at twice the size for scaled screens, so the pictures stay sharp.
        for (int i = 0; i < 9; ++i) {
            all[static_cast<std::size_t>(i)].addPixmap(draw(i, kSize));
            all[static_cast<std::size_t>(i)].addPixmap(draw(i, 2 * kSize));
        }
        return all;
    }();
    return index >= 0 && index < 9 ? icons[static_cast<std::size_t>(index)] : QIcon();
}

} // namespace garrison::gui
