// A throw: start, the ticks of the roll timer, stop with the total, reset.
#include "TestSupport.h"

#include <cmath>
#include <set>

namespace
{
// The largest float below 1.
const float AlmostOne = std::nextafter(1.0f, 0.0f);

struct PaintCounter : QObject {
    std::set<QObject *> painted;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted.insert(watched);
        return false;
    }
};
} // namespace

class TestRollCycle : public QObject
{
    Q_OBJECT

private slots:
    void init() { setSettings(6, 2, 0); }

    // Clicks from a fresh window, each followed by a tick: the state reached,
    // and all else as the window must show it there.
    void stateMachine_data()
    {
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("state");
        QTest::newRow("fresh: Ready") << 0 << 0;
        QTest::newRow("Ready -> Rolling") << 1 << 1;
        // The timer runs only while dice roll: idle, it would wake for nothing.
        QTest::newRow("Rolling -> Result") << 2 << 2;
        QTest::newRow("Result -> Ready") << 3 << 0;
        QTest::newRow("Ready -> Rolling again") << 4 << 1;
        QTest::newRow("Rolling -> Result again") << 5 << 2;
    }

    void stateMachine()
    {
        QFETCH(int, clicks);
        QFETCH(int, state);
        std::deque<float> values;
        frmMain w(std::make_unique<ScriptedRandom>(&values));
        for (int c = 0; c < clicks; ++c) {
            QTest::mouseClick(cmdAction(w), Qt::LeftButton);
            WindowProbe::tick(w);
        }
        QCOMPARE(violation(w), QString());
        QCOMPARE(int(WindowProbe::RollState(w)), state);
        QCOMPARE(tmrDice(w)->timerType(), Qt::PreciseTimer);
    }

    void ticksDrawOnlyForRollingDice()
    {
        std::deque<float> values = {0.0f, 0.5f, AlmostOne, 0.2f};
        auto random = std::make_unique<ScriptedRandom>(&values);
        ScriptedRandom *source = random.get();
        frmMain w(std::move(random));
        // Ready, a start (no new face until the first tick), two ticks of
        // one draw per die in slot order, the stop, and ticks that change nothing.
        struct Step {
            int clicks, ticks;
            const char *after; // the draws so far and the dice's values
        };
        const Step steps[] = {{0, 1, "0 draws, dice 0 and 0"},
                              {1, 0, "0 draws, dice 0 and 0"},
                              {0, 1, "2 draws, dice 1 and 4"},
                              {0, 1, "4 draws, dice 6 and 2"},
                              {1, 5, "4 draws, dice 6 and 2"}};
        for (std::size_t n = 0; n < std::size(steps); ++n) {
            for (int c = 0; c < steps[n].clicks; ++c)
                cmdAction(w)->click();
            for (int t = 0; t < steps[n].ticks; ++t)
                WindowProbe::tick(w);
            const QString step = QStringLiteral("step %1").arg(n + 1);
            const QString fault = violation(w);
            QVERIFY2(fault.isEmpty(), qPrintable(step + ": " + fault));
            const QString seen =
                QString::asprintf("%d draws, dice %d and %d", source->draws,
                                  WindowProbe::DieValue(w)[0], WindowProbe::DieValue(w)[1]);
            QCOMPARE(mismatch(step, seen, QString(steps[n].after)), QString());
        }
    }

    void edgeDraws_data()
    {
        QTest::addColumn<int>("faces");
        QTest::addColumn<int>("zero");
        QTest::addColumn<float>("r");
        QTest::addColumn<int>("value");
        for (int faces : {2, 10}) {
            QTest::addRow("%d faces, r = 0", faces) << faces << 0 << 0.0f << 1;
            QTest::addRow("%d faces, r < 1", faces) << faces << 0 << AlmostOne << faces;
            QTest::addRow("%d faces from 0, r = 0", faces) << faces << -1 << 0.0f << 0;
            QTest::addRow("%d faces from 0, r < 1", faces) << faces << -1 << AlmostOne << faces;
        }
        QTest::newRow("6 faces, r = 0.5") << 6 << 0 << 0.5f << 4;
        QTest::newRow("6 faces from 0, r = 0.5") << 6 << -1 << 0.5f << 3;
        // Just below a step of 1/6 must not round up into the next face.
        QTest::newRow("6 faces, r just below 1/6")
            << 6 << 0 << std::nextafter(1.0f / 6.0f, 0.0f) << 1;
        // In single precision 0.8333333f * 6 rounds to 5.0f (in double, below 5).
        QTest::newRow("6 faces, r = 0.8333333f") << 6 << 0 << 0.8333333f << 6;
    }

    void edgeDraws()
    {
        QFETCH(int, faces);
        QFETCH(int, zero);
        QFETCH(float, r);
        QFETCH(int, value);
        setSettings(faces, 1, zero);
        std::deque<float> values = {r};
        frmMain w(std::make_unique<ScriptedRandom>(&values));
        clickAction(w, 2);
        QCOMPARE(violation(w), QString());
        QCOMPARE(lblDice(w)[0]->text(), QString::number(value));
    }

    void totals_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("faces");
        QTest::addColumn<int>("zero");
        QTest::addColumn<QList<float>>("draws");
        QTest::addColumn<int>("tens");
        QTest::addColumn<int>("units");
        // Stopped before the first tick: the dice show the blank face, read 0.
        QTest::newRow("stopped at once") << 2 << 6 << 0 << QList<float>{} << BlankDigit << 0;
        QTest::newRow("0 from zero faces")
            << 2 << 6 << -1 << QList<float>{0.0f, 0.0f} << BlankDigit << 0;
        QTest::newRow("7 = 3 + 4") << 2 << 6 << 0 << QList<float>{0.34f, 0.5f} << BlankDigit << 7;
        QTest::newRow("10 = 5 + 5") << 2 << 5 << 0 << QList<float>{AlmostOne, AlmostOne} << 1 << 0;
        QTest::newRow("40 = four tens")
            << 4 << 10 << 0 << QList<float>{AlmostOne, AlmostOne, AlmostOne, AlmostOne} << 4 << 0;
        QTest::newRow("19 = 10 + 9") << 2 << 10 << 0 << QList<float>{AlmostOne, 0.85f} << 1 << 9;
        // One-digit layout: the hidden tens position still gets the dark digit.
        QTest::newRow("6 alone") << 1 << 6 << 0 << QList<float>{AlmostOne} << BlankDigit << 6;
    }

    void totals()
    {
        QFETCH(int, count);
        QFETCH(int, faces);
        QFETCH(int, zero);
        QFETCH(QList<float>, draws);
        QFETCH(int, tens);
        QFETCH(int, units);
        setSettings(faces, count, zero);
        std::deque<float> values(draws.begin(), draws.end());
        frmMain w(std::make_unique<ScriptedRandom>(&values));
        cmdAction(w)->click();
        if (!draws.isEmpty())
            WindowProbe::tick(w);
        cmdAction(w)->click();
        QCOMPARE(violation(w), QString());
        QCOMPARE(imgTotal(w)[0]->picture(), WindowProbe::imgMdigi(w)(tens));
        QCOMPARE(imgTotal(w)[1]->picture(), WindowProbe::imgMdigi(w)(units));
    }

    void tickRepaintsOnlyChangedDice()
    {
        setSettings(6, 3, 0);
        // Die 1 rolls the same face twice, so only dice 0 and 2 change.
        std::deque<float> values = {0.0f, 0.5f, 0.0f, AlmostOne, 0.5f, 0.5f};
        frmMain w(std::make_unique<ScriptedRandom>(&values));
        QVERIFY(shown(w));
        cmdAction(w)->click();
        WindowProbe::tick(w);
        QCoreApplication::processEvents();

        PaintCounter counter;
        for (QObject *child : w.children())
            child->installEventFilter(&counter);
        WindowProbe::tick(w);
        QCoreApplication::processEvents();
        const std::set<QObject *> expected = {imgDice(w)[0], imgDice(w)[2]};
        QCOMPARE(counter.painted, expected);
    }

    // Many draws through the real generator and the window's formula, one die,
    // every setting: each face in range and as frequent as chance allows.
    void fairness_data()
    {
        QTest::addColumn<int>("faces");
        QTest::addColumn<int>("zero");
        for (int faces = 2; faces <= 10; ++faces) {
            QTest::addRow("1 to %d", faces) << faces << 0;
            QTest::addRow("0 to %d", faces) << faces << -1;
        }
    }

    void fairness()
    {
        QFETCH(int, faces);
        QFETCH(int, zero);
        setSettings(faces, 1, zero);
        frmMain w(std::make_unique<UniformRandom>(20261207u + faces * 2 + (zero ? 1 : 0)));
        cmdAction(w)->click();

        const int lowest = zero ? 0 : 1, outcomes = faces - lowest + 1, draws = 2000 * outcomes;
        std::vector<int> counts(static_cast<std::size_t>(outcomes), 0);
        for (int d = 0; d < draws; ++d) {
            WindowProbe::tick(w);
            const int v = WindowProbe::DieValue(w)[0];
            QVERIFY2(v >= lowest,
                     qPrintable(QString::asprintf("drew %d, below %d to %d", v, lowest, faces)));
            QVERIFY2(v <= faces,
                     qPrintable(QString::asprintf("drew %d, above %d to %d", v, lowest, faces)));
            ++counts[static_cast<std::size_t>(v - lowest)];
        }
        double chiSquare = 0;
        for (const double c : counts)
            chiSquare += (c - 2000) * (c - 2000) / 2000; // 2000 expected of each
        // Upper 0.1 % points of chi-square for 1 to 10 degrees of freedom.
        const double critical[] = {10.83, 13.82, 16.27, 18.47, 20.52,
                                   22.46, 24.32, 26.12, 27.88, 29.59};
        QVERIFY2(chiSquare < critical[outcomes - 2],
                 qPrintable(
                     QStringLiteral("chi-square %1 for %2 outcomes").arg(chiSquare).arg(outcomes)));
    }

    void randomSource()
    {
        // 24 random bits to a float: exact multiples of 2^-24, never 1.
        QCOMPARE(unitFromBits(0u), 0.0f);
        QCOMPARE(unitFromBits(1u), 0x1p-24f);
        QCOMPARE(unitFromBits(0xFFFFFFu), 1.0f - 0x1p-24f);

        // Two runs of the program must not throw the same sequence.
        UniformRandom first, second;
        int same = 0;
        for (int i = 0; i < 8; ++i) {
            const float a = first.next();
            QVERIFY2(a >= 0.0f, qPrintable(QString::asprintf("drew %g, below 0", a)));
            QVERIFY2(a < 1.0f, qPrintable(QString::asprintf("drew %g, not below 1", a)));
            if (a == second.next())
                ++same;
        }
        QVERIFY2(same < 8, "both threw the same eight values");
    }
};

QTEST_MAIN(TestRollCycle)
#include "tst_roll_cycle.moc"
