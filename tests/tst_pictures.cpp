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

// Half a pixel's diagonal: a pixel whose middle lies further than this from
// every edge of a shape lies wholly inside or wholly outside it.
constexpr double HalfDiagonal = 0.71;

// How far `p` lies from the line segment from `a` to `b`.
double distance(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double along =
        std::clamp(QPointF::dotProduct(p - a, ab) / QPointF::dotProduct(ab, ab), 0.0, 1.0);
    return QLineF(p, a + ab * along).length();
}

double cross(QPointF a, QPointF b)
{
    return a.x() * b.y() - a.y() * b.x();
}

// Segment s (0 for a to 6 for g) of a digit drawn at `scale`, in device
// pixels: its four corners, the frame's outer corner among them rounded by
// an arc that touches both its edges.
class SegmentShape
{
public:
    SegmentShape(int s, double scale)
    {
        for (const QPointF c : points("segments", s))
            m_corners << c * scale;
        const QJsonValue rounding = design()["frameCorners"];
        const QJsonValue rounded = rounding[QString(QChar('a' + s))];
        for (int i = 0; i < 4; ++i)
            m_edges << QLineF(corner(i), corner(i + 1));
        if (!rounded.isDouble())
            return;
        // The arc's centre lies on the corner's bisector, as far in as makes
        // it touch both edges; the edges end where it touches them.
        const int k = rounded.toInt();
        m_radius = rounding["radius"].toDouble() * scale;
        const QPointF vertex = corner(k);
        const QPointF back = (corner(k - 1) - vertex) / QLineF(vertex, corner(k - 1)).length();
        const QPointF on = (corner(k + 1) - vertex) / QLineF(vertex, corner(k + 1)).length();
        const double half = std::acos(QPointF::dotProduct(back, on)) / 2;
        m_touchBack = vertex + back * (m_radius / std::tan(half));
        m_touchOn = vertex + on * (m_radius / std::tan(half));
        const QPointF bisector = (back + on) / QLineF(QPointF(), back + on).length();
        m_centre = vertex + bisector * (m_radius / std::sin(half));
        m_edges[(k + 3) % 4].setP2(m_touchBack);
        m_edges[k].setP1(m_touchOn);
    }

    // How far `p` lies outside the segment; below 0, how deep inside.
    double outside(QPointF p) const
    {
        bool inside = true;
        const double turn = cross(corner(1) - corner(0), corner(2) - corner(1));
        for (int i = 0; i < 4; ++i)
            if (cross(corner(i + 1) - corner(i), p - corner(i)) * turn < 0)
                inside = false;
        double nearest = INFINITY;
        for (const QLineF &edge : m_edges)
            nearest = std::min(nearest, distance(p, edge.p1(), edge.p2()));
        if (m_radius > 0) {
            // Within the arc's angle, as seen from its centre, the arc is
            // the edge, and beyond it lies the corner it cuts off.
            const QPointF d = p - m_centre, a = m_touchBack - m_centre, b = m_touchOn - m_centre;
            const double sweep = cross(a, b);
            if (cross(a, d) * sweep >= 0 && cross(d, b) * sweep >= 0) {
                const double fromCentre = QLineF(p, m_centre).length();
                nearest = std::min(nearest, std::abs(fromCentre - m_radius));
                if (fromCentre > m_radius)
                    inside = false;
            }
        }
        return inside ? -nearest : nearest;
    }

private:
    QPointF corner(int i) const { return m_corners[(i + 4) % 4]; }

    QList<QPointF> m_corners;
    QList<QLineF> m_edges;
    double m_radius = 0; // none rounded
    QPointF m_centre, m_touchBack, m_touchOn;
};

// Whether `pixel` lies between the ground and `colour`: the ground blended
// towards it by some part, each channel rounded.
bool blendOf(QRgb pixel, QRgb ground, QRgb colour)
{
    const double towards[3] = {double(qRed(colour) - qRed(ground)),
                               double(qGreen(colour) - qGreen(ground)),
                               double(qBlue(colour) - qBlue(ground))};
    const double seen[3] = {double(qRed(pixel) - qRed(ground)),
                            double(qGreen(pixel) - qGreen(ground)),
                            double(qBlue(pixel) - qBlue(ground))};
    double dot = 0, length = 0;
    for (int c = 0; c < 3; ++c) {
        dot += seen[c] * towards[c];
        length += towards[c] * towards[c];
    }
    const double part = std::clamp(dot / length, 0.0, 1.0);
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
    QList<QRgb> segmentColour;
    for (int s = 0; s < 7; ++s) {
        shapes << SegmentShape(s, scale);
        segmentColour << (litSegments(digit).contains(QChar('a' + s)) ? colour("lit")
                                                                      : colour("dark"));
    }
    const auto name = [&](int s) {
        return QStringLiteral("segment %1 (%2)")
            .arg(QChar('a' + s))
            .arg(segmentColour[s] == colour("lit") ? "lit" : "dark");
    };
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QPointF middle(x + 0.5, y + 0.5);
            const QRgb seen = image.pixel(x, y);
            QList<int> near; // the segments whose edges pass within reach
            int deepest = 0;
            double depth = INFINITY;
            for (int s = 0; s < 7; ++s) {
                const double outside = shapes[s].outside(middle);
                if (std::abs(outside) <= HalfDiagonal)
                    near << s;
                if (outside < depth) {
                    depth = outside;
                    deepest = s;
                }
            }
            const auto fault = [&](const QString &wanted, const QString &why) {
                return QString::asprintf("pixel %d,%d is %s, not ", x, y,
                                         qPrintable(colourName(seen))) +
                       wanted + QStringLiteral(": its middle ") + why;
            };
            if (depth < -HalfDiagonal) {
                if (seen != segmentColour[deepest])
                    return fault(colourName(segmentColour[deepest]),
                                 QString::asprintf("%.2f px inside ", -depth) + name(deepest));
                continue;
            }
            if (near.isEmpty()) {
                if (seen != ground)
                    return fault(colourName(ground),
                                 QString::asprintf("%.2f px outside the nearest segment, ", depth) +
                                     name(deepest));
                continue;
            }
            bool blended = seen == ground;
            for (const int s : near)
                if (blendOf(seen, ground, segmentColour[s]))
                    blended = true;
            if (blended)
                continue;
            QStringList wanted{colourName(ground)};
            for (const int s : near)
                wanted << QStringLiteral("a blend towards %1 of %2")
                              .arg(colourName(segmentColour[s]), name(s));
            return fault(wanted.join(QStringLiteral(" or ")),
                         QString::asprintf("within %.2f px of their edges", HalfDiagonal));
        }
    return {};
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

// The scales a picture is shown at besides its own: the smallest zoom, a
// 640 x 480 screen's and a 1024 x 600 one's, and screens at 125 to 200 %.
constexpr double ShownScales[] = {0.25, 0.6, 0.807, 1.25, 1.5, 2.0};

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
        QTest::addColumn<int>("face");
        QTest::addColumn<double>("scale");
        for (int k = 0; k < 11; ++k)
            QTest::addRow("face %d", k) << k << 1.0;
        for (const double scale : ShownScales)
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
        QTest::addColumn<double>("scale");
        const auto name = [](int k) { return k == 10 ? QString("blank") : QString::number(k); };
        for (int k = 0; k < 11; ++k)
            QTest::addRow("%s", qPrintable(name(k))) << k << 1.0;
        for (const double scale : ShownScales)
            for (int k = 0; k < 11; ++k)
                QTest::addRow("%s at %g", qPrintable(name(k)), scale) << k << scale;
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
        const QJsonArray sizes = design()["icon"].toArray();
        for (int i = 0; i < sizes.size(); ++i)
            QTest::addRow("%d", sizes[i].toInt())
                << sizes[i].toInt() << 1 + design()["iconSidePips"][i].toInt() << false;
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
        QVERIFY2(main, "start-up showed no main window");
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
