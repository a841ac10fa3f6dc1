// Renders the program's icon, orvane.svg, as PNG files of the sizes the tray and the
// window frames ask for. The PNGs are committed, so the program needs no SVG support;
// run the target orvane_repaint_icon to redraw them after changing the drawing.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QSvgRenderer drawing(QString::fromLocal8Bit(argv[1]));
    if (!drawing.isValid())
        return 1;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::currentPath();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        drawing.render(&painter);
        painter.end();
        if (!image.save(QStringLiteral("%1/orvane-%2.png").arg(folder).arg(size)))
            return 1;
    }
    return 0;
}
