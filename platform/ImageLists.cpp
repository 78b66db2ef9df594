#include "ImageLists.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

using Drawing = std::function<void(QPainter&)>;

QImage draw(const Drawing& drawing)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    drawing(p);
    return image;
}

QImage greyed(QImage image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const int a = qAlpha(c) / 2;
            // Premultiplied: grey from the colour, then scaled with the alpha.
            const int g = qAlpha(c) ? qGray(c) * 255 / qAlpha(c) : 0;
            const int v = (128 + g / 2) * a / 255;
            line[x] = qRgba(v, v, v, a);
        }
    }
    return image;
}

QIcon icon(const QImage& image)
{
    return QIcon(QPixmap::fromImage(image));
}

void page(QPainter& p, int left = 2, int right = 12)
{
    QPolygon outline;
    outline << QPoint(left, 1) << QPoint(right - 3, 1) << QPoint(right, 4) << QPoint(right, 14) << QPoint(left, 14);
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawPolygon(outline);
    p.drawLine(right - 3, 1, right - 3, 4);
    p.drawLine(right - 3, 4, right, 4);
}

void textLines(QPainter& p, int left, int right, int top, int count)
{
    p.setPen(QColor(120, 140, 190));
    for (int i = 0; i < count; ++i)
        p.drawLine(left, top + 2 * i, right - (i % 2) * 2, top + 2 * i);
}

// A small sheet: header row shaded, lines between cells.
void table(QPainter& p, const QRect& r = QRect(1, 2, 13, 11))
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 232));
    p.drawRect(r);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(r.left(), r.top(), r.width(), 3);
    p.setPen(QColor(70, 70, 70));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    for (int y = r.top() + 3; y < r.bottom(); y += 3)
        p.drawLine(r.left(), y, r.right(), y);
    for (int x = r.left() + 4; x < r.right() - 1; x += 4)
        p.drawLine(x, r.top(), x, r.bottom());
}

void plus(QPainter& p, int cx, int cy, const QColor& color = QColor(0, 150, 0))
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(cx - 3, cy - 1, 7, 3);
    p.drawRect(cx - 1, cy - 3, 3, 7);
    p.setBrush(color);
    p.drawRect(cx - 2, cy, 5, 1);
    p.drawRect(cx, cy - 2, 1, 5);
}

void minus(QPainter& p, int cx, int cy, const QColor& color = QColor(200, 0, 0))
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(cx - 3, cy - 1, 7, 3);
    p.setBrush(color);
    p.drawRect(cx - 2, cy, 5, 1);
}

void cross(QPainter& p, int cx, int cy, int r, const QColor& color = QColor(200, 0, 0))
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx - r, cy - r), QPointF(cx + r, cy + r));
    p.drawLine(QPointF(cx + r, cy - r), QPointF(cx - r, cy + r));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void bar(QPainter& p, const QRect& r, const QColor& color)
{
    p.setPen(QColor(255, 255, 255));
    p.setBrush(color);
    p.drawRect(r);
}

void pencil(QPainter& p, int x, int y)
{
    // A diagonal pencil from (x, y) (its tip) up to the right.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(240, 190, 40));
    QPolygonF body;
    body << QPointF(x + 2, y - 1) << QPointF(x + 8, y - 7) << QPointF(x + 10, y - 5) << QPointF(x + 4, y + 1);
    p.drawPolygon(body);
    p.setBrush(QColor(60, 60, 60));
    QPolygonF tip;
    tip << QPointF(x, y + 2) << QPointF(x + 2, y - 1) << QPointF(x + 4, y + 1);
    p.drawPolygon(tip);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void floppy(QPainter& p)
{
    p.setPen(QColor(20, 40, 100));
    p.setBrush(QColor(50, 90, 180));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(Qt::white);
    p.drawRect(3, 1, 9, 5);
    p.setBrush(QColor(190, 190, 190));
    p.setPen(Qt::NoPen);
    p.drawRect(4, 9, 7, 5);
    p.setBrush(QColor(50, 90, 180));
    p.drawRect(5, 10, 2, 3);
}

void folder(QPainter& p)
{
    p.setPen(QColor(140, 100, 0));
    p.setBrush(QColor(250, 210, 90));
    QPolygon back;
    back << QPoint(1, 3) << QPoint(6, 3) << QPoint(7, 5) << QPoint(13, 5) << QPoint(13, 13) << QPoint(1, 13);
    p.drawPolygon(back);
    p.setBrush(QColor(255, 232, 140));
    QPolygon front;
    front << QPoint(3, 7) << QPoint(15, 7) << QPoint(13, 13) << QPoint(1, 13);
    p.drawPolygon(front);
}

void speechBubble(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 1.5, 15, 10), 3, 3);
    QPolygonF tail;
    tail << QPointF(3, 11) << QPointF(3, 15) << QPointF(7, 11);
    path.addPolygon(tail);
    path = path.simplified();
    p.setPen(QPen(QColor(30, 60, 130), 1));
    p.setBrush(QColor(200, 220, 255));
    p.drawPath(path);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(30, 60, 130));
    p.drawLine(4, 4, 11, 4);
    p.drawLine(4, 6, 12, 6);
    p.drawLine(4, 8, 9, 8);
}

const std::vector<Drawing>& actionDrawings()
{
    static const std::vector<Drawing> drawings{
        [](QPainter& p) { speechBubble(p); },
        [](QPainter& p) { table(p, QRect(0, 1, 16, 14)); },
    };
    return drawings;
}

const std::vector<Drawing>& childDrawings()
{
    static const std::vector<Drawing> drawings{
        // new file
        [](QPainter& p) {
            page(p);
            p.setPen(QColor(230, 170, 0));
            p.drawLine(11, 9, 15, 13);
            p.drawLine(15, 9, 11, 13);
            p.drawLine(13, 8, 13, 14);
        },
        // open
        [](QPainter& p) { folder(p); },
        // save
        [](QPainter& p) { floppy(p); },
        // save as
        [](QPainter& p) {
            floppy(p);
            pencil(p, 7, 13);
        },
        // add row
        [](QPainter& p) {
            table(p);
            plus(p, 12, 12);
        },
        // edit row
        [](QPainter& p) {
            table(p);
            bar(p, QRect(1, 8, 12, 3), QColor(70, 110, 200));
            pencil(p, 6, 14);
        },
        // clear row
        [](QPainter& p) {
            table(p);
            bar(p, QRect(1, 8, 12, 3), QColor(255, 255, 255));
            cross(p, 12, 12, 2);
        },
        // append file
        [](QPainter& p) {
            page(p, 1, 10);
            textLines(p, 3, 8, 5, 3);
            plus(p, 12, 12);
        },
        // add column
        [](QPainter& p) {
            table(p);
            bar(p, QRect(9, 2, 3, 10), QColor(120, 200, 120));
            plus(p, 12, 12);
        },
        // delete row
        [](QPainter& p) {
            table(p);
            bar(p, QRect(1, 8, 12, 3), QColor(230, 120, 120));
            minus(p, 12, 12);
        },
        // delete column
        [](QPainter& p) {
            table(p);
            bar(p, QRect(5, 2, 3, 10), QColor(230, 120, 120));
            minus(p, 12, 12);
        },
        // close
        [](QPainter& p) { cross(p, 8, 8, 4); },
    };
    return drawings;
}

QList<QIcon> icons(const std::vector<Drawing>& drawings, bool grey)
{
    QList<QIcon> result;
    for (const Drawing& drawing : drawings)
        result << icon(grey ? greyed(draw(drawing)) : draw(drawing));
    return result;
}

} // namespace

QList<QIcon> actionImages()
{
    return icons(actionDrawings(), false);
}

QList<QIcon> disabledActionImages()
{
    return icons(actionDrawings(), true);
}

QList<QIcon> childImages()
{
    return icons(childDrawings(), false);
}
