// Writes the program's pictures as files, drawn by the program's own code.
//   milbane-pictures sheet DIR   a contact sheet of every face and digit
//   milbane-pictures icons DIR   the icon for installing: DIR/hicolor/NxN/
//                                apps/denshi-milbane.png, DIR/denshi-milbane.ico
#include "ground/ProgramName.h"
#include "pictures/AppIcon.h"
#include "pictures/DiePictures.h"
#include "pictures/DigitPictures.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QtEndian>

#include <cstdio>
#include <cstring>

namespace
{

void put16(QByteArray &out, int value)
{
    const quint16 v = qToLittleEndian(static_cast<quint16>(value));
    out.append(reinterpret_cast<const char *>(&v), 2);
}

void put32(QByteArray &out, quint32 value)
{
    const quint32 v = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&v), 4);
}

// One icon image as Windows stores it: a 32-bit bottom-up bitmap of twice
// the height, the colour rows followed by a 1-bit transparency mask.
QByteArray iconBitmap(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int maskStride = ((size + 31) / 32) * 4;
    QByteArray out;
    put32(out, 40);       // header size
    put32(out, size);     // width
    put32(out, 2 * size); // height of colour and mask together
    put16(out, 1);        // planes
    put16(out, 32);       // bits per pixel
    put32(out, 0);        // no compression
    put32(out, static_cast<quint32>(size * size * 4 + maskStride * size));
    for (int i = 0; i < 4; ++i)
        put32(out, 0); // resolution and palette: unused
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x)
            put32(out, image.pixel(x, y)); // BGRA in memory
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < size; ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

// Every size Windows asks for, 16 to 256 px: the design's three first, in
// their order, then the sizes of the shell's views and of high-DPI screens.
QList<int> windowsIconSizes()
{
    QList<int> sizes(AppIconSizes.begin(), AppIconSizes.end());
    sizes << 20 << 24 << 40 << 64 << 96 << 256;
    return sizes;
}

// The largest image as PNG, as Windows stores it: a bitmap of 256 px would
// take a quarter of a megabyte.
QByteArray iconPng(const QImage &picture)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return out;
}

bool writeIco(const QString &path)
{
    const QList<int> sizes = windowsIconSizes();
    QList<QByteArray> images;
    for (int size : sizes)
        images << (size >= 256 ? iconPng(drawAppIcon(size)) : iconBitmap(drawAppIcon(size)));
    QByteArray out;
    put16(out, 0); // reserved
    put16(out, 1); // an icon
    put16(out, static_cast<int>(images.size()));
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int size = sizes[i];
        out.append(static_cast<char>(size % 256)); // 256 is written 0
        out.append(static_cast<char>(size % 256));
        out.append('\0'); // no palette
        out.append('\0');
        put16(out, 1);  // planes
        put16(out, 32); // bits per pixel
        put32(out, static_cast<quint32>(images[i].size()));
        put32(out, offset);
        offset += static_cast<quint32>(images[i].size());
    }
    for (const QByteArray &image : images)
        out.append(image);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

bool writeIcons(const QDir &out)
{
    bool written = true;
    for (int size : InstalledIconSizes) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        written &= out.mkpath(folder) &&
                   drawAppIcon(size).save(out.filePath(folder + "/denshi-milbane.png"));
    }
    return written && writeIco(out.filePath(QLatin1String(ProgramName) + QLatin1String(".ico")));
}

bool writeSheet(const QDir &out)
{
    // Faces on the window's green in one row, digits in the next.
    constexpr int Gap = 16;
    const int width = Gap + DieFaceCount * (DigitPictureWidth + Gap);
    const int height = Gap + DiePictureSize + Gap + DigitPictureHeight + Gap;
    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(QColor(0, 128, 0));
    QPainter painter(&sheet);
    for (int k = 0; k < DieFaceCount; ++k)
        painter.drawImage(Gap + k * (DigitPictureWidth + Gap) + 4, Gap, drawDieFace(k));
    for (int k = 0; k < DigitPictureCount; ++k)
        painter.drawImage(Gap + k * (DigitPictureWidth + Gap), 2 * Gap + DiePictureSize,
                          drawDigit(k));
    painter.end();
    return sheet.save(out.filePath(QStringLiteral("pictures.png")));
}

} // namespace

int main(int argc, char *argv[])
{
    // Pictures only: no window system is needed, nor touched.
    QCoreApplication app(argc, argv);
    const bool icons = argc == 3 && std::strcmp(argv[1], "icons") == 0;
    const bool sheet = argc == 3 && std::strcmp(argv[1], "sheet") == 0;
    if (!icons && !sheet) {
        std::fprintf(stderr, "usage: milbane-pictures sheet|icons DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "milbane-pictures: cannot create %s\n", argv[2]);
        return 1;
    }
    if (!(icons ? writeIcons(out) : writeSheet(out))) {
        std::fprintf(stderr, "milbane-pictures: could not write to %s\n", argv[2]);
        return 1;
    }
    return 0;
}
