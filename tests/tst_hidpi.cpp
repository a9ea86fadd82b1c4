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

// What is off a control's font at `zoom`: exact at 1x, within a pixel zoomed.
QString fontFault(const QWidget *control, const char *font, double zoom)
{
    const int size = control->font().pixelSize();
    const double want = fontPixels(font) * zoom;
    if (size == want || (zoom < 1.0 && qAbs(size - want) <= 1))
        return {};
    return QString::asprintf("%s's font %d px, not %g", qPrintable(control->objectName()), size,
                             want);
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
    // the area across or down; in every layout the settings give.
    void fitsTheScreen_data() { layoutRows(); }

    void fitsTheScreen()
    {
        QFETCH(int, faces);
        QFETCH(int, count);
        QFETCH(bool, tensShown);
        setSettings(faces, count, 0);
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
            // Each control the layout places where the design has it,
            // zoomed; and the texts shrink with the rest.
            QCOMPARE(placeFault(w, count, tensShown, zoom), QString());
            for (QLabel *label : lblDice(w))
                QCOMPARE(fontFault(label, "value", zoom), QString());
            for (QPushButton *button : {cmdConfig(w), cmdAction(w)})
                QCOMPARE(fontFault(button, "button", zoom), QString());
            // The panel's outline, a pixel wide at any scale: all round its
            // outermost device pixels, then the fill's just within.
            const QImage shot = w.grab().toImage();
            const qreal r = shot.devicePixelRatio();
            QCOMPARE(outlineFault(shot, devicePixels(shpBack(w)->geometry(), r), qCeil(r)),
                     QString());
            // The settings open on this monitor.
            frmConf dialog(&w);
            QVERIFY(shown(dialog));
            QCOMPARE(frameFault(&dialog, area), QString());
        }
    }

    // Four dice of six faces, so that every box shows: what each die and
    // digit shows after so many clicks on the action button.
    void sharpPictures_data()
    {
        QTest::addColumn<int>("clicks"); // on the action button: 1 rolling, 2 a result
        // What changes under the window once it shows it: nothing, the screen
        // (to three quarters of its size), or its scale (125 % of it).
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("face"); // every die's
        QTest::addColumn<int>("tens");
        QTest::addColumn<int>("units");
        // As the window first shows: drawn for the screen too, not only what
        // is drawn later.
        QTest::newRow("blank faces, blank digits") << 0 << "" << 0 << BlankDigit << BlankDigit;
        QTest::newRow("a result, 24") << 2 << "" << 6 << 2 << 4;
        // Afterwards what a fresh window there shows after the same throw.
        QTest::newRow("dice rolling, a smaller screen")
            << 1 << "smaller" << 6 << BlankDigit << BlankDigit;
        QTest::newRow("a result, a smaller screen") << 2 << "smaller" << 6 << 2 << 4;
        QTest::newRow("dice rolling, another scale")
            << 1 << "scale" << 6 << BlankDigit << BlankDigit;
        QTest::newRow("a result, another scale") << 2 << "scale" << 6 << 2 << 4;
    }

    void sharpPictures()
    {
        QFETCH(int, clicks);
        QFETCH(QString, change);
        QFETCH(int, face);
        QFETCH(int, tens);
        QFETCH(int, units);
        const auto play = [clicks](frmMain &w) {
            QVERIFY(shown(w));
            clickAction(w, clicks); // every die draws 6
        };
        if (!change.isEmpty() && QGuiApplication::platformName() != QLatin1String("offscreen"))
            QSKIP("only Qt's offscreen screens can be changed by a test");
        setSettings(6, 4, 0);
        // Sixes, however often the roll timer ticks meanwhile.
        std::deque<float> values(1000, 0.9f);
        frmMain w(std::make_unique<ScriptedRandom>(&values));
        play(w);
        if (!change.isEmpty()) {
            // Qt 6.4 keeps the backing store of a window larger than its
            // screen at the old scale.
            if (!w.screen()->availableGeometry().contains(w.frameGeometry()))
                QSKIP("a window larger than its screen, which Qt 6.4 keeps at its old scale");
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
        const PictureSet &dice = WindowProbe::imgMdice(w), &digits = WindowProbe::imgMdigi(w);

        // Both sets drawn for the window as shown: the screen's scale times
        // the zoom, which the window's width gives to within the half pixel
        // it is rounded by.
        const double client = designedClient("main").width();
        const double geometry = ratio * w.width() / client;
        const double within = ratio * 0.5 / client;
        for (const PictureSet *set : {&dice, &digits})
            QVERIFY2(qAbs(set->scale() - geometry) <= within,
                     qPrintable(QString::asprintf("the pictures drawn at %.4f, not within %.4f "
                                                  "of %.4f, the scale the window's width gives",
                                                  set->scale(), within, geometry)));

        // On screen, each box that drawing stretched to the device pixels it
        // covers; the tens up to where the units cover them.
        const QImage shot = w.grab().toImage();
        const std::tuple<PictureBox *, const PictureSet *, int> boxes[] = {
            {imgDice(w)[0], &dice, face},    {imgDice(w)[1], &dice, face},
            {imgDice(w)[2], &dice, face},    {imgDice(w)[3], &dice, face},
            {imgTotal(w)[0], &digits, tens}, {imgTotal(w)[1], &digits, units}};
        const int unitsLeft = devicePixels(imgTotal(w)[1]->geometry(), ratio).left();
        for (const auto &[box, set, picture] : boxes) {
            const QRect covered = devicePixels(box->geometry(), ratio);
            int columns = covered.width();
            if (box == imgTotal(w)[0])
                columns = unitsLeft - covered.left();
            const int off =
                differences(shot.copy(covered), set->drawn(picture, set->scale()), columns);
            QVERIFY2(off == 0, qPrintable(QString::asprintf(
                                   "%d pixels of %s at %d,%d off picture %d drawn at %.4f", off,
                                   qPrintable(box->objectName()), covered.x(), covered.y(), picture,
                                   set->scale())));
        }
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
