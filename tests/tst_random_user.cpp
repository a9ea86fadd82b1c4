// A long random sequence of what a user (or a cat on the keyboard) can do,
// on the real windows, with every invariant of the window checked after each
// event. The seed is printed; MILBANE_SEED and MILBANE_EVENTS override it
// and the length. A failure prints the events that led to it.
#include "TestSupport.h"

#include "pictures/DigitPictures.h"
#include "widgets/PictureBox.h"
#include "widgets/ShapeBox.h"
#include "windows/frmConf.h"
#include "windows/frmMain.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <QScopeGuard>
#include <QThread>

#include <random>

namespace
{

struct Settings {
    int faces, count, zero;
    bool operator==(const Settings &) const = default;
    QString text() const { return QStringLiteral("%1/%2/%3").arg(faces).arg(count).arg(zero); }
};

Settings current()
{
    return {basMain::DiceFaces, basMain::DiceCount, basMain::ZeroFace};
}

// Everything that must hold between two events, or what does not.
QString violation(frmMain &w)
{
    const int state = WindowProbe::RollState(w);
    const int n = basMain::DiceCount;
    const int faces = basMain::DiceFaces;
    const int zero = basMain::ZeroFace;
    if (zero != 0 && zero != -1)
        return QStringLiteral("ZeroFace is %1").arg(zero);
    if (n < 1 || n > 4 || faces < 2 || faces > 10)
        return QStringLiteral("settings %1 dice of %2 faces").arg(n).arg(faces);
    if (state < 0 || state > 2)
        return QStringLiteral("RollState %1").arg(state);
    const QString captions[] = {QStringLiteral("スタート"), QStringLiteral("ストップ"),
                                QStringLiteral("リセット")};
    if (cmdAction(w)->text() != captions[state])
        return QStringLiteral("caption %1 in state %2").arg(cmdAction(w)->text()).arg(state);
    if (cmdConfig(w)->isEnabled() != (state == frmMain::Ready))
        return QStringLiteral("settings button enabled is wrong in state %1").arg(state);
    if (tmrDice(w)->isActive() != (state == frmMain::Rolling))
        return QStringLiteral("roll timer running is %1 in state %2")
            .arg(tmrDice(w)->isActive())
            .arg(state);

    int sum = 0;
    for (int i = 0; i < 4; ++i) {
        const PictureBox *die = imgDice(w)[i];
        const QLabel *label = lblDice(w)[i];
        const bool shown = i < n;
        if (die->isVisibleTo(&w) != shown)
            return QStringLiteral("die %1 shown is %2").arg(i).arg(!shown);
        if (label->isVisibleTo(&w) != (shown && state == frmMain::Result))
            return QStringLiteral("label %1 visibility in state %2").arg(i).arg(state);
        const int stopped = (state == frmMain::Rolling && shown) ? 0 : -1;
        if (WindowProbe::DieStopped(w)[i] != stopped)
            return QStringLiteral("die %1 stopped is %2").arg(i).arg(WindowProbe::DieStopped(w)[i]);
        if (!shown) {
            if (!die->picture().isNull())
                return QStringLiteral("hidden die %1 holds a picture").arg(i);
            continue;
        }
        const int x = dieLefts(n)[i];
        if (die->pos() != QPoint(x, 32) || label->pos() != QPoint(x + 40, 248))
            return QStringLiteral("die %1 out of place").arg(i);
        const int v = WindowProbe::DieValue(w)[i];
        const int lowest = zero == -1 ? 0 : 1;
        if (v != 0 && (v < lowest || v > faces))
            return QStringLiteral("die %1 shows %2 with faces %3").arg(i).arg(v).arg(faces);
        if (state == frmMain::Ready && v != 0)
            return QStringLiteral("die %1 holds %2 in Ready").arg(i).arg(v);
        if (die->picture() != WindowProbe::imgMdice(w)(v))
            return QStringLiteral("die %1 picture is not face %2").arg(i).arg(v);
        if (state == frmMain::Result && label->text() != QString::number(v))
            return QStringLiteral("label %1 reads %2, die %3").arg(i).arg(label->text()).arg(v);
        sum += v;
    }

    const bool twoDigits = n * faces >= 10;
    if (imgTotal(w)[0]->isVisibleTo(&w) != twoDigits ||
        imgTotal(w)[1]->x() != (twoDigits ? 500 : 400) ||
        shpBack(w)->x() != (twoDigits ? 288 : 376) ||
        shpBack(w)->width() != (twoDigits ? 441 : 249))
        return QStringLiteral("total layout wrong for %1 x %2").arg(n).arg(faces);
    const int tens = state == frmMain::Result && sum > 9 ? sum / 10 : BlankDigit;
    const int units = state == frmMain::Result ? sum % 10 : BlankDigit;
    if (imgTotal(w)[0]->picture() != WindowProbe::imgMdigi(w)(tens) ||
        imgTotal(w)[1]->picture() != WindowProbe::imgMdigi(w)(units))
        return QStringLiteral("total pictures do not show %1").arg(sum);
    return {};
}

} // namespace

class TestRandomUser : public QObject
{
    Q_OBJECT

private slots:
    void play();

private:
    void event(const QString &what);
    void playDialog();
    QWidget *focused(QWidget *window) const;
    bool check(const QString &where);

    std::mt19937 m_rng;
    frmMain *m_window = nullptr;
    QStringList m_events;
    quint32 m_seed = 0;
    bool m_failed = false;
    Settings m_expected{};
    int m_dialogs = 0;
    int m_baseLoopLevel = 0;
    bool m_inDialog = false;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
};

// Where a key goes in a window: its focused control, else the window.
QWidget *TestRandomUser::focused(QWidget *window) const
{
    return window->focusWidget() ? window->focusWidget() : window;
}

bool TestRandomUser::check(const QString &where)
{
    if (m_failed)
        return false;
    QString problem = violation(*m_window);
    if (problem.isEmpty() && !(current() == m_expected))
        problem =
            QStringLiteral("settings are %1, expected %2").arg(current().text(), m_expected.text());
    if (problem.isEmpty())
        return true;
    m_failed = true;
    const QString path =
        QDir(QCoreApplication::applicationDirPath()).filePath("random_user_events.txt");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text))
        file.write(m_events.join('\n').toUtf8());
    qWarning("random user: %s after event %lld (%s); seed %u; all events in %s; the last ones:",
             qPrintable(problem), qlonglong(m_events.size()), qPrintable(where), m_seed,
             qPrintable(path));
    for (qsizetype i = std::max<qsizetype>(0, m_events.size() - 30); i < m_events.size(); ++i)
        qWarning("  %lld: %s", qlonglong(i + 1), qPrintable(m_events[i]));
    return false;
}

void TestRandomUser::event(const QString &what)
{
    m_events << what;
}

// Runs inside the dialog's own event loop: a few random moves, then out by
// OK, Cancel, the close box or Enter.
void TestRandomUser::playDialog()
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
    const int moves = pick(8);
    for (int m = 0; m < moves && !m_failed; ++m) {
        switch (pick(6)) {
        case 0: {
            const int box = pick(3);
            const int index = pick(cboDice(*dialog)[box]->count());
            event(QStringLiteral("  dialog: box %1 to entry %2").arg(box).arg(index));
            cboDice(*dialog)[box]->setCurrentIndex(index);
            break;
        }
        case 1:
            event("  dialog: Tab");
            if (!activate())
                return;
            QTest::keyClick(focused(dialog), Qt::Key_Tab);
            break;
        case 2:
            event("  dialog: Escape");
            if (!activate())
                return;
            QTest::keyClick(focused(dialog), Qt::Key_Escape);
            if (!dialog->isVisible()) {
                check("Escape closed the dialog");
                m_failed = true;
                return;
            }
            break;
        case 3:
            event("  dialog: Up");
            if (!activate())
                return;
            QTest::keyClick(focused(dialog), Qt::Key_Up);
            break;
        case 4:
            event("  dialog: Down");
            if (!activate())
                return;
            QTest::keyClick(focused(dialog), Qt::Key_Down);
            break;
        default:
            event("  dialog: tick");
            WindowProbe::tick(*m_window);
            break;
        }
        check("inside the dialog");
    }
    const Settings chosen = {cboDice(*dialog)[1]->currentIndex() + 2,
                             cboDice(*dialog)[2]->currentIndex() + 1,
                             cboDice(*dialog)[0]->currentIndex() == 0 ? -1 : 0};
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

void TestRandomUser::play()
{
    bool seeded = false;
    m_seed = qEnvironmentVariableIntValue("MILBANE_SEED", &seeded);
    if (!seeded)
        m_seed = 20261207u;
    bool counted = false;
    int events = qEnvironmentVariableIntValue("MILBANE_EVENTS", &counted);
    if (!counted)
        events = 20000;
    qInfo("random user: seed %u, %d events (MILBANE_SEED, MILBANE_EVENTS to change)", m_seed,
          events);
    m_rng.seed(m_seed);

    setSettings(6, 2, 0);
    m_expected = current();
    frmMain window(std::make_unique<UniformRandom>(m_seed));
    m_window = &window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(check("start"));

    // Whenever the dialog is up, it is played from within its own loop.
    m_baseLoopLevel = QThread::currentThread()->loopLevel();
    QTimer dialogWatch;
    dialogWatch.setInterval(0);
    connect(&dialogWatch, &QTimer::timeout, this, &TestRandomUser::playDialog);
    dialogWatch.start();

    const int keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Escape};
    const char *keyNames[] = {"Return", "Enter", "Space", "Tab", "Escape"};
    for (int e = 0; e < events && !m_failed; ++e) {
        const int roll = pick(100);
        if (roll < 25) {
            event("click action");
            QTest::mouseClick(cmdAction(window), Qt::LeftButton);
        } else if (roll < 32) {
            event("click settings");
            QTest::mouseClick(cmdConfig(window), Qt::LeftButton);
        } else if (roll < 60) {
            const int k = pick(5);
            QWidget *target = focused(&window);
            event(QStringLiteral("key %1 on %2")
                      .arg(QString::fromLatin1(keyNames[k]),
                           target == cmdConfig(window)   ? QStringLiteral("settings button")
                           : target == cmdAction(window) ? QStringLiteral("action button")
                                                         : QStringLiteral("window")));
            QTest::keyClick(target, Qt::Key(keys[k]));
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
    qInfo("random user: %lld events played, %d openings of the dialog", qlonglong(m_events.size()),
          m_dialogs);
    QVERIFY(m_dialogs > 0);
}

QTEST_MAIN(TestRandomUser)
#include "tst_random_user.moc"
