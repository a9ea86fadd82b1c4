// The pictures the window holds, pixel by pixel.
#include "TestSupport.h"

#include "assets/AppIcon.h"
#include "assets/DiePictures.h"
#include "assets/DigitPictures.h"
#include "main_window/PictureBox.h"
#include "main_window/ShapeBox.h"
#include "main_window/frmMain.h"
#include "settings_dialog/frmConf.h"

#include <QtTest>

#include <set>

namespace
{

struct Region {
    int count = 0;
    QRect bounds;
    double sumX = 0, sumY = 0;
    QPointF centre() const { return {sumX / count, sumY / count}; }
};

// 8-connected regions of the pixels that `member` picks.
template <typename Pred> std::vector<Region> regions(const QImage &image, Pred member)
{
    std::vector<int> seen(std::size_t(image.width() * image.height()), 0);
    std::vector<Region> found;
    for (int y0 = 0; y0 < image.height(); ++y0)
        for (int x0 = 0; x0 < image.width(); ++x0) {
            if (seen[std::size_t(y0 * image.width() + x0)] || !member(image.pixel(x0, y0)))
                continue;
            Region region;
            std::vector<QPoint> stack = {{x0, y0}};
            seen[std::size_t(y0 * image.width() + x0)] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                ++region.count;
                region.sumX += p.x();
                region.sumY += p.y();
                region.bounds |= QRect(p, QSize(1, 1));
                for (QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1),
                                 QPoint(1, 1), QPoint(-1, -1), QPoint(1, -1), QPoint(-1, 1)}) {
                    const QPoint q = p + d;
                    if (!image.rect().contains(q) ||
                        seen[std::size_t(q.y() * image.width() + q.x())])
                        continue;
                    if (member(image.pixel(q))) {
                        seen[std::size_t(q.y() * image.width() + q.x())] = 1;
                        stack.push_back(q);
                    }
                }
            }
            found.push_back(region);
        }
    return found;
}

bool transparent(QRgb p)
{
    return qAlpha(p) == 0;
}

// How far a digit pixel is from the background towards `colour`: 0 to 1.
double coverage(QRgb pixel, QRgb colour)
{
    return double(qGreen(pixel) - qGreen(DigitBackground)) /
           (qGreen(colour) - qGreen(DigitBackground));
}

// A point well inside segment s: the mean of its corners.
QPoint segmentMiddle(int s)
{
    QPointF sum;
    for (QPointF corner : digitSegments()[std::size_t(s)])
        sum += corner;
    return (sum / 4).toPoint();
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setSettings(6, 2, 0); }

    void faces_data();
    void faces();
    void faceTenMiddleRowInside();
    void digits_data();
    void digits();
    void blankAndEightShareOneShape();
    void roundedFrameCorners_data();
    void roundedFrameCorners();
    void icon_data();
    void icon();
    void windowsCarryTheIcon();
    void windowShowsThePictures();

private:
    frmMain *window()
    {
        return m_window ? m_window.get() : (m_window = std::make_unique<frmMain>()).get();
    }
    std::unique_ptr<frmMain> m_window;
};

void TestPictures::faces_data()
{
    QTest::addColumn<int>("face");
    for (int k = 0; k < DieFaceCount; ++k)
        QTest::addRow("face %d", k) << k;
}

void TestPictures::faces()
{
    QFETCH(int, face);
    const QImage image = window()->imgMdice[face];
    QCOMPARE(image.size(), QSize(192, 192));

    // The corners: 123 transparent pixels each, 19 along each outer edge.
    const QRect corners[] = {
        {0, 0, 24, 24}, {168, 0, 24, 24}, {0, 168, 24, 24}, {168, 168, 24, 24}};
    for (const QRect &corner : corners) {
        int clear = 0;
        for (int y = corner.top(); y <= corner.bottom(); ++y)
            for (int x = corner.left(); x <= corner.right(); ++x)
                clear += transparent(image.pixel(x, y));
        QVERIFY2(qAbs(clear - 123) <= 1, qPrintable(QString::number(clear)));
        const int edgeY = corner.top() == 0 ? 0 : 191;
        const int edgeX = corner.left() == 0 ? 0 : 191;
        int alongRow = 0, alongColumn = 0;
        for (int i = 0; i < 24; ++i) {
            alongRow += transparent(image.pixel(corner.left() + i, edgeY));
            alongColumn += transparent(image.pixel(edgeX, corner.top() + i));
        }
        QVERIFY(qAbs(alongRow - 19) <= 1);
        QVERIFY(qAbs(alongColumn - 19) <= 1);
    }
    QVERIFY(!transparent(image.pixel(24, 0)) && !transparent(image.pixel(96, 96)));

    // No anti-aliasing: white, the pip colour, or fully clear.
    const QRgb pip = face == 1 ? qRgb(255, 0, 0) : qRgb(0, 0, 0);
    for (int y = 0; y < 192; ++y)
        for (int x = 0; x < 192; ++x) {
            const QRgb p = image.pixel(x, y);
            QVERIFY(transparent(p) || p == qRgb(255, 255, 255) || p == pip);
        }

    const auto pips = regions(image, [pip](QRgb p) { return p == pip; });
    QCOMPARE(int(pips.size()), face);
    const auto table = dieFacePips(face);
    const int across = face == 1 ? 73 : 41;
    for (const Region &region : pips) {
        QCOMPARE(region.bounds.width(), across);
        QCOMPARE(region.bounds.height(), across);
        bool matched = false;
        for (QPoint centre : table)
            matched = matched || (QLineF(region.centre(), centre).length() <= 1.0);
        QVERIFY2(
            matched,
            qPrintable(
                QStringLiteral("pip at %1,%2").arg(region.centre().x()).arg(region.centre().y())));
    }
}

void TestPictures::faceTenMiddleRowInside()
{
    const QImage image = window()->imgMdice[10];
    int left = 192, right = -1;
    for (int x = 0; x < 192; ++x)
        if (image.pixel(x, 96) == qRgb(0, 0, 0)) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    QCOMPARE(left, 8);
    QCOMPARE(191 - right, 6);
}

void TestPictures::digits_data()
{
    QTest::addColumn<int>("digit");
    QTest::addColumn<QString>("lit");
    const char *lit[] = {"abcdef", "bc",   "abdeg",   "abcdg",  "bcfg", "acdfg",
                         "acdefg", "abcf", "abcdefg", "abcdfg", ""};
    for (int k = 0; k < DigitPictureCount; ++k)
        QTest::addRow("%s", k == BlankDigit ? "blank" : qPrintable(QString::number(k)))
            << k << QString::fromLatin1(lit[k]);
}

void TestPictures::digits()
{
    QFETCH(int, digit);
    QFETCH(QString, lit);
    const QImage image = window()->imgMdigi[digit];
    QCOMPARE(image.size(), QSize(200, 250));
    QVERIFY(!image.hasAlphaChannel());
    for (int s = 0; s < 7; ++s) {
        const bool on = lit.contains(QChar('a' + s));
        QCOMPARE(QColor(image.pixel(segmentMiddle(s))), QColor(on ? LitSegment : DarkSegment));
    }
    // The ground at the picture's corners, inside the two openings and in
    // the gaps between neighbouring segments.
    const QPoint ground[] = {{0, 0},    {199, 0},  {0, 249},   {199, 249}, {100, 75},
                             {90, 170}, {146, 30}, {150, 120}, {116, 225}, {45, 120},
                             {34, 200}, {60, 48},  {100, 103}, {100, 138}};
    for (QPoint p : ground)
        QVERIFY2(image.pixel(p) == DigitBackground,
                 qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
}

void TestPictures::blankAndEightShareOneShape()
{
    const QImage blank = window()->imgMdigi[BlankDigit];
    const QImage eight = window()->imgMdigi[8];
    int blends = 0;
    for (int y = 0; y < 250; ++y)
        for (int x = 0; x < 200; ++x) {
            const double a = coverage(blank.pixel(x, y), DarkSegment);
            const double b = coverage(eight.pixel(x, y), LitSegment);
            QVERIFY2(qAbs(a - b) < 0.08, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            blends += b > 0.02 && b < 0.98;
        }
    // Edges are anti-aliased: partly covered pixels take blends.
    QVERIFY(blends > 500);
}

// The four outer corners of the frame are rounded, the others sharp: a pixel
// just inside each corner is nearly ground when rounded, nearly lit when not.
void TestPictures::roundedFrameCorners_data()
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

void TestPictures::roundedFrameCorners()
{
    QFETCH(QPoint, pixel);
    QFETCH(bool, rounded);
    const double c = coverage(window()->imgMdigi[8].pixel(pixel), LitSegment);
    QVERIFY2(rounded ? c < 0.3 : c > 0.7, qPrintable(QString::number(c)));
}

void TestPictures::icon_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("blackParts"); // the outline, plus pips on the sides
    QTest::newRow("32") << 32 << 6;
    QTest::newRow("16") << 16 << 1;
    QTest::newRow("48") << 48 << 6;
}

void TestPictures::icon()
{
    QFETCH(int, size);
    QFETCH(int, blackParts);
    const QImage image = drawAppIcon(size);
    QCOMPARE(image.size(), QSize(size, size));
    int white = 0, red = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const QRgb p = image.pixel(x, y);
            QVERIFY(transparent(p) || p == qRgb(255, 255, 255) || p == qRgb(0, 0, 0) ||
                    p == qRgb(255, 0, 0));
            white += p == qRgb(255, 255, 255);
            red += p == qRgb(255, 0, 0);
        }
    QVERIFY(white > size * size / 5);
    QVERIFY(red > 0);
    QVERIFY(transparent(image.pixel(0, 0)) && transparent(image.pixel(size - 1, size - 1)));
    // The red pip lies on the top face, in the upper half.
    const auto redParts = regions(image, [](QRgb p) { return p == qRgb(255, 0, 0); });
    QCOMPARE(int(redParts.size()), 1);
    QVERIFY(redParts[0].centre().y() < size / 2.0);
    QVERIFY(redParts[0].bounds.width() > redParts[0].bounds.height()); // flattened
    QCOMPARE(int(regions(image, [](QRgb p) { return p == qRgb(0, 0, 0); }).size()), blackParts);
}

void TestPictures::windowsCarryTheIcon()
{
    setSettings(10, 4, 0);
    basMain::Main();
    // Start-up brings back the default settings.
    QCOMPARE(basMain::DiceFaces, std::int16_t(6));
    QCOMPARE(basMain::DiceCount, std::int16_t(2));
    QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    QCOMPARE(sizes, (QList<QSize>{{32, 32}, {16, 16}, {48, 48}}));
    const auto windows = QApplication::topLevelWidgets();
    auto *main = qobject_cast<frmMain *>(windows.value(0));
    QVERIFY(main);
    QCOMPARE(main->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
    QCOMPARE(frmConf(main).windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
    main->close(); // deletes itself
}

void TestPictures::windowShowsThePictures()
{
    frmMain *w = window();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QImage shot = w->grab().toImage();
    shot.save(QDir(QCoreApplication::applicationDirPath()).filePath("main_window_ready.png"));
    const QRect die = w->imgDice[0]->geometry();
    // The die's clear corners show the window's green, its face is white.
    QCOMPARE(QColor(shot.pixel(die.topLeft())), QColor(0, 128, 0));
    QCOMPARE(QColor(shot.pixel(die.bottomRight())), QColor(0, 128, 0));
    QCOMPARE(QColor(shot.pixel(die.center())), QColor(255, 255, 255));
    // The dark digit on the panel, with the panel's ground around it.
    const QRect units = w->imgTotal[1]->geometry();
    QCOMPARE(QColor(shot.pixel(units.topLeft() + QPoint(2, 2))), QColor(16, 16, 16));
    QCOMPARE(QColor(shot.pixel(units.center() + QPoint(0, -95))), QColor(DarkSegment));
    const QRect panel = w->shpBack->geometry();
    QCOMPARE(QColor(shot.pixel(panel.topLeft() + QPoint(3, 3))), QColor(16, 16, 16));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
