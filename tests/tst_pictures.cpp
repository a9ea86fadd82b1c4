// The pictures the window holds, pixel by pixel.
#include "TestSupport.h"

#include "program/basMain.h"

#include "pictures/AppIcon.h"

namespace
{

// The bounds of the 8-connected regions of the pixels that `member` picks.
template <typename Pred> std::vector<QRect> regions(const QImage &image, Pred member)
{
    std::vector<char> seen(std::size_t(image.width() * image.height()), 0);
    std::vector<QRect> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            QRect region;
            for (QList<QPoint> next = {{x, y}}; !next.isEmpty();) {
                const QPoint p = next.takeLast();
                if (!image.rect().contains(p) || seen[std::size_t(p.y() * image.width() + p.x())] ||
                    !member(image.pixel(p)))
                    continue;
                seen[std::size_t(p.y() * image.width() + p.x())] = 1;
                region |= QRect(p, QSize(1, 1));
                for (int d = 0; d < 9; ++d)
                    next << p + QPoint(d % 3 - 1, d / 3 - 1);
            }
            if (!region.isEmpty())
                found.push_back(region);
        }
    return found;
}

// Half a pixel's diagonal: a pixel whose middle lies further than this from
// every edge of a shape lies wholly inside or wholly outside it.
constexpr double HalfDiagonal = 0.71;

// How far `p` lies from the line from `a` to `b`, no further than its ends.
// By a square root, not QLineF::length's hypot: with hypot the digits' rows
// took 23.4 G instructions, not 14.1 G (2.5 s of processor time, not 1.0 s).
double distance(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double along =
        std::clamp(QPointF::dotProduct(p - a, ab) / QPointF::dotProduct(ab, ab), 0.0, 1.0);
    const QPointF off = p - (a + ab * along);
    return std::sqrt(QPointF::dotProduct(off, off));
}

QPointF unit(QPointF v)
{
    return v / std::hypot(v.x(), v.y());
}

// Above 0 where `p` lies clockwise of `v` as seen from the origin, on the
// screen (y downward).
double cross(QPointF v, QPointF p)
{
    return v.x() * p.y() - v.y() * p.x();
}

// Segment s (0 for a to 6 for g) of a digit drawn at `scale`, in device
// pixels: its corners clockwise from the top left, the frame's outer corner
// among them rounded by an arc that touches both its edges.
struct SegmentShape {
    QList<QPointF> outline; // a rounded corner's place taken by the arc's ends
    qsizetype arc = -1;     // the arc runs from outline[arc] to the next point
    QPointF centre;
    double radius = 0;
};

SegmentShape segmentShape(int s, double scale)
{
    const QList<QPointF> corners = points("segments", s);
    const QJsonValue rounding = design()["frameCorners"];
    SegmentShape shape;
    for (int i = 0; i < 4; ++i) {
        const QPointF vertex = corners[i] * scale;
        if (i != rounding[QString(QChar('a' + s))].toInt(-1)) {
            shape.outline << vertex;
            continue;
        }
        // The arc's centre lies on the corner's bisector, as far in as makes
        // it touch both edges.
        shape.radius = rounding["radius"].toDouble() * scale;
        const QPointF back = unit(corners[(i + 3) % 4] * scale - vertex);
        const QPointF on = unit(corners[(i + 1) % 4] * scale - vertex);
        const double half = std::acos(QPointF::dotProduct(back, on)) / 2;
        shape.centre = vertex + unit(back + on) * (shape.radius / std::sin(half));
        shape.arc = shape.outline.size();
        shape.outline << vertex + back * (shape.radius / std::tan(half))
                      << vertex + on * (shape.radius / std::tan(half));
    }
    return shape;
}

// How far `p` lies outside a segment; below 0, how deep inside.
double outside(const SegmentShape &shape, QPointF p)
{
    bool inside = true;
    double nearest = INFINITY;
    for (qsizetype i = 0; i < shape.outline.size(); ++i) {
        const QPointF a = shape.outline[i], b = shape.outline[(i + 1) % shape.outline.size()];
        const bool beyond = cross(b - a, p - a) < 0;
        if (i != shape.arc) {
            if (beyond)
                inside = false;
            nearest = std::min(nearest, distance(p, a, b));
            continue;
        }
        // Beyond the arc's chord, inside only within its circle; within the
        // arc's angle as seen from its centre, the arc is the nearest edge.
        const QPointF fromCentre = p - shape.centre;
        // A square root, not std::hypot: with hypot the digits' rows took
        // 15.7 G instructions, not 14.1 G (1.1 s, not 1.0 s).
        const double away = std::sqrt(QPointF::dotProduct(fromCentre, fromCentre));
        if (beyond && away > shape.radius)
            inside = false;
        if (cross(a - shape.centre, fromCentre) >= 0 && cross(fromCentre, b - shape.centre) >= 0)
            nearest = std::min(nearest, std::abs(away - shape.radius));
    }
    return inside ? -nearest : nearest;
}

// Whether `pixel` is the ground blended towards `colour` by some part, each
// channel as rounded.
bool blendOf(QRgb pixel, QRgb ground, QRgb colour)
{
    const int seen[3] = {qRed(pixel) - qRed(ground), qGreen(pixel) - qGreen(ground),
                         qBlue(pixel) - qBlue(ground)};
    const int towards[3] = {qRed(colour) - qRed(ground), qGreen(colour) - qGreen(ground),
                            qBlue(colour) - qBlue(ground)};
    // The part, from the channel that changes most; the others agree.
    const int most = std::max_element(towards, towards + 3,
                                      [](int a, int b) { return std::abs(a) < std::abs(b); }) -
                     towards;
    const double part = std::clamp(double(seen[most]) / towards[most], 0.0, 1.0);
    for (int c = 0; c < 3; ++c)
        if (std::abs(seen[c] - part * towards[c]) > 1.5)
            return false;
    return true;
}

// The first pixel of digit picture `digit` drawn at `scale` that is not what
// the design's segments have where its middle lies: a segment's colour, lit
// or dark as the digit has it, deeper inside it than half a pixel's
// diagonal; the panel's ground as far outside every segment; between, the
// ground or a blend of it towards the colour of a segment whose edge passes
// that near. Empty where all are right.
QString digitFault(const QImage &image, int digit, double scale)
{
    const QRgb ground = colour("panel");
    QList<SegmentShape> shapes;
    QList<QRgb> colours; // each segment's, lit or dark
    for (int s = 0; s < 7; ++s) {
        shapes << segmentShape(s, scale);
        colours << (litSegments(digit).contains(QChar('a' + s)) ? colour("lit") : colour("dark"));
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QPointF middle(x + 0.5, y + 0.5);
            const QRgb seen = image.pixel(x, y);
            // The segment the middle lies deepest in or nearest to; near
            // edges, the ground or a blend towards the colour of any segment
            // whose edge passes within half a pixel's diagonal.
            int nearest = 0;
            double depth = INFINITY;
            bool right = seen == ground;
            for (int s = 0; s < 7; ++s) {
                const double out = outside(shapes[s], middle);
                if (out < depth) {
                    depth = out;
                    nearest = s;
                }
                if (std::abs(out) <= HalfDiagonal && blendOf(seen, ground, colours[s]))
                    right = true;
            }
            // Deep inside a segment, its colour alone.
            if (depth < -HalfDiagonal)
                right = seen == colours[nearest];
            if (right)
                continue;
            // What it may be, said for the pixel that fails alone: said for
            // every pixel, the digits' rows took 22.2 G instructions, not
            // 14.1 G (2.6 s, not 1.0 s).
            QStringList wanted{colourName(ground)};
            for (int s = 0; s < 7; ++s)
                if (std::abs(outside(shapes[s], middle)) <= HalfDiagonal)
                    wanted << QStringLiteral("a blend towards ") + colourName(colours[s]);
            if (depth < -HalfDiagonal)
                wanted = QStringList{colourName(colours[nearest])};
            return QString::asprintf("pixel %d,%d is %s, not %s: its middle %.2f px outside "
                                     "segment %c, the nearest (below 0: inside)",
                                     x, y, qPrintable(colourName(seen)),
                                     qPrintable(wanted.join(QStringLiteral(" or "))), depth,
                                     'a' + nearest);
        }
    return {};
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
    // Face 1's one red pip is larger than the others' black ones.
    const double pipRadius =
        design()["pipDiameter"][face == 1 ? "red" : "black"].toInt() * scale / 2;
    const QRgb pip = face == 1 ? colour("redPip") : colour("pip");
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

// Each of the eleven pictures of a set (`column`, each row named by `name`)
// at its own size, then at the scales it is shown at besides: the smallest
// zoom, a 640 x 480 screen's and a 1024 x 600 one's, screens at 125 to 200 %.
void pictureRows(const char *column, QString (*name)(int))
{
    QTest::addColumn<int>(column);
    QTest::addColumn<double>("scale");
    for (const double scale : {1.0, 0.25, 0.6, 0.807, 1.25, 1.5, 2.0})
        for (int k = 0; k < 11; ++k) {
            QString tag = name(k);
            if (scale != 1.0)
                tag += " at " + QString::number(scale);
            QTest::newRow(qPrintable(tag)) << k << scale;
        }
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

    // Each face at its designed size and at the scales it is shown at.
    void faces_data()
    {
        pictureRows("face", [](int k) { return "face " + QString::number(k); });
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
    }

    void digits_data()
    {
        pictureRows("digit", [](int k) { return k == 10 ? QString("blank") : QString::number(k); });
    }

    void digits()
    {
        QFETCH(int, digit);
        QFETCH(double, scale);
        const QImage image = WindowProbe::imgMdigi(*m_window).drawn(digit, scale);
        const QSize designed = pictureSize("digit");
        QCOMPARE(image.size(),
                 QSize(qRound(designed.width() * scale), qRound(designed.height() * scale)));
        QCOMPARE(image.hasAlphaChannel(), false);

        // Each segment lit or dark as the digit has it, its outer corner
        // rounded, the ground around: every pixel as the geometry has it.
        QCOMPARE(digitFault(image, digit, scale), QString());

        // The edges are anti-aliased: a leaning side crosses a pixel in each
        // row it spans and covers part of it, a blend of the ground and the
        // segment's colour; so there are at least as many blends as rows
        // that the sides span.
        double sideRows = 0;
        for (int s = 0; s < 7; ++s) {
            const QList<QPointF> corners = points("segments", s);
            sideRows += 2 * (corners[3].y() - corners[0].y()) * scale;
        }
        const QRgb ground = colour("panel"), lit = colour("lit"), dark = colour("dark");
        int blends = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (p != ground && p != lit && p != dark)
                    ++blends;
            }
        QVERIFY2(blends >= sideRows,
                 qPrintable(QString::asprintf("%d blended pixels, not at least %.0f, the rows "
                                              "that the segments' sides span",
                                              blends, sideRows)));
    }

    void icon_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("blackParts"); // the outline, plus pips on the sides
        // The design's sizes keep to three colours; larger ones are smooth.
        QTest::addColumn<bool>("smooth");
        // The outline's width: the design's at its sizes, above as thick in
        // proportion as at 48 (a 16th to a 10th).
        QTest::addColumn<int>("thinnest");
        QTest::addColumn<int>("thickest");
        const QJsonArray sizes = design()["icon"].toArray();
        for (int i = 0; i < sizes.size(); ++i)
            QTest::addRow("%d", sizes[i].toInt())
                << sizes[i].toInt() << 1 + design()["iconSidePips"][i].toInt() << false
                << design()["iconOutline"][i][0].toInt() << design()["iconOutline"][i][1].toInt();
        QTest::newRow("64") << 64 << 6 << true << 4 << 6;
        QTest::newRow("256") << 256 << 6 << true << 16 << 25;
    }

    void icon()
    {
        QFETCH(int, size);
        QFETCH(int, blackParts);
        QFETCH(bool, smooth);
        QFETCH(int, thinnest);
        QFETCH(int, thickest);
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
        // The outline across the left face's left edge as thick as the
        // design has it at this size.
        const auto isDark = [&](int x) {
            return qAlpha(image.pixel(x, size / 2)) > 128 && qGray(image.pixel(x, size / 2)) < 128;
        };
        int x = 0, dark = 0;
        while (!isDark(x))
            ++x;
        while (isDark(x + dark))
            ++dark;
        QVERIFY2(dark >= thinnest && dark <= thickest,
                 qPrintable(QString::asprintf("the outline %d px across, not %d to %d", dark,
                                              thinnest, thickest)));
        QVERIFY2(white > size * size / 5,
                 qPrintable(
                     QString::asprintf("%d white pixels, a fifth is %d", white, size * size / 5)));
        QCOMPARE(pixelFault(image, QPoint(0, 0), Qt::transparent, "the corner"), QString());
        QCOMPARE(pixelFault(image, QPoint(size - 1, size - 1), Qt::transparent, "the corner"),
                 QString());
        // The red pip lies on the top face, in the upper half, flattened.
        const auto redParts = regions(image, [](QRgb p) { return p == colour("redPip"); });
        QCOMPARE(int(redParts.size()), 1);
        const QRect pip = redParts[0];
        QVERIFY2(pip.center().y() < size / 2,
                 qPrintable(QString::asprintf("the red pip's middle at y %d, not above %d",
                                              pip.center().y(), size / 2)));
        QVERIFY2(pip.width() > pip.height(),
                 qPrintable(QString::asprintf("the red pip %d x %d, not flattened", pip.width(),
                                              pip.height())));
        QCOMPARE(int(regions(image, [](QRgb p) { return p == colour("pip"); }).size()), blackParts);

        // As a desktop asks for it: its own image at each designed size.
        if (!smooth)
            QCOMPARE(makeAppIcon().pixmap(size).toImage().convertToFormat(image.format()), image);
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
        QVERIFY2(main, "start-up showed no main window");
        QCOMPARE(main->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        QCOMPARE(frmConf(main).windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        main->close(); // deletes itself
    }

private:
    // The window whose master pictures the picture tests read.
    std::unique_ptr<frmMain> m_window;
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
