// What a screen reader finds: Japanese names on the dice, their values, the
// total and the buttons, kept up to date as a throw goes on; each change
// announced; the window a frame whose parts are named.
#include "TestSupport.h"

#include <QAccessible>

namespace
{

QString spoken(QWidget *widget, QAccessible::Text text = QAccessible::Name)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(text) : QString();
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    // Four dice, so that every die and value is heard.
    void names_data()
    {
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QStringList>("dice");
        QTest::addColumn<QStringList>("values"); // the value labels', in a result
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("announced");
        const QStringList blank = {"ミルバネ1: 空白", "ミルバネ2: 空白", "ミルバネ3: 空白",
                                   "ミルバネ4: 空白"};
        const QString none = "合計: なし";
        const QString start = caption("cmdAction", frmMain::Ready);
        const QString stop = caption("cmdAction", frmMain::Rolling);
        QTest::newRow("ready") << 0 << blank << QStringList() << none << start << start;
        QTest::newRow("rolling") << 1
                                 << QStringList{"ミルバネ1: 回転中", "ミルバネ2: 回転中",
                                                "ミルバネ3: 回転中", "ミルバネ4: 回転中"}
                                 << QStringList() << none << stop << stop;
        QTest::newRow("result")
            << 2 << QStringList{"ミルバネ1: 3", "ミルバネ2: 6", "ミルバネ3: 1", "ミルバネ4: 5"}
            << QStringList{"ミルバネ1の目: 3", "ミルバネ2の目: 6", "ミルバネ3の目: 1",
                           "ミルバネ4の目: 5"}
            << QString("合計: 15") << caption("cmdAction", frmMain::Result)
            << QString(
                   "合計: 15。ミルバネ1: 3、ミルバネ2: 6、ミルバネ3: 1、ミルバネ4: 5。リセット");
        QTest::newRow("reset") << 3 << blank << QStringList() << none << start << start;
    }

    void names()
    {
        QFETCH(int, clicks);
        QFETCH(QStringList, dice);
        QFETCH(QStringList, values);
        QFETCH(QString, total);
        QFETCH(QString, action);
        QFETCH(QString, announced);
        setSettings(6, 4, 0);
        std::deque<float> draws = {0.4f, 0.9f, 0.1f, 0.7f};
        frmMain w(std::make_unique<ScriptedRandom>(&draws));
        QVERIFY(shown(w));
        clickAction(w, clicks);
        for (int i = 0; i < dice.size(); ++i) {
            QCOMPARE(spoken(imgDice(w)[i]), dice[i]);
            QCOMPARE(QAccessible::queryAccessibleInterface(imgDice(w)[i])->role(),
                     QAccessible::Graphic);
        }
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(spoken(lblDice(w)[i]), values[i]);
        QCOMPARE(spoken(shpBack(w)), total);
        QCOMPARE(spoken(cmdAction(w)), action);
        QCOMPARE(spoken(cmdConfig(w)), caption("cmdConfig"));
        // "Where am I" on the action button finds the result there.
        QCOMPARE(
            spoken(cmdAction(w), QAccessible::Description),
            clicks == 2
                ? QStringLiteral("合計: 15。ミルバネ1: 3、ミルバネ2: 6、ミルバネ3: 1、ミルバネ4: 5")
                : QString());

        // A frame of named parts: the dice and the total are images, the digit
        // pictures are left out, the last change is a notification.
        QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(&w);
        QCOMPARE(frame->role(), QAccessible::Window);
        QCOMPARE(QAccessible::queryAccessibleInterface(shpBack(w))->role(), QAccessible::Graphic);
        QString notification;
        for (int i = 0; i < frame->childCount(); ++i) {
            QAccessibleInterface *part = frame->child(i);
            const QString name = part->object()->objectName();
            QVERIFY2(!name.startsWith("imgTotal"), qPrintable(name + " is a part of its own"));
            QVERIFY2(!part->text(QAccessible::Name).isEmpty(), qPrintable(name + " has no name"));
            QCOMPARE(mismatch(name + "'s place among the parts", frame->indexOfChild(part), i),
                     QString());
            if (part->role() == QAccessible::Notification)
                notification = part->text(QAccessible::Name);
        }
        QCOMPARE(frame->childCount(), 4 + 4 + 1 + 2 + 1); // dice, labels, total, buttons, notice
        QCOMPARE(notification, announced);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
