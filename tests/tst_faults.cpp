// The error path, each case in a child process: out-of-range settings and
// indexes stop the program naming the culprit, in a box while it runs;
// messages held during start-up come out once; a missing font is named.
#include "TestSupport.h"

#include "ground/Checked.h"
#include "program/FatalErrors.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QProcess>

#include <cstring>
#include <map>
#include <utility>

namespace
{

// Reports what the box says and the ticks of other timers under it, and
// presses OK after 20 ticks of its own timer.
void answerErrorBoxes()
{
    static int otherTicks = 0;
    static bool answering = false;
    if (std::exchange(answering, true))
        return;
    auto *other = new QTimer(qApp);
    QObject::connect(other, &QTimer::timeout, [] { ++otherTicks; });
    other->start(0);
    struct OnShow : QObject {
        bool eventFilter(QObject *o, QEvent *e) override
        {
            auto *box = qobject_cast<QMessageBox *>(o);
            if (!box || e->type() != QEvent::Show)
                return false;
            std::fprintf(stderr, "box: %s | %s | %s\n", box->windowTitle().toUtf8().constData(),
                         box->text().toUtf8().constData(),
                         box->informativeText().toUtf8().constData());
            otherTicks = 0;
            auto *own = new QTimer(box);
            QObject::connect(own, &QTimer::timeout, box, [box, own, n = 0]() mutable {
                if (++n < 20)
                    return;
                own->stop();
                std::fprintf(stderr, "other ticks under the box: %d\n", otherTicks);
                box->button(QMessageBox::Ok)->click();
            });
            own->start(0);
            return false;
        }
    };
    qApp->installEventFilter(new OnShow);
}

void windowFor(int faces, int count, int zero)
{
    setSettings(faces, count, zero);
    frmMain w;
}

const std::map<QString, std::function<void()>> &faults()
{
    static const std::map<QString, std::function<void()>> table = {
        // The error box while the program runs, no other timer ticking.
        {"error box",
         [] {
             showErrorBoxHeadless(true);
             answerErrorBoxes();
             QTimer::singleShot(0, [] { windowFor(6, 5, 0); });
             QApplication::exec();
         }},
        // What the toolkit says during start-up comes out once it succeeded.
        {"held messages", [] { std::fprintf(stderr, "started\n"); }},
        {"five dice", [] { windowFor(6, 5, 0); }},
        {"no dice", [] { windowFor(6, 0, 0); }},
        {"eleven faces while rolling",
         [] {
             frmMain w;
             cmdAction(w)->click();
             basMain::DiceFaces = 11;
             WindowProbe::tick(w);
         }},
        {"zero face neither -1 nor 0",
         [] {
             frmMain w;
             basMain::ZeroFace = 1;
             cmdAction(w)->click();
         }},
        {"settings dialog on bad settings",
         [] {
             frmMain w;
             basMain::DiceFaces = 1;
             frmConf dialog(&w);
         }},
        {"face picture 11", [] { drawDieFace(11); }},
        {"a window without Japanese fonts", [] { windowFor(6, 2, 0); }},
        {"digit picture -1", [] { drawDigit(-1); }},
        {"die value 4",
         [] {
             std::array<std::int16_t, 4> values{};
             checkedAt(values, 4, "DieValue") = 1;
         }},
    };
    return table;
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    // What a user meets on each path: these lines in this order on stderr,
    // each once, and the exit status.
    void errorPath_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("status");
        const auto row = [](const char *fault, const QStringList &lines, int status) {
            QTest::newRow(fault) << QString(fault) << lines << status;
        };
        const auto stops = [&](const char *fault, const char *message) {
            row(fault, {QStringLiteral("denshi-milbane: %1\n").arg(message)}, 1);
        };
        stops("five dice", "DiceCount = 5 is out of range (1 to 4)");
        stops("no dice", "DiceCount = 0 is out of range (1 to 4)");
        stops("eleven faces while rolling", "DiceFaces = 11 is out of range (2 to 10)");
        stops("zero face neither -1 nor 0", "ZeroFace = 1 is out of range (-1 or 0)");
        stops("settings dialog on bad settings", "DiceFaces = 1 is out of range (2 to 10)");
        stops("face picture 11", "dieFacePips(11): index out of range 0 to 10");
        stops("digit picture -1", "litSegments(-1): index out of range 0 to 10");
        stops("die value 4", "DieValue(4): index out of range 0 to 3");
        const QStringList start = {"start-up done\n", "a message during start-up\n"};
        const QString five = "DiceCount = 5 is out of range (1 to 4)\n";
        row("error box",
            start + QStringList{"denshi-milbane: " + five,
                                "box: " + product() + " | 実行時エラーのため終了します。 | " + five,
                                "other ticks under the box: 0\n"},
            1);
        row("held messages", start + QStringList{"started\n", "the fault reached the end\n"}, 0);
        // Only a Latin font: the program goes on, saying what to install.
        row("a window without Japanese fonts",
            {"denshi-milbane: no Japanese font is installed, so every text shows as empty\nboxes; "
             "install the package fonts-ipafont-gothic\n",
             "the fault reached the end\n"},
            0);
    }

    void errorPath()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, lines);
        QFETCH(int, status);
        QProcess child;
        // On Windows Qt writes to the debugger unless told otherwise.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_FORCE_STDERR_LOGGING", "1");
        if (fault.contains("fonts")) {
#ifdef Q_OS_WIN
            QSKIP("Windows' fonts are the system's: none can be hidden from one process");
#endif
            env.insert("FONTCONFIG_FILE", QFINDTESTDATA("latin-fonts.conf"));
        }
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--fault", fault});
        QVERIFY2(child.waitForFinished(60000),
                 qPrintable("the program with the fault " + fault + " still running after 60 s"));
        // Windows' C library ends text lines with \r\n.
        const QString errors =
            QString::fromUtf8(child.readAllStandardError()).remove(QLatin1Char('\r'));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), status);
        qsizetype at = 0;
        for (const QString &line : lines) {
            const qsizetype found = errors.indexOf(line, at);
            QVERIFY2(found >= 0, qPrintable(QStringLiteral("no %1 after %2 in:\n%3")
                                                .arg(line.trimmed(), QString::number(at), errors)));
            QCOMPARE(
                mismatch("how often it says " + line.trimmed(), errors.count(line), qsizetype(1)),
                QString());
            at = found + line.size();
        }
    }
};

int main(int argc, char *argv[])
{
    const bool child = argc == 3 && std::strcmp(argv[1], "--fault") == 0;
    // A child starts as the program does, its error path and all.
    if (child)
        holdStartupMessages();
    QApplication app(argc, argv);
    if (child) {
        qWarning("a message during start-up");
        std::fprintf(stderr, "start-up done\n");
        startupFinished();
        // Where the tests draw on a real display (Windows, under Wine)
        // every fault shows its box: answered as a user would.
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            answerErrorBoxes();
        setSettings(6, 2, 0);
        faults().at(QString::fromLocal8Bit(argv[2]))();
        std::fprintf(stderr, "the fault reached the end\n");
        return 0;
    }
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
