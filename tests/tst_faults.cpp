// Out-of-range settings and indexes, which no window can produce but a slip
// in code could: each stops the program with a message naming the culprit.
// Each fault runs in a child process of this test.
#include "TestSupport.h"

#include "ground/Checked.h"
#include "pictures/DiePictures.h"
#include "pictures/DigitPictures.h"
#include "windows/frmConf.h"
#include "windows/frmMain.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <functional>
#include <map>

namespace
{

const std::map<QString, std::function<void()>> &faults()
{
    static const std::map<QString, std::function<void()>> table = {
        {"five dice",
         [] {
             setSettings(6, 5, 0);
             frmMain w;
         }},
        {"no dice",
         [] {
             setSettings(6, 0, 0);
             frmMain w;
         }},
        {"eleven faces while rolling",
         [] {
             frmMain w;
             w.cmdAction_Click();
             basMain::DiceFaces = 11;
             w.tmrDice_Timer();
         }},
        {"zero face neither -1 nor 0",
         [] {
             frmMain w;
             basMain::ZeroFace = 1;
             w.cmdAction_Click();
         }},
        {"settings dialog on bad settings",
         [] {
             frmMain w;
             basMain::DiceFaces = 1;
             frmConf dialog(&w);
         }},
        {"face picture 11", [] { drawDieFace(11); }},
        {"a window without Japanese fonts", [] { frmMain w; }},
        {"digit picture -1", [] { litSegments(-1); }},
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
    void stopsWithClearMessage_data();
    void stopsWithClearMessage();
    void noJapaneseFont();
};

void TestFaults::stopsWithClearMessage_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("five dice") << "five dice"
                               << "DiceCount = 5 is out of range (1 to 4)";
    QTest::newRow("no dice") << "no dice"
                             << "DiceCount = 0 is out of range (1 to 4)";
    QTest::newRow("eleven faces") << "eleven faces while rolling"
                                  << "DiceFaces = 11 is out of range (2 to 10)";
    QTest::newRow("zero face 1") << "zero face neither -1 nor 0"
                                 << "ZeroFace = 1 is out of range (-1 or 0)";
    QTest::newRow("dialog") << "settings dialog on bad settings"
                            << "DiceFaces = 1 is out of range (2 to 10)";
    QTest::newRow("face 11") << "face picture 11"
                             << "dieFacePips(11): index out of range 0 to 10";
    QTest::newRow("digit -1") << "digit picture -1"
                              << "litSegments(-1): index out of range 0 to 10";
    QTest::newRow("die 4") << "die value 4"
                           << "DieValue(4): index out of range 0 to 3";
}

void TestFaults::stopsWithClearMessage()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--fault", fault});
    QVERIFY(child.waitForFinished(60000));
    const QString errors = QString::fromLocal8Bit(child.readAllStandardError());
    QVERIFY2(child.exitStatus() == QProcess::CrashExit || child.exitCode() != 0,
             qPrintable(errors));
    QVERIFY2(errors.contains(message), qPrintable(errors));
    QVERIFY2(!errors.contains("reached the end"), qPrintable(errors));
}

// A machine whose only font is a Latin one: the program goes on, but says
// what to install.
void TestFaults::noJapaneseFont()
{
    QTemporaryDir fonts;
    const QString config = fonts.filePath("fonts.conf");
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<?xml version=\"1.0\"?><fontconfig><dir>/usr/share/fonts/truetype/"
                              "dejavu</dir><cachedir>%1</cachedir></fontconfig>\n")
                   .arg(fonts.path())
                   .toUtf8());
    file.close();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("FONTCONFIG_FILE", config);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--fault", "a window without Japanese fonts"});
    QVERIFY(child.waitForFinished(60000));
    const QString errors = QString::fromLocal8Bit(child.readAllStandardError());
    QCOMPARE(child.exitCode(), 0);
    QVERIFY2(errors.contains("reached the end"), qPrintable(errors));
    QVERIFY2(errors.contains("denshi-milbane: no Japanese font is installed, so every text shows "
                             "as empty boxes; install the package fonts-ipafont-gothic\n"),
             qPrintable(errors));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--fault") == 0) {
        setSettings(6, 2, 0);
        faults().at(QString::fromLocal8Bit(argv[2]))();
        std::fprintf(stderr, "the fault reached the end\n");
        return 0;
    }
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
