// The main window as it opens and as the dice are arranged for the settings.
#include "TestSupport.h"

#include "pictures/DigitPictures.h"
#include "widgets/PictureBox.h"
#include "widgets/ShapeBox.h"
#include "windows/frmMain.h"

#include "ground/Fonts.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QtTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { setSettings(6, 2, 0); }

    void window();
    void createdGeometry_data();
    void createdGeometry();
    void labelsAndButtons();
    void arrangement_data();
    void arrangement();
    void totalLayout_data();
    void totalLayout();
    void fewerDiceClearHiddenSlots();
    void stackingOrder();
    void keyboard_data();
    void keyboard();
    void textsFit_data();
    void textsFit();
};

void TestMainWindow::window()
{
    frmMain w;
    QCOMPARE(w.size(), QSize(1018, 736));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("電子ミルバネ ")));
    QVERIFY(w.windowTitle().size() > QStringLiteral("電子ミルバネ ").size());
    const Qt::WindowFlags flags = w.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(w.pos(), QPoint(0, 0));
    QCOMPARE(w.palette().color(QPalette::Window), QColor(0, 128, 0));
    QVERIFY(w.autoFillBackground());
    QVERIFY(!tmrDice(w)->isActive());
    QCOMPARE(tmrDice(w)->interval(), 33);
}

// With four dice of six faces the arrangement is the one the window is
// created with, so every control stands where the layout table puts it.
// Pixels: the table's twips over 15, rounded.
void TestMainWindow::createdGeometry_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("expected");
    QTest::addColumn<bool>("visible");
    const QList<int> &dieLeft = DieLefts[4];
    const int labelLeft[] = {80, 328, 576, 824};
    for (int i = 0; i < 4; ++i) {
        QTest::addRow("imgDice(%d)", i)
            << QStringLiteral("imgDice%1").arg(i) << QRect(dieLeft[i], 32, 193, 193) << true;
        QTest::addRow("lblDice(%d)", i)
            << QStringLiteral("lblDice%1").arg(i) << QRect(labelLeft[i], 248, 113, 97) << false;
    }
    QTest::newRow("imgTotal(0)") << "imgTotal0" << QRect(316, 392, 201, 249) << true;
    QTest::newRow("imgTotal(1)") << "imgTotal1" << QRect(500, 392, 201, 249) << true;
    QTest::newRow("shpBack") << "shpBack" << QRect(288, 384, 441, 265) << true;
    QTest::newRow("cmdConfig") << "cmdConfig" << QRect(16, 648, 201, 65) << true;
    QTest::newRow("cmdAction") << "cmdAction" << QRect(800, 648, 201, 65) << true;
}

void TestMainWindow::createdGeometry()
{
    QFETCH(QString, control);
    QFETCH(QRect, expected);
    QFETCH(bool, visible);
    setSettings(6, 4, 0);
    frmMain w;
    QWidget *widget = ::control<QWidget>(w, control);
    QCOMPARE(widget->geometry(), expected);
    QCOMPARE(widget->isVisibleTo(&w), visible);
    QVERIFY(widget->isEnabled());
}

void TestMainWindow::labelsAndButtons()
{
    frmMain w;
    for (QLabel *label : lblDice(w)) {
        QCOMPARE(label->text(), QStringLiteral("10"));
        QCOMPARE(label->alignment(), Qt::AlignCenter);
        QVERIFY(label->autoFillBackground());
        QCOMPARE(label->palette().color(QPalette::Window), QColor(0, 0, 0));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        QCOMPARE(label->font().pixelSize(), 96);
        QCOMPARE(label->font().weight(), QFont::Normal);
    }
    // Every value sits in the middle of its label by the ink one sees.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QLabel *label = lblDice(w)[0];
    label->show();
    for (int value = 0; value <= 10; ++value) {
        label->setText(QString::number(value));
        const QImage shot = label->grab().toImage();
        int left = shot.width(), right = -1;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (qRed(shot.pixel(x, y)) > 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        QVERIFY2(right >= 0 && qAbs(left - (shot.width() - 1 - right)) <= 1,
                 qPrintable(QStringLiteral("%1: %2 px left, %3 px right")
                                .arg(value)
                                .arg(left)
                                .arg(shot.width() - 1 - right)));
    }
    QCOMPARE(cmdConfig(w)->text(), QStringLiteral("設定"));
    QCOMPARE(cmdAction(w)->text(), QStringLiteral("スタート"));
    for (QPushButton *button : {cmdConfig(w), cmdAction(w)})
        QCOMPARE(button->font().pixelSize(), 32);
    // The Japanese texts must find a font that has their glyphs.
    QVERIFY(QFontMetrics(cmdAction(w)->font()).inFont(QChar(u'ス')));
    QCOMPARE(shpBack(w)->fillColour(), QColor(16, 16, 16));
}

void TestMainWindow::arrangement_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("dieLefts");
    for (int n = 1; n <= 4; ++n)
        QTest::addRow("%d dice", n) << n << DieLefts[n];
}

void TestMainWindow::arrangement()
{
    QFETCH(int, count);
    QFETCH(QList<int>, dieLefts);
    setSettings(6, count, 0);
    frmMain w;
    for (int i = 0; i < 4; ++i) {
        const bool shown = i < count;
        QCOMPARE(imgDice(w)[i]->isVisibleTo(&w), shown);
        QVERIFY(!lblDice(w)[i]->isVisibleTo(&w));
        QCOMPARE(imgDice(w)[i]->y(), 32);
        QCOMPARE(lblDice(w)[i]->y(), 248);
        QCOMPARE(WindowProbe::DieStopped(w)[i], std::int16_t(-1));
        QCOMPARE(WindowProbe::DieValue(w)[i], std::int16_t(0));
        if (shown) {
            QCOMPARE(imgDice(w)[i]->x(), dieLefts[i]);
            QCOMPARE(lblDice(w)[i]->x(), dieLefts[i] + 40);
            // The master's own picture, shared, not a copy.
            QCOMPARE(imgDice(w)[i]->picture().cacheKey(), WindowProbe::imgMdice(w)[0].cacheKey());
        } else {
            QVERIFY(imgDice(w)[i]->picture().isNull());
        }
    }
    QCOMPARE(WindowProbe::RollState(w), std::int16_t(frmMain::Ready));
    QVERIFY(cmdConfig(w)->isEnabled());
    QCOMPARE(cmdAction(w)->text(), QStringLiteral("スタート"));
}

void TestMainWindow::totalLayout_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("faces");
    QTest::addColumn<bool>("twoDigits");
    QTest::newRow("2 x 6") << 2 << 6 << true;
    QTest::newRow("2 x 5, largest 10") << 2 << 5 << true;
    QTest::newRow("1 x 10, largest 10") << 1 << 10 << true;
    QTest::newRow("3 x 3, largest 9") << 3 << 3 << false;
    QTest::newRow("1 x 6") << 1 << 6 << false;
    QTest::newRow("4 x 2") << 4 << 2 << false;
}

void TestMainWindow::totalLayout()
{
    QFETCH(int, count);
    QFETCH(int, faces);
    QFETCH(bool, twoDigits);
    setSettings(faces, count, -1); // the zero face does not change the layout
    frmMain w;
    QCOMPARE(imgTotal(w)[0]->isVisibleTo(&w), twoDigits);
    QVERIFY(imgTotal(w)[1]->isVisibleTo(&w));
    QCOMPARE(imgTotal(w)[1]->x(), twoDigits ? 500 : 400); // 7500 or 6000 twips
    if (twoDigits)
        QCOMPARE(imgTotal(w)[0]->x(), 316); // 4740
    // 4320 to 10935 twips, or 5640 to 9375; 5760 to 9735 down
    QCOMPARE(shpBack(w)->geometry(),
             twoDigits ? QRect(288, 384, 441, 265) : QRect(376, 384, 249, 265));
    // Both positions hold the dark digit, the hidden one too.
    for (PictureBox *digit : imgTotal(w))
        QCOMPARE(digit->picture().cacheKey(), WindowProbe::imgMdigi(w)[BlankDigit].cacheKey());
}

void TestMainWindow::fewerDiceClearHiddenSlots()
{
    setSettings(6, 4, 0);
    frmMain w;
    cmdAction(w)->click();
    WindowProbe::tick(w);
    cmdAction(w)->click();
    setSettings(6, 2, 0);
    cmdAction(w)->click(); // reset arranges for the new count
    QCOMPARE(WindowProbe::RollState(w), std::int16_t(frmMain::Ready));
    for (int i : {2, 3}) {
        QVERIFY(!imgDice(w)[i]->isVisibleTo(&w));
        QVERIFY(imgDice(w)[i]->picture().isNull());
        QVERIFY(!lblDice(w)[i]->isVisibleTo(&w));
    }
    QCOMPARE(imgDice(w)[0]->x(), DieLefts[2][0]);
    QCOMPARE(imgDice(w)[1]->x(), DieLefts[2][1]);
}

void TestMainWindow::stackingOrder()
{
    frmMain w;
    // The units digit covers the last 255 twips (17 px) of the tens digit.
    const QRect tens = imgTotal(w)[0]->geometry();
    const QRect units = imgTotal(w)[1]->geometry();
    QCOMPARE(tens.right() - units.left() + 1, 17);
    QCOMPARE(w.childAt(units.left() + 1, units.center().y()), imgTotal(w)[1]);
    QCOMPARE(w.childAt(tens.left() + 1, tens.center().y()), imgTotal(w)[0]);
    // The panel lies below both digits and shows around them.
    QCOMPARE(w.childAt(shpBack(w)->x() + 2, shpBack(w)->y() + 2), shpBack(w));
    // The buttons are above everything else.
    const QObjectList order = w.children();
    const auto index = [&](QObject *o) { return order.indexOf(o); };
    QVERIFY(index(shpBack(w)) < index(imgDice(w)[0]));
    QVERIFY(index(lblDice(w)[3]) < index(imgTotal(w)[0]));
    QVERIFY(index(imgTotal(w)[0]) < index(imgTotal(w)[1]));
    QVERIFY(index(imgTotal(w)[1]) < index(cmdConfig(w)));
    QVERIFY(index(imgTotal(w)[1]) < index(cmdAction(w)));
}

// Keys after the window opens: what each sequence presses.
void TestMainWindow::keyboard_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("dialogOpens");
    QTest::addColumn<int>("rollState");
    QTest::addColumn<QString>("focus");
    QTest::newRow("nothing: focus on settings") << QList<int>{} << false << 0 << "cmdConfig";
    QTest::newRow("Enter opens the settings")
        << QList<int>{Qt::Key_Return} << true << 0 << "cmdConfig";
    QTest::newRow("keypad Enter opens the settings")
        << QList<int>{Qt::Key_Enter} << true << 0 << "cmdConfig";
    QTest::newRow("Space opens the settings")
        << QList<int>{Qt::Key_Space} << true << 0 << "cmdConfig";
    QTest::newRow("Tab then Enter starts")
        << QList<int>{Qt::Key_Tab, Qt::Key_Return} << false << 1 << "cmdAction";
    QTest::newRow("Tab twice is back on settings")
        << QList<int>{Qt::Key_Tab, Qt::Key_Tab} << false << 0 << "cmdConfig";
    QTest::newRow("Tab, Enter, Enter stops")
        << QList<int>{Qt::Key_Tab, Qt::Key_Return, Qt::Key_Return} << false << 2 << "cmdAction";
    // While the settings button is disabled Tab cannot leave the action button.
    QTest::newRow("rolling keeps the focus on the action button")
        << QList<int>{Qt::Key_Tab, Qt::Key_Return, Qt::Key_Tab} << false << 1 << "cmdAction";
    QTest::newRow("full cycle by Space")
        << QList<int>{Qt::Key_Tab, Qt::Key_Space, Qt::Key_Space, Qt::Key_Space} << false << 0
        << "cmdAction";
}

void TestMainWindow::keyboard()
{
    QFETCH(QList<int>, keys);
    QFETCH(bool, dialogOpens);
    QFETCH(int, rollState);
    QFETCH(QString, focus);
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    bool opened = false;
    for (int key : keys) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
            whenModalOpens([&](QWidget *modal) { opened = opened || modal != nullptr; });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCoreApplication::processEvents();
    }
    QCOMPARE(opened, dialogOpens);
    w.activateWindow(); // a window manager would do this once the dialog is gone
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(int(WindowProbe::RollState(w)), rollState);
    QCOMPARE(QApplication::focusWidget(), focus == "cmdConfig" ? cmdConfig(w) : cmdAction(w));
}

// Every family the program may pick fits every text of both windows at
// the designed sizes, and "10" in its label and its box.
void TestMainWindow::textsFit_data()
{
    QTest::addColumn<QString>("family");
    for (const QString &family : gothicFamilyCandidates())
        QTest::newRow(qPrintable(family)) << family;
}

void TestMainWindow::textsFit()
{
    QFETCH(QString, family);
    if (!QFontDatabase::hasFamily(family))
        QSKIP("not installed here");
    frmMain w;
    frmConf dialog(nullptr);
    struct Text {
        QWidget *control;
        QString text;
        int pixels;
    };
    const QList<Text> texts = {{lblDice(w)[0], "10", 96},
                               {cmdConfig(w), "設定", 32},
                               {cmdAction(w), "スタート", 32},
                               {cmdAction(w), "ストップ", 32},
                               {cmdAction(w), "リセット", 32},
                               {lblCap(dialog)[0], "から", 24},
                               {lblCap(dialog)[1], "までのミルバネを", 24},
                               {lblCap(dialog)[2], "個使用", 24},
                               {cmdOK(dialog), "OK", 24},
                               {cmdCancel(dialog), "キャンセル", 24},
                               {cboDice(dialog)[1], "10", 24}};
    for (const Text &t : texts) {
        QFont font(family);
        font.setPixelSize(t.pixels);
        const QFontMetrics metrics(font);
        const QRect ink = metrics.tightBoundingRect(t.text);
        QSize room = t.control->size();
        int needed = metrics.horizontalAdvance(t.text);
        if (auto *button = qobject_cast<QPushButton *>(t.control)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = t.text;
            const QSize size = button->style()->sizeFromContents(
                QStyle::CT_PushButton, &option, metrics.size(Qt::TextShowMnemonic, t.text), button);
            needed = size.width();
            QVERIFY2(ink.height() <= room.height(), qPrintable(t.text));
        } else if (auto *box = qobject_cast<QComboBox *>(t.control)) {
            QStyleOptionComboBox option;
            option.initFrom(box);
            room = box->style()
                       ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                        box)
                       .size();
        } else if (t.pixels == 96) {
            needed = ink.width(); // centred by its ink
        }
        QVERIFY2(needed <= room.width() && ink.height() <= room.height(),
                 qPrintable(QStringLiteral("\"%1\" needs %2 x %3 px, has %4 x %5")
                                .arg(t.text)
                                .arg(needed)
                                .arg(ink.height())
                                .arg(room.width())
                                .arg(room.height())));
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
