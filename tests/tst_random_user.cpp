// A long random run of what a user (or a cat on the keyboard) can do, every
// invariant checked after each event; a failure prints the events that led
// to it. MILBANE_SEED and MILBANE_EVENTS change the seed and the length.
#include "TestSupport.h"

#include <QScopeGuard>
#include <QThread>

#include <random>

namespace
{

// Where a key goes in a window: its focused control, else the window.
QWidget *focused(QWidget *window)
{
    return window->focusWidget() ? window->focusWidget() : window;
}

} // namespace

class TestRandomUser : public QObject
{
    Q_OBJECT

private slots:
    void play()
    {
        const auto given = [](const char *name, int otherwise) {
            return qEnvironmentVariableIsSet(name) ? qEnvironmentVariableIntValue(name) : otherwise;
        };
        m_seed = quint32(given("MILBANE_SEED", 20261207));
        const int events = given("MILBANE_EVENTS", 20000);
        qInfo("random user: seed %u, %d events (MILBANE_SEED, MILBANE_EVENTS to change)", m_seed,
              events);
        m_rng.seed(m_seed);

        setSettings(6, 2, 0);
        m_expected = settingsNow();
        frmMain window(std::make_unique<UniformRandom>(m_seed));
        m_window = &window;
        QVERIFY(shown(window, Active));
        QVERIFY(check("start"));

        // Whenever the dialog is up, it is played from within its own loop.
        m_baseLoopLevel = QThread::currentThread()->loopLevel();
        QTimer dialogWatch;
        dialogWatch.setInterval(0);
        connect(&dialogWatch, &QTimer::timeout, this, &TestRandomUser::playDialog);
        dialogWatch.start();

        const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Tab,
                                Qt::Key_Escape};
        for (int e = 0; e < events && !m_failed; ++e) {
            const int roll = pick(100);
            if (roll < 25) {
                event("click action");
                QTest::mouseClick(cmdAction(window), Qt::LeftButton);
            } else if (roll < 32) {
                event("click settings");
                QTest::mouseClick(cmdConfig(window), Qt::LeftButton);
            } else if (roll < 60) {
                const Qt::Key key = keys[pick(5)];
                QWidget *target = focused(&window);
                event(QStringLiteral("key %1 on %2")
                          .arg(QKeySequence(key).toString(), target->objectName()));
                QTest::keyClick(target, key);
            } else if (roll < 99) {
                event("tick");
                WindowProbe::tick(window);
            } else {
                event("wait for the real timer");
                QTest::qWait(40);
            }
            QCoreApplication::processEvents();
            // Keys reach only the active window, as on a desktop.
            if (!window.isActiveWindow()) {
                window.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&window));
            }
            QVERIFY(check("main window"));
        }
        QVERIFY(!m_failed);
        qInfo("random user: %lld events played, %d openings of the dialog",
              qlonglong(m_events.size()), m_dialogs);
        QVERIFY(m_dialogs > 0);
    }

private:
    void event(const QString &what) { m_events << what; }

    // Runs inside the dialog's own event loop: a few random moves, then out by
    // OK, Cancel, the close box or Enter.
    void playDialog()
    {
        // Only from within the dialog's own loop, never while it is being shown.
        auto *dialog = qobject_cast<frmConf *>(QApplication::activeModalWidget());
        if (!dialog || QThread::currentThread()->loopLevel() <= m_baseLoopLevel || m_inDialog)
            return;
        m_inDialog = true;
        const auto leave = qScopeGuard([this] { m_inDialog = false; });
        ++m_dialogs;
        const auto activate = [this, dialog] {
            if (dialog->isActiveWindow())
                return true;
            dialog->activateWindow();
            if (QTest::qWaitForWindowActive(dialog) && dialog->isActiveWindow())
                return true;
            // The offscreen platform can leave the widget side behind.
            QApplication::setActiveWindow(dialog);
            if (dialog->isActiveWindow())
                return true;
            qWarning("random user: the dialog did not become active");
            m_failed = true;
            dialog->reject(); // leave its loop, or the test would hang
            return false;
        };
        // A few moves: a box set by hand, a key, or a tick of the roll timer.
        const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Escape, Qt::Key_Up, Qt::Key_Down};
        const int moves = pick(8);
        for (int m = 0; m < moves && !m_failed; ++m) {
            const int move = pick(6);
            if (move == 0) {
                const int box = pick(3);
                const int index = pick(cboDice(*dialog)[box]->count());
                event(QStringLiteral("  dialog: box %1 to entry %2").arg(box).arg(index));
                cboDice(*dialog)[box]->setCurrentIndex(index);
            } else if (move == 5) {
                event("  dialog: tick");
                WindowProbe::tick(*m_window);
            } else {
                event(QStringLiteral("  dialog: %1").arg(QKeySequence(keys[move - 1]).toString()));
                if (!activate())
                    return;
                QTest::keyClick(focused(dialog), keys[move - 1]);
                // No button answers Escape: the dialog stays open.
                if (!dialog->isVisible()) {
                    check("a key closed the dialog");
                    m_failed = true;
                    return;
                }
            }
            check("inside the dialog");
        }
        const QString chosen = settings(cboDice(*dialog)[1]->currentIndex() + 2,
                                        cboDice(*dialog)[2]->currentIndex() + 1,
                                        cboDice(*dialog)[0]->currentIndex() == 0 ? -1 : 0);
        switch (pick(4)) {
        case 0:
            event("  dialog: click OK");
            m_expected = chosen;
            QTest::mouseClick(cmdOK(*dialog), Qt::LeftButton);
            break;
        case 1:
            event("  dialog: click Cancel");
            QTest::mouseClick(cmdCancel(*dialog), Qt::LeftButton);
            break;
        case 2:
            event("  dialog: close box");
            dialog->close();
            break;
        default:
            // Enter presses the focused button, else OK.
            if (!activate())
                return;
            if (focused(dialog) != cmdCancel(*dialog))
                m_expected = chosen;
            event(QStringLiteral("  dialog: Enter on %1")
                      .arg(QString::fromLatin1(focused(dialog)->metaObject()->className())));
            QTest::keyClick(focused(dialog), Qt::Key_Return);
            break;
        }
    }

    bool check(const QString &where)
    {
        if (m_failed)
            return false;
        QString problem = violation(*m_window);
        if (problem.isEmpty() && settingsNow() != m_expected)
            problem = QStringLiteral("settings are %1, expected %2").arg(settingsNow(), m_expected);
        if (problem.isEmpty())
            return true;
        m_failed = true;
        qWarning("random user: %s after event %lld (%s); seed %u; the last events:",
                 qPrintable(problem), qlonglong(m_events.size()), qPrintable(where), m_seed);
        for (qsizetype i = std::max<qsizetype>(0, m_events.size() - 30); i < m_events.size(); ++i)
            qWarning("  %lld: %s", qlonglong(i + 1), qPrintable(m_events[i]));
        return false;
    }

    std::mt19937 m_rng;
    frmMain *m_window = nullptr;
    QStringList m_events;
    quint32 m_seed = 0;
    bool m_failed = false;
    QString m_expected;
    int m_dialogs = 0;
    int m_baseLoopLevel = 0;
    bool m_inDialog = false;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
};

QTEST_MAIN(TestRandomUser)
#include "tst_random_user.moc"
