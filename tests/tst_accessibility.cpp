// What a screen reader hears: Japanese names on the dice, their values, the
// total and the buttons, kept up to date as a throw goes on.
#include "TestSupport.h"

#include "main_window/PictureBox.h"
#include "main_window/ShapeBox.h"
#include "main_window/frmMain.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace
{

QString spoken(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void names_data();
    void names();
};

void TestAccessibility::names_data()
{
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("dice");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("action");
    QTest::newRow("ready") << 0 << QStringList{"ミルバネ1: 空白", "ミルバネ2: 空白"} << "合計: なし"
                           << "スタート";
    QTest::newRow("rolling") << 1 << QStringList{"ミルバネ1: 回転中", "ミルバネ2: 回転中"}
                             << "合計: なし"
                             << "ストップ";
    QTest::newRow("result") << 2 << QStringList{"ミルバネ1: 3", "ミルバネ2: 6"} << "合計: 9"
                            << "リセット";
    QTest::newRow("reset") << 3 << QStringList{"ミルバネ1: 空白", "ミルバネ2: 空白"} << "合計: なし"
                           << "スタート";
}

void TestAccessibility::names()
{
    QFETCH(int, clicks);
    QFETCH(QStringList, dice);
    QFETCH(QString, total);
    QFETCH(QString, action);
    setSettings(6, 2, 0);
    std::deque<float> values = {0.4f, 0.9f};
    frmMain w(std::make_unique<ScriptedRandom>(&values));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (int c = 0; c < clicks; ++c) {
        w.cmdAction_Click();
        if (c == 0)
            w.tmrDice_Timer();
    }
    for (int i = 0; i < 2; ++i)
        QCOMPARE(spoken(w.imgDice[i]), dice[i]);
    if (clicks == 2) {
        QCOMPARE(spoken(w.lblDice[0]), QStringLiteral("ミルバネ1の目: 3"));
        QCOMPARE(spoken(w.lblDice[1]), QStringLiteral("ミルバネ2の目: 6"));
    }
    QCOMPARE(spoken(w.shpBack), total);
    QCOMPARE(spoken(w.cmdAction), action);
    QCOMPARE(spoken(w.cmdConfig), QStringLiteral("設定"));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
