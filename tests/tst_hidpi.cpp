// On a screen with two device pixels to a pixel the dice and the digits are
// drawn from their geometry at twice the resolution, not blown up from the
// 1x pictures, which stay exactly as they are.
#include "TestSupport.h"

#include "pictures/DiePictures.h"
#include "pictures/DigitPictures.h"
#include "widgets/PictureBox.h"
#include "windows/frmMain.h"

#include <QtTest>

namespace
{

// How many pixels of `shot` differ from `picture` blown up to the same size
// pixel for pixel, over the window's green where the picture is clear.
int differences(const QImage &shot, const QImage &picture)
{
    const QImage expected = picture.convertToFormat(QImage::Format_ARGB32)
                                .scaled(shot.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    int count = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            QRgb want = expected.pixel(x, y);
            if (qAlpha(want) == 0)
                want = qRgb(0, 128, 0);
            const QRgb got = shot.pixel(x, y);
            count += qAbs(qRed(got) - qRed(want)) + qAbs(qGreen(got) - qGreen(want)) +
                         qAbs(qBlue(got) - qBlue(want)) >
                     24;
        }
    return count;
}

} // namespace

class TestHiDpi : public QObject
{
    Q_OBJECT

private slots:
    void sharpPictures_data();
    void sharpPictures();
};

void TestHiDpi::sharpPictures_data()
{
    QTest::addColumn<bool>("die");
    QTest::newRow("a die's face and edge") << true;
    QTest::newRow("a digit's edges") << false;
}

void TestHiDpi::sharpPictures()
{
    QFETCH(bool, die);
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    setSettings(6, 2, 0);
    std::deque<float> values = {0.9f, 0.9f};
    frmMain w(std::make_unique<ScriptedRandom>(&values));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    cmdAction(w)->click();
    WindowProbe::tick(w);  // both dice show 6
    cmdAction(w)->click(); // the total, 12
    QCoreApplication::processEvents();

    const QImage shot = w.grab().toImage();
    QCOMPARE(shot.devicePixelRatio(), 2.0);
    const QRect control = die ? imgDice(w)[0]->geometry() : imgTotal(w)[1]->geometry();
    const QImage part = shot.copy(QRect(control.topLeft() * 2, control.size() * 2));
    part.save(QDir(QCoreApplication::applicationDirPath())
                  .filePath(die ? "hidpi_die.png" : "hidpi_digit.png"));

    // The window holds the 1x masters unchanged.
    const QImage oneX = die ? WindowProbe::imgMdice(w)[6] : WindowProbe::imgMdigi(w)[2];
    QCOMPARE(oneX.size(), die ? QSize(192, 192) : QSize(200, 250));
    QCOMPARE(oneX, die ? drawDieFace(6) : drawDigits()[2]);

    const QImage twoX = die ? drawDieFace(6, 2) : drawDigits(2)[2];
    const int fromGeometry = differences(part, twoX);
    const int blownUp = differences(part, oneX);
    qInfo("pixels off: %d against the 2x drawing, %d against the 1x picture blown up", fromGeometry,
          blownUp);
    QVERIFY(blownUp > 200);
    QVERIFY(fromGeometry * 10 < blownUp);
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
