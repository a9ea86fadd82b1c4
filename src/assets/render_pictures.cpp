// Writes the program's pictures as PNG files, drawn by the program's own
// code: the icon in each size, and a contact sheet of every face and digit.
//   milbane-pictures DIR
#include "assets/AppIcon.h"
#include "assets/DiePictures.h"
#include "assets/DigitPictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: milbane-pictures DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "milbane-pictures: cannot create %s\n", argv[1]);
        return 1;
    }

    bool written = true;
    for (int size : AppIconSizes)
        written &= drawAppIcon(size).save(out.filePath(QStringLiteral("icon-%1.png").arg(size)));

    // Faces on the window's green in one row, digits on the panel in the next.
    constexpr int Gap = 16;
    const int width = Gap + DieFaceCount * (DigitPictureWidth + Gap);
    const int height = Gap + DiePictureSize + Gap + DigitPictureHeight + Gap;
    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(QColor(0, 128, 0));
    QPainter painter(&sheet);
    for (int k = 0; k < DieFaceCount; ++k)
        painter.drawImage(Gap + k * (DigitPictureWidth + Gap) + 4, Gap, drawDieFace(k));
    const auto digits = drawDigits();
    for (int k = 0; k < DigitPictureCount; ++k)
        painter.drawImage(Gap + k * (DigitPictureWidth + Gap), 2 * Gap + DiePictureSize,
                          digits[static_cast<std::size_t>(k)]);
    painter.end();
    written &= sheet.save(out.filePath(QStringLiteral("pictures.png")));

    if (!written) {
        std::fprintf(stderr, "milbane-pictures: could not write to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
