// Paints the program's icon, a closed book with a ring letter on its cover, as PNG
// files of the sizes the tray and the window frames ask for. The PNGs are committed;
// run the target orvane_repaint_icon to redraw them after changing the drawing.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
void paintBook(QPainter& painter)
{
    // Drawn on a 256 × 256 canvas.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    // The page block, peeking out on the right and at the bottom.
    painter.setBrush(QColor(0xf3, 0xea, 0xd2));
    painter.drawRoundedRect(QRectF(58, 30, 170, 206), 16, 16);
    painter.setPen(QPen(QColor(0xc9, 0xbc, 0x9a), 5));
    for (int y = 70; y <= 190; y += 40)
        painter.drawLine(QPointF(214, y), QPointF(224, y));
    painter.setPen(Qt::NoPen);

    // The cover.
    QLinearGradient cover(QPointF(28, 20), QPointF(210, 230));
    cover.setColorAt(0, QColor(0x2a, 0x86, 0xa6));
    cover.setColorAt(1, QColor(0x14, 0x4d, 0x66));
    painter.setBrush(cover);
    painter.drawRoundedRect(QRectF(28, 18, 184, 212), 18, 18);

    // The spine.
    QPainterPath spine;
    spine.addRoundedRect(QRectF(28, 18, 40, 212), 18, 18);
    painter.setBrush(QColor(0x0e, 0x38, 0x4b));
    painter.drawPath(spine);
    painter.drawRect(QRectF(50, 18, 18, 212));

    // The letter: a bold ring with an accent, the mark of a dictionary of words with diacritics.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xff, 0xfb, 0xf0), 24, Qt::SolidLine, Qt::RoundCap));
    painter.drawEllipse(QPointF(140, 128), 44, 48);
    painter.drawLine(QPointF(150, 58), QPointF(174, 34));
}
} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.scale(size / 256.0, size / 256.0);
        paintBook(painter);
        painter.end();
        if (!image.save(QStringLiteral("%1/orvane-%2.png").arg(folder).arg(size)))
            return 1;
    }
    return 0;
}
