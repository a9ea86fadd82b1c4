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

// A face's pips: face 1's one red pip is larger than the others' black ones.
QRgb pipColour(int face)
{
    return face == 1 ? colour("redPip") : colour("pip");
}

int pipDiameter(int face) // at the designed size
{
    return design()["pipDiameter"][face == 1 ? "red" : "black"].toInt();
}

// The first pixel of a face drawn at `scale` that is not what the design's
// geometry has where its centre lies: clear outside the rounded square,
// the pip colour inside a pip, white elsewhere; either side within half a
// device pixel of an edge, where drawing may round either way. Empty where
// all are right.
QString faceFault(const QImage &image, int face, double scale)
{
    const double side = pictureSize("face").width() * scale;
    const double corner = design()["faceCorners"]["radius"].toInt() * scale;
    const double pipRadius = pipDiameter(face) * scale / 2;
    const QRgb pip = pipColour(face);
    QList<QPointF> centres; // each centre pixel's middle, at the scale
    for (const QPointF centre : points("pips", face))
        centres << (centre + QPointF(0.5, 0.5)) * scale;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QPointF middle(x + 0.5, y + 0.5);
            // Outside the rounded square by: the distance from the square
            // that its corners' centres span, less the corners' radius.
            const QPointF nearestInside(std::clamp(middle.x(), corner, side - corner),
                                        std::clamp(middle.y(), corner, side - corner));
            const double outsideFace = QLineF(middle, nearestInside).length() - corner;
            double outsidePips = INFINITY;
            for (const QPointF centre : centres)
                outsidePips = std::min(outsidePips, QLineF(middle, centre).length() - pipRadius);

            const bool clearAllowed = outsideFace > -0.5;
            const bool whiteAllowed = outsideFace < 0.5 && outsidePips > -0.5;
            const bool pipAllowed = outsideFace < 0.5 && outsidePips < 0.5;
            const QRgb seen = image.pixel(x, y);
            if (qAlpha(seen) == 0 && clearAllowed)
                continue;
            if (seen == colour("face") && whiteAllowed)
                continue;
            if (seen == pip && pipAllowed)
                continue;
            QStringList wanted;
            if (clearAllowed)
                wanted << QStringLiteral("clear");
            if (whiteAllowed)
                wanted << colourName(colour("face"));
            if (pipAllowed)
                wanted << colourName(pip);
            return QString::asprintf("pixel %d,%d is %s, not %s: its middle %.2f px outside the "
                                     "face's edge, %.2f outside the nearest pip's (below 0: "
                                     "inside)",
                                     x, y, qPrintable(colourName(seen)),
                                     qPrintable(wanted.join(QStringLiteral(" or "))), outsideFace,
                                     outsidePips);
        }
    return {};
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setSettings(6, 2, 0);
        m_window = std::make_unique<frmMain>();
    }

    // Each face at its designed size and at the scales it is shown at: the
    // smallest zoom, a 1024 x 600 screen's, and screens at 125 to 200 %.
    void faces_data()
    {
        QTest::addColumn<int>("face");
        QTest::addColumn<double>("scale");
        for (int k = 0; k < 11; ++k)
            QTest::addRow("face %d", k) << k << 1.0;
        for (const double scale : {0.25, 0.807, 1.25, 1.5, 2.0})
            for (int k = 0; k < 11; ++k)
                QTest::addRow("face %d at %g", k, scale) << k << scale;
    }

    void faces()
    {
        QFETCH(int, face);
        QFETCH(double, scale);
        const QImage image = WindowProbe::imgMdice(*m_window).drawn(face, scale);
        const int side = qRound(pictureSize("face").width() * scale);
        QCOMPARE(image.size(), QSize(side, side));

        // The rounded corners, the pips' discs, and no anti-aliasing: every
        // pixel clear, white or the pip colour, as the geometry has it.
        QCOMPARE(faceFault(image, face, scale), QString());

        // The design counts each corner's clear pixels at its own size.
        if (scale == 1.0) {
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
                QVERIFY2(qAbs(clear - clearPixels) <= 1,
                         qPrintable(at + QString::asprintf("%d clear pixels, not %d", clear,
                                                           clearPixels)));
                QVERIFY2(qAbs(alongRow - clearAlongEdge) <= 1,
                         qPrintable(at + QString::asprintf("%d clear along the row, not %d",
                                                           alongRow, clearAlongEdge)));
                QVERIFY2(qAbs(alongColumn - clearAlongEdge) <= 1,
                         qPrintable(at + QString::asprintf("%d clear along the column, not %d",
                                                           alongColumn, clearAlongEdge)));
            }
        }

        // As many pips as the design has: the check above holds each to the
        // design's disc at this scale, its centre within half a device pixel,
        // its diameter within a pixel.
        const QRgb pip = pipColour(face);
        QCOMPARE(int(regions(image, [pip](QRgb p) { return p == pip; }).size()),
                 int(points("pips", face).size()));
    }

    // The middle row of face 10 stays inside the face: its outer pips end as
    // far from the edges as their centres and diameter put them.
    void faceTenMiddleRowInside()
    {
        const QImage image = WindowProbe::imgMdice(*m_window).drawn(10);
        const QList<QPointF> middleRow = points("pips", 10).mid(3, 4);
        const int reach = pipDiameter(10) / 2; // beside the centre pixel
        const int row = int(middleRow.first().y());
        int left = 0;
        while (left < image.width() && image.pixel(left, row) != colour("pip"))
            ++left;
        int right = image.width() - 1;
        while (right >= 0 && image.pixel(right, row) != colour("pip"))
            --right;
        QCOMPARE(left, int(middleRow.first().x()) - reach);
        QCOMPARE(right, int(middleRow.last().x()) + reach);
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
        const QImage image = WindowProbe::imgMdigi(*m_window).drawn(digit);
        QCOMPARE(image.size(), pictureSize("digit"));
        QCOMPARE(image.hasAlphaChannel(), false);
        for (int s = 0; s < 7; ++s) {
            const QString segment = QStringLiteral("segment ") + QChar('a' + s);
            const bool on = lit.contains(QChar('a' + s));
            QCOMPARE(pixelFault(image, segmentMiddle(s), on ? colour("lit") : colour("dark"),
                                segment + (on ? " lit" : " dark")),
                     QString());
            QCOMPARE(pixelFault(image, NearSegment[s], colour("panel"), "the ground by " + segment),
                     QString());
        }
        // The ground at the picture's corners, inside the two openings and in
        // the gaps between neighbouring segments.
        const int right = image.width() - 1, bottom = image.height() - 1;
        const QPoint ground[] = {{0, 0},    {right, 0}, {0, bottom}, {right, bottom}, {100, 75},
                                 {90, 170}, {146, 30},  {150, 120},  {116, 225},      {45, 120},
                                 {34, 200}, {60, 48},   {100, 103},  {100, 138}};
        for (QPoint p : ground)
            QCOMPARE(pixelFault(image, p, colour("panel"), "the ground"), QString());
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
        const QImage blank = WindowProbe::imgMdigi(*m_window).drawn(10, scale);
        const QImage eight = WindowProbe::imgMdigi(*m_window).drawn(8, scale);
        QCOMPARE(eight.size(), (pictureSize("digit").toSizeF() * scale).toSize());
        int blends = 0;
        for (int y = 0; y < eight.height(); ++y)
            for (int x = 0; x < eight.width(); ++x) {
                const double a = coverage(blank.pixel(x, y), colour("dark"));
                const double b = coverage(eight.pixel(x, y), colour("lit"));
                QVERIFY2(qAbs(a - b) < 0.08,
                         qPrintable(QString::asprintf("%d,%d: the blank covered %.2f, the 8 %.2f",
                                                      x, y, a, b)));
                blends += b > 0.02 && b < 0.98;
            }
        // Edges are anti-aliased: partly covered pixels take blends.
        QVERIFY2(blends > 500 * scale, qPrintable(QString::asprintf(
                                           "%d blended pixels, not over %g", blends, 500 * scale)));
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
                const QString segment = QStringLiteral("segment ") + QChar('a' + s);
                QVERIFY2(qAbs(x0 - left) <= 1.0,
                         qPrintable(segment + QString::asprintf(", row %d: begins at %d, the "
                                                                "table at %g",
                                                                row, x0, left)));
                QVERIFY2(qAbs(x1 + 1 - right) <= 1.0,
                         qPrintable(segment + QString::asprintf(", row %d: ends at %d, the "
                                                                "table at %g",
                                                                row, x1 + 1, right)));
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
            coverage(WindowProbe::imgMdigi(*m_window).drawn(8).pixel(pixel), colour("lit"));
        const QString covered = QString::asprintf("%d,%d covered %.2f", pixel.x(), pixel.y(), c);
        if (rounded)
            QVERIFY2(c < 0.3, qPrintable(covered + ", not under 0.3 as a rounded corner"));
        else
            QVERIFY2(c > 0.7, qPrintable(covered + ", not over 0.7 as a sharp corner"));
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
        int white = 0, blends = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb p = image.pixel(x, y);
                const bool designed = qAlpha(p) == 0 || p == colour("face") || p == colour("pip") ||
                                      p == colour("redPip");
                if (!designed)
                    ++blends;
                if (p == colour("face"))
                    ++white;
            }
        // Smooth: some 4 blended edge pixels per pixel of size; else none.
        if (smooth)
            QVERIFY2(blends > 4 * size, qPrintable(QString::asprintf(
                                            "%d blended pixels, not over %d", blends, 4 * size)));
        else
            QCOMPARE(blends, 0);
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
            const QString outline = QString::asprintf("the outline %d px across", dark);
            QVERIFY2(dark * 16 >= size, qPrintable(outline + ", thinner than a 16th"));
            QVERIFY2(dark * 10 <= size, qPrintable(outline + ", thicker than a 10th"));
        }
        QVERIFY2(white > size * size / 5,
                 qPrintable(
                     QString::asprintf("%d white pixels, a fifth is %d", white, size * size / 5)));
        QCOMPARE(pixelFault(image, QPoint(0, 0), Qt::transparent, "the corner"), QString());
        QCOMPARE(pixelFault(image, QPoint(size - 1, size - 1), Qt::transparent, "the corner"),
                 QString());
        // The red pip lies on the top face, in the upper half, flattened.
        const auto redParts = regions(image, [](QRgb p) { return p == colour("redPip"); });
        QCOMPARE(int(redParts.size()), 1);
        const QRect pip = redParts[0].bounds;
        QVERIFY2(redParts[0].centre.y() < size / 2.0,
                 qPrintable(QString::asprintf("the red pip's centre at y %g, not above %g",
                                              redParts[0].centre.y(), size / 2.0)));
        QVERIFY2(pip.width() > pip.height(),
                 qPrintable(QString::asprintf("the red pip %d x %d, not flattened", pip.width(),
                                              pip.height())));
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
                if (!inside.contains(x, y))
                    QCOMPARE(pixelFault(place, QPoint(x, y), Qt::transparent, "beside the place"),
                             QString());
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
        for (std::size_t n = 0; n < std::size(throws); ++n) {
            const Throw &t = throws[n];
            const int count = int(t.dice.size());
            const bool two = count * t.faces >= 10;
            setSettings(t.faces, count, 0);
            if (n > 0)
                QTest::mouseClick(cmdAction(w), Qt::LeftButton); // reset for these settings
            QTest::mouseClick(cmdAction(w), Qt::LeftButton);
            for (int v : t.dice)
                values.push_back((v - 1 + 0.5f) / t.faces); // draws v of 1 to faces
            WindowProbe::tick(w);
            QTest::mouseClick(cmdAction(w), Qt::LeftButton);
            QCoreApplication::processEvents();
            const QImage shot = w.screen()->grabWindow(w.winId()).toImage();
            const QString what =
                QString::asprintf("throw %d, %d dice of %d faces: ", int(n) + 1, count, t.faces);
            // Each picture as shown, every pixel: the faces and digits that
            // faces() and digits() prove against the design.
            for (int i = 0; i < count; ++i) {
                const QRect box = designedPlace(QStringLiteral("imgDice%1").arg(i), count);
                const int off =
                    differences(shot.copy(box), WindowProbe::imgMdice(w).drawn(t.dice[i]));
                QVERIFY2(off == 0, qPrintable(what + QString::asprintf("die %d, face %d: %d pixels "
                                                                       "off the face's picture",
                                                                       i + 1, t.dice[i], off)));
            }
            const int shown[2] = {t.tens, t.units};
            const char *place[2] = {"tens", "units"};
            const int unitsLeft = designedPlace("imgTotal1", count, two).x();
            for (int j = two ? 0 : 1; j < 2; ++j) {
                const QRect box = designedPlace(QStringLiteral("imgTotal%1").arg(j), count, two);
                // The tens' last columns lie under the units' picture.
                const int columns = j == 0 ? unitsLeft - box.x() : INT_MAX;
                const int off =
                    differences(shot.copy(box), WindowProbe::imgMdigi(w).drawn(shown[j]), columns);
                QVERIFY2(off == 0, qPrintable(what + QString::asprintf("the %s, digit picture %d: "
                                                                       "%d pixels off it",
                                                                       place[j], shown[j], off)));
            }
            // The panel outlined, the green just without.
            const QRect panel = designedPlace("shpBack", count, two);
            const QString outline = outlineFault(shot, panel);
            QVERIFY2(outline.isEmpty(), qPrintable(what + outline));
            QCOMPARE(pixelFault(shot, panel.topLeft() - QPoint(1, 1), colour("window"),
                                what + "beside the panel"),
                     QString());
        }
    }

private:
    // The window whose master pictures the picture tests read.
    std::unique_ptr<frmMain> m_window;
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
