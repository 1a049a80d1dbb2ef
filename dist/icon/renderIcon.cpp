// helmwise-render-icon SVG SIZE PNG: draws the scalable program icon as a
// square PNG for the icon theme's fixed sizes, so the pictures never drift
// from the drawing.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    bool sizeOk = false;
    const int size = argc == 4 ? QByteArray(argv[2]).toInt(&sizeOk) : 0;
    QSvgRenderer drawing(QString::fromLocal8Bit(argc == 4 ? argv[1] : ""));
    if (!sizeOk || size <= 0 || !drawing.isValid()) {
        std::fprintf(stderr, "usage: helmwise-render-icon SVG SIZE PNG\n");
        return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawing.render(&painter);
    painter.end();
    return image.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 1;
}
