// The pictures the window holds, pixel by pixel.
#include "TestSupport.h"

#include "program/basMain.h"

#include "pictures/AppIcon.h"

#include <QPainter>

namespace
{

struct Region {
    QRect bounds;
    QPointF centre; // the mean of its pixels
};

// The 8-connected regions of the pixels that `member` picks.
template <typename Pred> std::vector<Region> regions(const QImage &image, Pred member)
{
    std::vector<char> seen(std::size_t(image.width() * image.height()), 0);
    std::vector<Region> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            Region region;
            int count = 0;
            for (QList<QPoint> next = {{x, y}}; !next.isEmpty();) {
                const QPoint p = next.takeLast();
                if (!image.rect().contains(p) || seen[std::size_t(p.y() * image.width() + p.x())] ||
                    !member(image.pixel(p)))
                    continue;
                char &done = seen[std::size_t(p.y() * image.width() + p.x())];
                done = 1;
                region.bounds |= QRect(p, QSize(1, 1));
                region.centre += (QPointF(p) - region.centre) / ++count;
                for (int d = 0; d < 9; ++d)
                    next << p + QPoint(d % 3 - 1, d / 3 - 1);
            }
            if (count)
                found.push_back(region);
        }
    return found;
}

// Ground just outside each segment, 3 px off its outer or inner edge.
const QPoint NearSegment[7] = {{97, 11},  {177, 67}, {160, 178}, {68, 238},
                               {24, 160}, {36, 85},  {100, 101}};

// How far a digit pixel is from the panel's ground towards `segment`: 0 to 1.
double coverage(QRgb pixel, QRgb segment)
{
    const int ground = qGreen(colour("panel"));
    return double(qGreen(pixel) - ground) / (qGreen(segment) - ground);
}

// A point well inside segment s: the mean of its corners.
QPoint segmentMiddle(int s)
{
    const QList<QPointF> c = points("segments", s);
    return ((c[0] + c[1] + c[2] + c[3]) / 4).toPoint();
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setSettings(6, 2, 0); }

    void faces_data()
    {
        QTest::addColumn<int>("face");
        for (int k = 0; k < 11; ++k)
            QTest::addRow("face %d", k) << k;
    }

    void faces()
    {
        QFETCH(int, face);
        const QImage image = WindowProbe::imgMdice(*window()).drawn(face);
        QCOMPARE(image.size(), pictureSize("face"));

        // The corners: rounded, clear outside the rounding (within a pixel).
        const QJsonValue corners = design()["faceCorners"];
        const int radius = corners["radius"].toInt(), last = image.width() - 1;
        const int clearPixels = corners["clearPixels"].toInt();
        const int clearAlongEdge = corners["clearAlongEdge"].toInt();
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(last + 1 - radius, 0), QPoint(0, last + 1 - radius),
              QPoint(last + 1 - radius, last + 1 - radius)}) {
            int clear = 0, alongRow = 0, alongColumn = 0;
            for (int i = 0; i < radius * radius; ++i)
                clear += qAlpha(image.pixel(corner + QPoint(i % radius, i / radius))) == 0;
            for (int i = 0; i < radius; ++i) {
                alongRow += qAlpha(image.pixel(corner.x() + i, corner.y() ? last : 0)) == 0;
                alongColumn += qAlpha(image.pixel(corner.x() ? last : 0, corner.y() + i)) == 0;
            }
            const QString at = QString::asprintf("corner %d,%d: ", corner.x(), corner.y());
            QVERIFY2(
                qAbs(clear - clearPixels) <= 1,
                qPrintable(at + QString::asprintf("%d clear pixels, not %d", clear, clearPixels)));
            QVERIFY2(qAbs(alongRow - clearAlongEdge) <= 1,
                     qPrintable(at + QString::asprintf("%d clear along the row, not %d", alongRow,
                                                       clearAlongEdge)));
            QVERIFY2(qAbs(alongColumn - clearAlongEdge) <= 1,
                     qPrintable(at + QString::asprintf("%d clear along the column, not %d",
                                                       alongColumn, clearAlongEdge)));
        }
        QVERIFY(qAlpha(image.pixel(radius, 0)) &&
                qAlpha(image.pixel(image.width() / 2, image.height() / 2)));

        // No anti-aliasing: white, the pip colour, or fully clear.
        const QRgb pip = face == 1 ? colour("redPip") : colour("pip");
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                QVERIFY(qAlpha(p) == 0 || p == colour("face") || p == pip);
            }

        const auto found = regions(image, [pip](QRgb p) { return p == pip; });
        QCOMPARE(int(found.size()), face);
        const QList<QPointF> table = points("pips", face);
        const int across = design()["pipDiameter"][face == 1 ? "red" : "black"].toInt();
        for (const Region &region : found) {
            QCOMPARE(region.bounds.width(), across);
            QCOMPARE(region.bounds.height(), across);
            // Each pip centred on its pixel of the table: a pip a pixel off
            // is a fault.
            bool matched = false;
            for (QPointF centre : table)
                matched = matched || (QLineF(region.centre, centre).length() <= 0.5);
            QVERIFY2(matched, qPrintable(QString::asprintf("pip at %g,%g: none of the design's "
                                                           "centres within half a pixel",
                                                           region.centre.x(), region.centre.y())));
        }
    }

    void faceTenMiddleRowInside()
    {
        const QImage image = WindowProbe::imgMdice(*window()).drawn(10);
        const int last = image.width() - 1, middle = image.height() / 2;
        int left = 0, right = last;
        while (left < right && image.pixel(left, middle) != colour("pip"))
            ++left;
        while (right > left && image.pixel(right, middle) != colour("pip"))
            --right;
        QCOMPARE(left, 8);
        QCOMPARE(last - right, 6);
    }

    void digits_data()
    {
        QTest::addColumn<int>("digit");
        QTest::addColumn<QString>("lit");
        for (int k = 0; k < 11; ++k)
            QTest::addRow("%s", k == 10 ? "blank" : qPrintable(QString::number(k)))
                << k << litSegments(k);
    }

    void digits()
    {
        QFETCH(int, digit);
        QFETCH(QString, lit);
        const QImage image = WindowProbe::imgMdigi(*window()).drawn(digit);
        QCOMPARE(image.size(), pictureSize("digit"));
        QVERIFY(!image.hasAlphaChannel());
        for (int s = 0; s < 7; ++s) {
            const bool on = lit.contains(QChar('a' + s));
            QCOMPARE(QColor(image.pixel(segmentMiddle(s))),
                     QColor(on ? colour("lit") : colour("dark")));
            QCOMPARE(QColor(image.pixel(NearSegment[s])), QColor(colour("panel")));
        }
        // The ground at the picture's corners, inside the two openings and in
        // the gaps between neighbouring segments.
        const int right = image.width() - 1, bottom = image.height() - 1;
        const QPoint ground[] = {{0, 0},    {right, 0}, {0, bottom}, {right, bottom}, {100, 75},
                                 {90, 170}, {146, 30},  {150, 120},  {116, 225},      {45, 120},
                                 {34, 200}, {60, 48},   {100, 103},  {100, 138}};
        for (QPoint p : ground)
            QVERIFY2(image.pixel(p) == colour("panel"),
                     qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    }

    void segmentShapes_data()
    {
        QTest::addColumn<double>("scale");
        QTest::newRow("1x") << 1.0;
        // A 640 x 480 screen's zoom and the smallest: shared pixels stay lit.
        QTest::newRow("640x480") << 0.6;
        QTest::newRow("smallest") << 0.25;
    }

    // The blank and the 8 share one shape, pixel for pixel: the corner table's,
    // whose edges 7 px inside each segment's ends cross half coverage within a
    // pixel of the table's.
    void segmentShapes()
    {
        QFETCH(double, scale);
        const QImage blank = WindowProbe::imgMdigi(*window()).drawn(10, scale);
        const QImage eight = WindowProbe::imgMdigi(*window()).drawn(8, scale);
        QCOMPARE(eight.size(), (pictureSize("digit").toSizeF() * scale).toSize());
        int blends = 0;
        for (int y = 0; y < eight.height(); ++y)
            for (int x = 0; x < eight.width(); ++x) {
                const double a = coverage(blank.pixel(x, y), colour("dark"));
                const double b = coverage(eight.pixel(x, y), colour("lit"));
                QVERIFY2(qAbs(a - b) < 0.08, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                blends += b > 0.02 && b < 0.98;
            }
        // Edges are anti-aliased: partly covered pixels take blends.
        QVERIFY(blends > 500 * scale);
        if (scale != 1.0)
            return;
        for (int s = 0; s < 7; ++s) {
            const QList<QPointF> c = points("segments", s);
            for (double y : {c[0].y() + 7, c[3].y() - 7}) {
                const double t = (y - c[0].y()) / (c[3].y() - c[0].y());
                const double left = c[0].x() + (c[3].x() - c[0].x()) * t;
                const double right = c[1].x() + (c[2].x() - c[1].x()) * t;
                const int row = int(y);
                // From the middle outwards to the first pixel under half coverage.
                int x0 = int((left + right) / 2), x1 = x0;
                while (coverage(eight.pixel(x0 - 1, row), colour("lit")) >= 0.5)
                    --x0;
                while (coverage(eight.pixel(x1 + 1, row), colour("lit")) >= 0.5)
                    ++x1;
                QVERIFY2(qAbs(x0 - left) <= 1.0 && qAbs(x1 + 1 - right) <= 1.0,
                         qPrintable(QString::asprintf("row %d: %d to %d, table %g to %g", row, x0,
                                                      x1 + 1, left, right)));
            }
        }
    }

    // The four outer corners of the frame are rounded, the others sharp: a pixel
    // just inside each corner is nearly ground when rounded, nearly lit when not.
    void roundedFrameCorners_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<bool>("rounded");
        QTest::newRow("a top left") << QPoint(51, 15) << true;
        QTest::newRow("b top right") << QPoint(180, 15) << true;
        QTest::newRow("c bottom right") << QPoint(147, 233) << true;
        QTest::newRow("d bottom left") << QPoint(17, 233) << true;
        QTest::newRow("a top right, sharp") << QPoint(146, 15) << false;
        QTest::newRow("b top left, sharp") << QPoint(150, 15) << false;
        QTest::newRow("d bottom right, sharp") << QPoint(113, 233) << false;
    }

    void roundedFrameCorners()
    {
        QFETCH(QPoint, pixel);
        QFETCH(bool, rounded);
        const double c =
            coverage(WindowProbe::imgMdigi(*window()).drawn(8).pixel(pixel), colour("lit"));
        QVERIFY2(rounded ? c < 0.3 : c > 0.7, qPrintable(QString::number(c)));
    }

    void icon_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("blackParts"); // the outline, plus pips on the sides
        // The design's sizes keep to three colours; larger ones are smooth.
        QTest::addColumn<bool>("smooth");
        QTest::newRow("32") << 32 << 6 << false;
        QTest::newRow("16") << 16 << 1 << false;
        QTest::newRow("48") << 48 << 6 << false;
        QTest::newRow("64") << 64 << 6 << true;
        QTest::newRow("256") << 256 << 6 << true;
    }

    void icon()
    {
        QFETCH(int, size);
        QFETCH(int, blackParts);
        QFETCH(bool, smooth);
        const QImage image = drawAppIcon(size);
        QCOMPARE(image.size(), QSize(size, size));
        int white = 0, red = 0, blends = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb p = image.pixel(x, y);
                blends += !(qAlpha(p) == 0 || p == colour("face") || p == colour("pip") ||
                            p == colour("redPip"));
                white += p == colour("face");
                red += p == colour("redPip");
            }
        // Smooth: some 4 blended edge pixels per pixel of size; else none.
        QVERIFY2(smooth ? blends > 4 * size : blends == 0, qPrintable(QString::number(blends)));
        // The outline grows with the icon: 3 to 4 px at 48, as thick in
        // proportion above, across the left face's left edge.
        if (size >= 48) {
            const auto isDark = [&](int x) {
                return qAlpha(image.pixel(x, size / 2)) > 128 &&
                       qGray(image.pixel(x, size / 2)) < 128;
            };
            int x = 0, dark = 0;
            while (!isDark(x))
                ++x;
            while (isDark(x + dark))
                ++dark;
            QVERIFY2(dark * 16 >= size && dark * 10 <= size, qPrintable(QString::number(dark)));
        }
        QVERIFY(white > size * size / 5 && red > 0);
        QVERIFY(qAlpha(image.pixel(0, 0)) == 0 && qAlpha(image.pixel(size - 1, size - 1)) == 0);
        // The red pip lies on the top face, in the upper half.
        const auto redParts = regions(image, [](QRgb p) { return p == colour("redPip"); });
        QCOMPARE(int(redParts.size()), 1);
        QVERIFY(redParts[0].centre.y() < size / 2.0);
        QVERIFY(redParts[0].bounds.width() > redParts[0].bounds.height()); // flattened
        QCOMPARE(int(regions(image, [](QRgb p) { return p == colour("pip"); }).size()), blackParts);

        // As a desktop asks for it: its own image at each designed size, and
        // painted into a smaller place, nothing outside it.
        const QIcon icon = makeAppIcon();
        if (!smooth)
            QCOMPARE(icon.pixmap(size).toImage().convertToFormat(image.format()), image);
        QImage place(size + 8, size + 8, QImage::Format_ARGB32_Premultiplied);
        place.fill(Qt::transparent);
        const QRect inside(4, 4, size * 2 / 3, size * 2 / 3);
        QPainter painter(&place);
        icon.paint(&painter, inside);
        for (int y = 0; y < place.height(); ++y)
            for (int x = 0; x < place.width(); ++x)
                QVERIFY(inside.contains(x, y) || qAlpha(place.pixel(x, y)) == 0);
    }

    void windowsCarryTheIcon()
    {
        setSettings(10, 4, 0);
        basMain::Main();
        // Start-up brings back the default settings.
        QCOMPARE(basMain::DiceFaces, std::int16_t(6));
        QCOMPARE(basMain::DiceCount, std::int16_t(2));
        QList<QSize> sizes;
        for (const QJsonValue size : design()["icon"].toArray())
            sizes << QSize(size.toInt(), size.toInt());
        QCOMPARE(QApplication::windowIcon().availableSizes(), sizes);
        const auto windows = QApplication::topLevelWidgets();
        auto *main = qobject_cast<frmMain *>(windows.value(0));
        QVERIFY(main);
        QCOMPARE(main->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        QCOMPARE(frmConf(main).windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        main->close(); // deletes itself
    }

    // What is painted, throw after throw in one window: the faces, the digits
    // and the panel, outlined in the desktop's text colour, as it narrows to
    // one digit and widens again.
    void paintedAfterThrows()
    {
        setSettings(10, 2, 0);
        std::deque<float> values;
        frmMain w(std::make_unique<ScriptedRandom>(&values));
        QVERIFY(shown(w));
        struct Throw {
            int faces;
            QList<int> dice;
            int tens, units; // 10: the dark blank digit
        };
        const Throw throws[] = {{10, {9, 6}, 1, 5},
                                {6, {3}, 10, 3},
                                {10, {10, 10}, 2, 0},
                                {10, {1, 6}, 10, 7},
                                {10, {3, 8}, 1, 1}};
        for (const Throw &t : throws) {
            const int count = int(t.dice.size());
            const bool two = count * t.faces >= 10;
            setSettings(t.faces, count, 0);
            if (&t != throws)
                QTest::mouseClick(cmdAction(w), Qt::LeftButton); // reset for these settings
            QTest::mouseClick(cmdAction(w), Qt::LeftButton);
            for (int v : t.dice)
                values.push_back((v - 1 + 0.5f) / t.faces); // draws v of 1 to faces
            WindowProbe::tick(w);
            QTest::mouseClick(cmdAction(w), Qt::LeftButton);
            QCoreApplication::processEvents();
            const QImage shot = w.screen()->grabWindow(w.winId()).toImage();
            const QString what = QStringLiteral("throw %1: ").arg(t.dice[0]);
            // Each picture as shown, every pixel: the faces and digits that
            // faces() and digits() prove against the design.
            for (int i = 0; i < count; ++i)
                QCOMPARE(
                    differences(shot.copy(designedPlace(QStringLiteral("imgDice%1").arg(i), count)),
                                WindowProbe::imgMdice(w).drawn(t.dice[i])),
                    0);
            const int shown[2] = {t.tens, t.units};
            const int unitsLeft = designedPlace("imgTotal1", count, two).x();
            for (int j = two ? 0 : 1; j < 2; ++j) {
                const QRect box = designedPlace(QStringLiteral("imgTotal%1").arg(j), count, two);
                QCOMPARE(differences(shot.copy(box), WindowProbe::imgMdigi(w).drawn(shown[j]),
                                     j ? INT_MAX : unitsLeft - box.x()),
                         0);
            }
            // The panel outlined, the green just without.
            const QRect panel = designedPlace("shpBack", count, two);
            const QString fault = outlineFault(shot, panel);
            QVERIFY2(fault.isEmpty(), qPrintable(what + fault));
            QCOMPARE(shot.pixel(panel.topLeft() - QPoint(1, 1)), colour("window"));
        }
    }

private:
    frmMain *window()
    {
        return m_window ? m_window.get() : (m_window = std::make_unique<frmMain>()).get();
    }
    std::unique_ptr<frmMain> m_window;
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
