// The main window on screens of every kind (the test's arguments): scales of
// 2, 1.5 and 1.25, screens too small for it, a second monitor, and a screen
// changed under a throw. The pictures are drawn at the resolution shown.
#include "TestSupport.h"

#include <QBackingStore>
#include <QScopeGuard>
#include <qpa/qplatformbackingstore.h>
#include <qpa/qplatformnativeinterface.h>

namespace
{

// Qt's offscreen monitors: as they were, once `set` is in their place.
QJsonObject screens(const QJsonObject &set = {})
{
    auto *native = QGuiApplication::platformNativeInterface();
    using Get = QJsonObject (*)(QPlatformNativeInterface *);
    using Set = void (*)(const QJsonObject &, QPlatformNativeInterface *);
    const QJsonObject was =
        reinterpret_cast<Get>(native->nativeResourceForIntegration("configuration"))(native);
    if (!set.isEmpty())
        reinterpret_cast<Set>(native->nativeResourceForIntegration("setConfiguration"))(set,
                                                                                        native);
    QCoreApplication::processEvents();
    return was;
}

// The first monitor at three quarters of its size, or at 125 % its scale.
QJsonObject changed(QJsonObject config, const QString &change)
{
    QJsonArray monitors = config["screens"].toArray();
    QJsonObject first = monitors[0].toObject();
    const bool smaller = change == "smaller";
    for (const QString &key : smaller ? QStringList{"width", "height"} : QStringList{"logicalDpi"})
        first[key] = first[key].toInt(96) * (smaller ? 3 : 5) / 4;
    monitors[0] = first;
    config["screens"] = monitors;
    return config;
}

// What the window shows on screen once it has painted (its backing store,
// in device pixels), from the dice's top to the buttons'.
QImage onScreen(frmMain &w)
{
    QCoreApplication::processEvents();
    const QImage shot = w.backingStore()->handle()->toImage();
    const qreal zoom = w.devicePixelRatioF() * w.width() / designedClient("main").width();
    const int top = designedPlace("imgDice0").top(), bottom = designedPlace("cmdConfig").top();
    return shot.copy(0, qCeil(top * zoom), shot.width(), qFloor(bottom * zoom) - qCeil(top * zoom));
}

// A place as a failure names it.
QString text(QRect r)
{
    return QString::asprintf("%d,%d %dx%d", r.x(), r.y(), r.width(), r.height());
}

// Where a window's frame lies wrong in a screen's free area: it lies inside
// or, where it is larger, from the area's corner, its title bar in reach.
// Empty where it is so.
QString frameFault(const QWidget *window, QRect area)
{
    const QRect frame = window->frameGeometry();
    if (area.contains(frame) || frame.topLeft() == area.topLeft())
        return {};
    return QStringLiteral("%1's frame at %2, neither inside the free area %3 nor at its corner")
        .arg(window->metaObject()->className(), text(frame), text(area));
}

// The device pixels a control at `logical` covers at `ratio`: its edges
// rounded to the nearest.
QRect devicePixels(QRect logical, qreal ratio)
{
    const auto device = [ratio](int x) { return qRound(x * ratio); };
    return {QPoint(device(logical.x()), device(logical.y())),
            QPoint(device(logical.right() + 1) - 1, device(logical.bottom() + 1) - 1)};
}

} // namespace

class TestHiDpi : public QObject
{
    Q_OBJECT

private slots:
    // The whole window, frame and all, lies in its screen's free area: as
    // designed where that is large enough, else smaller in proportion, filling
    // the area across or down.
    void fitsTheScreen()
    {
        setSettings(6, 2, 0);
        frmMain w;
        QVERIFY(shown(w));
        // Opened on the first monitor, then taken to each other one.
        for (QScreen *monitor : QGuiApplication::screens()) {
            if (monitor != w.screen()) {
                w.windowHandle()->setGeometry(QRect(monitor->geometry().center(), w.size()));
                QTRY_COMPARE(w.screen()->name(), monitor->name());
            }
            const QRect area = monitor->availableGeometry();
            QTRY_COMPARE(frameFault(&w, area), QString());
            const QRect frame = w.frameGeometry();
            double zoom = 1.0;
            const QSize client = designedClient("main");
            if (area.size().expandedTo(client + frame.size() - w.size()) == area.size()) {
                QCOMPARE(w.size(), client); // room, frame and all
            } else {
                // Across or down, the frame fills the area, within the pixel
                // or two that rounding spares.
                const int spareAcross = area.width() - frame.width();
                const int spareDown = area.height() - frame.height();
                QVERIFY2(
                    std::min(spareAcross, spareDown) <= 2,
                    qPrintable(QString::asprintf("the frame leaves %d px across and %d down "
                                                 "of the free area %s, not 2 at most either "
                                                 "way",
                                                 spareAcross, spareDown, qPrintable(text(area)))));
                QCOMPARE(frame.topLeft(), area.topLeft());
                zoom = double(w.width()) / client.width();
                QVERIFY2(zoom < 1.0, qPrintable(QStringLiteral("zoom %1 on a screen too small "
                                                               "for the window")
                                                    .arg(zoom)));
                QVERIFY2(qAbs(w.height() - client.height() * zoom) <= 1,
                         qPrintable(QString::asprintf("%d px high, not %g at zoom %g", w.height(),
                                                      client.height() * zoom, zoom)));
            }
            // Each control of the designed layout with two dice, each edge
            // where the design's, zoomed, rounds to: exactly at 1x, within a
            // pixel where the zoom's own rounding adds one.
            for (const QString control : {"imgDice0", "imgDice1", "lblDice1", "imgTotal0",
                                          "imgTotal1", "shpBack", "cmdConfig", "cmdAction"}) {
                const QRect designed = designedPlace(control, 2);
                const QRect got = w.findChild<QWidget *>(control)->geometry();
                const QRect want(qRound(designed.x() * zoom), qRound(designed.y() * zoom),
                                 qRound(designed.width() * zoom), qRound(designed.height() * zoom));
                const QPoint a = got.topLeft() - want.topLeft(),
                             b = got.bottomRight() - want.bottomRight();
                const int most = std::max({qAbs(a.x()), qAbs(a.y()), qAbs(b.x()), qAbs(b.y())});
                const int allowed = zoom == 1.0 ? 0 : 1;
                QVERIFY2(most <= allowed,
                         qPrintable(QString::asprintf("%s at %s, not within %d px of %s at zoom %g",
                                                      qPrintable(control), qPrintable(text(got)),
                                                      allowed, qPrintable(text(want)), zoom)));
            }
            // The panel's outline, a pixel wide at any scale: all round its
            // outermost device pixels, then the fill's just within.
            const QImage shot = w.grab().toImage();
            const qreal r = shot.devicePixelRatio();
            QCOMPARE(outlineFault(shot, devicePixels(shpBack(w)->geometry(), r), qCeil(r)),
                     QString());
            // The texts shrink with the rest; the settings open on this monitor.
            const int value = lblDice(w)[0]->font().pixelSize();
            QVERIFY2(qAbs(value - fontPixels("value") * zoom) <= 1,
                     qPrintable(QString::asprintf("the values' font %d px, not %g", value,
                                                  fontPixels("value") * zoom)));
            const int button = cmdAction(w)->font().pixelSize();
            QVERIFY2(qAbs(button - fontPixels("button") * zoom) <= 1,
                     qPrintable(QString::asprintf("the buttons' font %d px, not %g", button,
                                                  fontPixels("button") * zoom)));
            frmConf dialog(&w);
            QVERIFY(shown(dialog));
            QCOMPARE(frameFault(&dialog, area), QString());
        }
    }

    void sharpPictures_data()
    {
        QTest::addColumn<bool>("die");
        QTest::addColumn<int>("clicks"); // on the action button: 1 rolling, 2 a result
        // What changes under the window once it shows it: nothing, the screen
        // (to three quarters of its size), or its scale (125 % of it).
        QTest::addColumn<QString>("change");
        QTest::newRow("a die's face and edge") << true << 2 << "";
        QTest::newRow("a digit's edges") << false << 2 << "";
        // As the window first shows: drawn for the screen too, not only what
        // is drawn later.
        QTest::newRow("the blank digit") << false << 0 << "";
        // Afterwards what a fresh window there shows after the same throw.
        QTest::newRow("dice rolling, a smaller screen") << true << 1 << "smaller";
        QTest::newRow("a result, a smaller screen") << false << 2 << "smaller";
        QTest::newRow("dice rolling, another scale") << true << 1 << "scale";
        QTest::newRow("a result, another scale") << false << 2 << "scale";
    }

    void sharpPictures()
    {
        QFETCH(bool, die);
        QFETCH(int, clicks);
        QFETCH(QString, change);
        const auto play = [clicks](frmMain &w) {
            QVERIFY(shown(w));
            for (int c = 0; c < clicks; ++c) {
                cmdAction(w)->click();
                if (c == 0)
                    WindowProbe::tick(w); // both dice show 6
            }
        };
        setSettings(6, 2, 0);
        // Sixes, however often the roll timer ticks meanwhile.
        std::deque<float> values(1000, 0.9f);
        frmMain w(std::make_unique<ScriptedRandom>(&values));
        play(w);
        if (!change.isEmpty()) {
            // Not a window larger than its screen: Qt 6.4 keeps its backing
            // store at the old scale.
            if (QGuiApplication::platformName() != QLatin1String("offscreen") ||
                !w.screen()->availableGeometry().contains(w.frameGeometry()))
                QSKIP("only Qt's offscreen screens can be changed by a test");
            const auto restore = qScopeGuard([before = screens()] { screens(before); });
            screens(changed(screens(), change));
            const QImage shown = onScreen(w);
            std::deque<float> again(1000, 0.9f);
            frmMain fresh(std::make_unique<ScriptedRandom>(&again));
            play(fresh);
            QCOMPARE(shown, onScreen(fresh));
        }
        QCoreApplication::processEvents();
        const qreal ratio = w.devicePixelRatioF();
        const PictureSet &set = die ? WindowProbe::imgMdice(w) : WindowProbe::imgMdigi(w);
        const int picture = die ? 6 : clicks == 2 ? 2 : BlankDigit;

        // Drawn for the window as shown: the screen's scale times the zoom,
        // which the window's width gives to within the half pixel it is
        // rounded by.
        const double client = designedClient("main").width();
        const double geometry = ratio * w.width() / client;
        const double within = ratio * 0.5 / client;
        QVERIFY2(qAbs(set.scale() - geometry) <= within,
                 qPrintable(QString::asprintf("the pictures drawn at %.4f, not within %.4f of "
                                              "%.4f, the scale the window's width gives",
                                              set.scale(), within, geometry)));

        // On screen, that drawing stretched to the device pixels the
        // control covers.
        const QImage shot = w.grab().toImage();
        const QRect covered =
            devicePixels((die ? imgDice(w)[0] : imgTotal(w)[1])->geometry(), ratio);
        const int off = differences(shot.copy(covered), set.drawn(picture, set.scale()));
        QVERIFY2(off == 0,
                 qPrintable(QString::asprintf("%d pixels of the control at %d,%d off "
                                              "the picture drawn at %.4f",
                                              off, covered.x(), covered.y(), set.scale())));
    }
};

int main(int argc, char *argv[])
{
    // The scale first, before QtTest's own options (2 if none).
    const bool given = argc > 1 && argv[1][0] != '-';
    qputenv("QT_SCALE_FACTOR", given ? argv[1] : "2");
    if (given) {
        argv[1] = argv[0];
        ++argv;
        --argc;
    }
    qputenv("QT_SCALE_FACTOR_ROUNDING_POLICY", "PassThrough");
    QApplication app(argc, argv);
    TestHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
