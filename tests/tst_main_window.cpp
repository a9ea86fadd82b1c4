// The main window as it opens and as the dice are arranged for the settings.
#include "TestSupport.h"

#include "ground/Fonts.h"

#include <QFontDatabase>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

namespace
{
// A key held till the keyboard repeats it, as X11 repeats it or as presses
// alone (as Windows does); a key let go only once the dialog it opened is up.
constexpr int Held = 1 << 30, HeldAlone = 1 << 29, ReleasedInDialog = 1 << 28;

// WCAG's focus appearance: focus changes, at 3:1 or more, at least a 2 px
// line round the button. What falls short, naming the button; else empty.
QString focusRingFault(QWidget *button)
{
    const QImage focused = button->grab().toImage();
    button->clearFocus();
    const QImage plain = button->grab().toImage();
    const auto luminance = [](QRgb c) {
        const auto lin = [](int v) {
            const double f = v / 255.0;
            return f <= 0.04045 ? f / 12.92 : std::pow((f + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
    };
    int changed = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            const double a = luminance(focused.pixel(x, y));
            const double b = luminance(plain.pixel(x, y));
            changed += (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05) >= 3.0;
        }
    const int ring = 2 * 2 * (button->width() + button->height());
    if (changed >= ring)
        return {};
    return QString::asprintf("%s: %d px changed by focus at 3:1, not at least %d, a 2 px ring",
                             qPrintable(button->objectName()), changed, ring);
}
// What is wrong with `label` (`what`) painted showing `text`: yellow on black,
// the ink centred across and, down, where a centred label has it; or empty.
QString valueFault(QLabel *label, const QString &text, const QString &what)
{
    if (label->text() != text)
        return mismatch(what, label->text(), text);
    const QImage shot = label->grab().toImage();
    const QString ground =
        pixelFault(shot, QPoint(0, 0), colour("valueGround"), what + "'s ground");
    if (!ground.isEmpty())
        return ground;
    QRgb brightest = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            brightest = std::max(brightest, shot.pixel(x, y) | 0xFF000000); // opaque
    if (brightest != colour("value"))
        return mismatch(what + "'s brightest", colourName(brightest), colourName(colour("value")));
    // The box round what stands out from the corner's ground.
    const auto ink = [](const QImage &image) {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAbs(qRed(image.pixel(x, y)) - qRed(image.pixel(0, 0))) > 128)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    QLabel plain(text);
    plain.setAlignment(Qt::AlignCenter);
    plain.setFont(label->font());
    plain.resize(label->size());
    const QRect drawn = ink(shot), centred = ink(plain.grab().toImage());
    if (drawn.isEmpty())
        return what + " has no ink";
    // Across: as far from the left edge as from the right.
    const int right = shot.width() - 1 - drawn.right();
    if (qAbs(drawn.left() - right) > 1)
        return QString::asprintf("%s: ink %d px from the left, %d from the right", qPrintable(what),
                                 drawn.left(), right);
    // Down: where a centred label has it.
    if (qAbs(drawn.top() - centred.top()) > 1 || qAbs(drawn.bottom() - centred.bottom()) > 1)
        return QString::asprintf("%s: ink from %d to %d px down, centred from %d to %d",
                                 qPrintable(what), drawn.top(), drawn.bottom(), centred.top(),
                                 centred.bottom());
    return {};
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { setSettings(6, 2, 0); }

    void window()
    {
        frmMain w;
        QCOMPARE(w.minimumSize(), w.maximumSize()); // its size is fitsTheScreen's
        QCOMPARE(w.windowTitle(), design()["title"].toString());
        QCOMPARE(w.windowFlags() & TitleButtons, Qt::WindowCloseButtonHint);
        QCOMPARE(w.pos(), QPoint(0, 0));
        QCOMPARE(tmrDice(w)->interval(), design()["rollInterval"].toInt());
        // The Japanese texts must find a font that has their glyphs.
        QVERIFY2(QFontMetrics(cmdAction(w)->font()).inFont(QChar(u'ス')),
                 qPrintable("the buttons' font, " + QFontInfo(cmdAction(w)->font()).family() +
                            ", has no ス"));
    }

    // Every control placed for the settings, and the tens shown where the
    // largest total has two digits, in a window reset after a throw of four
    // dice of ten (a new window's places are fitsTheScreen's, at every scale).
    void arrangement_data() { layoutRows(); }

    void arrangement()
    {
        QFETCH(int, faces);
        QFETCH(int, count);
        QFETCH(bool, tensShown);
        setSettings(10, 4, -1);
        std::deque<float> values = {0.9f, 0.9f, 0.9f, 0.9f};
        frmMain w(std::make_unique<ScriptedRandom>(&values));
        QVERIFY(shown(w));
        clickAction(w, 2);
        setSettings(faces, count, 0);
        cmdAction(w)->click(); // reset arranges for the new settings
        QCOMPARE(imgTotal(w)[0]->isVisibleTo(&w), tensShown);
        QCOMPARE(violation(w), QString());
        // On screen the panel painted anew where it narrowed: outlined in
        // the desktop's text colour, the window's green just without.
        QCoreApplication::processEvents();
        const QImage shot = w.screen()->grabWindow(w.winId()).toImage();
        const QRect panel = designedPlace("shpBack", count, tensShown);
        QCOMPARE(outlineFault(shot, panel), QString());
        QCOMPARE(
            pixelFault(shot, panel.topLeft() - QPoint(1, 1), colour("window"), "beside the panel"),
            QString());
    }

    void valueLabels_data()
    {
        QTest::addColumn<int>("value");
        for (int v = 0; v <= 10; ++v)
            QTest::addRow("%d", v) << v;
    }

    // A value as painted after a throw, under every die of every layout.
    void valueLabels()
    {
        QFETCH(int, value);
        setSettings(10, 1, -1);
        // Each die draws `value` of 0 to 10, however often the timer ticks.
        std::deque<float> values(1000, (value + 0.5f) / 11);
        frmMain w(std::make_unique<ScriptedRandom>(&values));
        QVERIFY(shown(w));
        for (int count = 1; count <= 4; ++count) {
            setSettings(10, count, -1);
            if (count > 1)
                cmdAction(w)->click(); // reset for this many dice
            clickAction(w, 2);
            for (int i = 0; i < count; ++i)
                QCOMPARE(
                    valueFault(lblDice(w)[i], QString::number(value),
                               QString::asprintf("the value under die %d of %d", i + 1, count)),
                    QString());
        }
    }

    // Keys after the window opens: what each sequence presses.
    void keyboard_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("dialogOpens");
        QTest::addColumn<int>("rollState");
        QTest::addColumn<QString>("focus");
        QTest::newRow("nothing: focus on settings") << typed("") << 0 << 0 << "cmdConfig";
        QTest::newRow("Enter opens the settings") << typed("Return") << 1 << 0 << "cmdConfig";
        QTest::newRow("keypad Enter opens the settings") << typed("Enter") << 1 << 0 << "cmdConfig";
        QTest::newRow("Space opens the settings") << typed("Space") << 1 << 0 << "cmdConfig";
        // The button forgets a key let go in the dialog: its next press opens
        // the settings again.
        QTest::newRow("Space let go in the settings, then again")
            << QList<int>{ReleasedInDialog | Qt::Key_Space, Qt::Key_Space} << 2 << 0 << "cmdConfig";
        QTest::newRow("Tab then Enter starts") << typed("Tab Return") << 0 << 1 << "cmdAction";
        QTest::newRow("Tab twice is back on settings") << typed("Tab Tab") << 0 << 0 << "cmdConfig";
        QTest::newRow("Tab, Enter, Enter stops")
            << typed("Tab Return Return") << 0 << 2 << "cmdAction";
        // While the settings button is disabled Tab cannot leave the action button.
        QTest::newRow("rolling keeps the focus on the action button")
            << typed("Tab Return Tab") << 0 << 1 << "cmdAction";
        // A held key is one press however long the keyboard repeats it.
        QTest::newRow("Enter held on start: rolling")
            << QList<int>{Qt::Key_Tab, Held | Qt::Key_Return} << 0 << 1 << "cmdAction";
        QTest::newRow("Space held on start: rolling")
            << QList<int>{Qt::Key_Tab, Held | Qt::Key_Space} << 0 << 1 << "cmdAction";
        QTest::newRow("Enter held on settings: opened once")
            << QList<int>{Held | Qt::Key_Return} << 1 << 0 << "cmdConfig";
        QTest::newRow("Space held on settings: opened once")
            << QList<int>{Held | Qt::Key_Space} << 1 << 0 << "cmdConfig";
        QTest::newRow("Enter repeated as presses alone on start: rolling")
            << QList<int>{Qt::Key_Tab, HeldAlone | Qt::Key_Return} << 0 << 1 << "cmdAction";
        QTest::newRow("Space repeated as presses alone on start: rolling")
            << QList<int>{Qt::Key_Tab, HeldAlone | Qt::Key_Space} << 0 << 1 << "cmdAction";
        QTest::newRow("full cycle by Space")
            << typed("Tab Space Space Space") << 0 << 0 << "cmdAction";
    }

    void keyboard()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, dialogOpens);
        QFETCH(int, rollState);
        QFETCH(QString, focus);
        frmMain w;
        QVERIFY(shown(w, Active));

        int opened = 0;
        // Any event may open the dialog: each is sent with a closer ready.
        const auto send = [&](QWidget *target, QEvent::Type type, Qt::Key k, bool repeat,
                              quint64 time) {
            whenModalOpens([&](QWidget *modal) { opened += modal != nullptr; });
            const QChar text = k == Qt::Key_Space ? u' ' : k == Qt::Key_Tab ? u'\t' : u'\r';
            QKeyEvent event(type, k, Qt::NoModifier, QString(text), repeat);
            event.setTimestamp(time);
            QApplication::sendEvent(target, &event);
            QCoreApplication::processEvents();
        };
        quint64 time = 1000;
        for (int key : keys) {
            const auto k = Qt::Key(key & ~(Held | HeldAlone | ReleasedInDialog));
            w.activateWindow(); // a window manager would do this once a dialog is gone
            QVERIFY2(QTest::qWaitForWindowActive(&w),
                     qPrintable("the window not active again for " + QKeySequence(k).toString()));
            QWidget *target = QApplication::focusWidget(); // keeps the key till released
            send(target, QEvent::KeyPress, k, false, time += 100);
            // X11 repeats a held key as a release and a press at one moment;
            // the toolkit flags the pair as a repeat only when both have
            // arrived, so some come unflagged.
            for (int i = 0; key & Held && i < 4; ++i) {
                time += 40;
                send(target, QEvent::KeyRelease, k, i % 2 == 0, time);
                send(target, QEvent::KeyPress, k, i % 2 == 0, time);
            }
            for (int i = 0; key & HeldAlone && i < 4; ++i)
                send(target, QEvent::KeyPress, k, false, time += 40);
            if (!(key & ReleasedInDialog))
                send(target, QEvent::KeyRelease, k, false, time += 100);
        }
        QCOMPARE(opened, dialogOpens);
        w.activateWindow(); // a window manager would do this once the dialog is gone
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(int(WindowProbe::RollState(w)), rollState);
        QCOMPARE(focusName(), focus);
    }

    // The focus ring of every button of both windows, on desktops whose
    // highlight stands out from the button face or too little: KDE's Breeze
    // blue on its grey face is 2.18:1.
    void focusRing_data()
    {
        QTest::addColumn<QColor>("highlight");
        QTest::addColumn<QColor>("face");
        QTest::addColumn<QColor>("text");
        QTest::newRow("the style's own") << QColor() << QColor() << QColor();
        QTest::newRow("Breeze: a pale highlight")
            << QColor(0x3d, 0xae, 0xe9) << QColor(0xef, 0xf0, 0xf1) << QColor(0x23, 0x26, 0x27);
    }

    void focusRing()
    {
        QFETCH(QColor, highlight);
        QFETCH(QColor, face);
        QFETCH(QColor, text);
        frmMain w;
        frmConf dialog(nullptr);
        const std::pair<QWidget *, QPushButton *> buttons[] = {{&w, cmdConfig(w)},
                                                               {&w, cmdAction(w)},
                                                               {&dialog, cmdOK(dialog)},
                                                               {&dialog, cmdCancel(dialog)}};
        if (highlight.isValid()) {
            QPalette desktop = cmdAction(w)->palette();
            desktop.setColor(QPalette::Highlight, highlight);
            desktop.setColor(QPalette::Button, face);
            desktop.setColor(QPalette::ButtonText, text);
            for (const auto &[window, button] : buttons)
                button->setPalette(desktop);
        }
        for (const auto &[window, button] : buttons) {
            QVERIFY(shown(*window, Active));
            button->setFocus();
            QCOMPARE(focusRingFault(button), QString());
        }
    }

    // Every family the program may pick fits every text of both windows at
    // the designed sizes: the captions, "10" in every value label, every
    // entry of every list.
    void textsFit_data()
    {
        QTest::addColumn<QString>("family");
        for (const QString &family : gothicFamilyCandidates())
            QTest::newRow(qPrintable(family)) << family;
    }

    void textsFit()
    {
        QFETCH(QString, family);
        if (!QFontDatabase::hasFamily(family))
            QSKIP("not installed here");
        frmMain w;
        frmConf dialog(nullptr);
        QList<std::tuple<QWidget *, QString, int>> texts = {
            {cmdConfig(w), caption("cmdConfig"), fontPixels("button")},
            {cmdAction(w), caption("cmdAction", frmMain::Ready), fontPixels("button")},
            {cmdAction(w), caption("cmdAction", frmMain::Rolling), fontPixels("button")},
            {cmdAction(w), caption("cmdAction", frmMain::Result), fontPixels("button")},
            {lblCap(dialog)[0], caption("lblCap0"), fontPixels("dialog")},
            {lblCap(dialog)[1], caption("lblCap1"), fontPixels("dialog")},
            {lblCap(dialog)[2], caption("lblCap2"), fontPixels("dialog")},
            {cmdOK(dialog), caption("cmdOK"), fontPixels("dialog")},
            {cmdCancel(dialog), caption("cmdCancel"), fontPixels("dialog")}};
        for (QLabel *label : lblDice(w))
            texts.append({label, "10", fontPixels("value")});
        for (QComboBox *box : cboDice(dialog))
            for (int k = 0; k < box->count(); ++k)
                texts.append({box, box->itemText(k), fontPixels("dialog")});
        for (const auto &[control, text, pixels] : texts) {
            QFont font(family);
            font.setPixelSize(pixels);
            const QFontMetrics metrics(font);
            const QRect ink = metrics.tightBoundingRect(text);
            QSize room = control->size();
            int needed = metrics.horizontalAdvance(text);
            if (auto *button = qobject_cast<QPushButton *>(control)) {
                QStyleOptionButton option;
                option.initFrom(button);
                option.text = text;
                const QSize size = button->style()->sizeFromContents(
                    QStyle::CT_PushButton, &option, metrics.size(Qt::TextShowMnemonic, text),
                    button);
                needed = size.width();
            } else if (auto *box = qobject_cast<QComboBox *>(control)) {
                QStyleOptionComboBox option;
                option.initFrom(box);
                room = box->style()
                           ->subControlRect(QStyle::CC_ComboBox, &option,
                                            QStyle::SC_ComboBoxEditField, box)
                           .size();
            } else if (pixels == fontPixels("value")) {
                needed = ink.width(); // centred by its ink
            }
            QVERIFY2(needed <= room.width(),
                     qPrintable(text + QString::asprintf(" needs %d px across, has %d", needed,
                                                         room.width())));
            QVERIFY2(ink.height() <= room.height(),
                     qPrintable(text + QString::asprintf(" needs %d px down, has %d", ink.height(),
                                                         room.height())));
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
