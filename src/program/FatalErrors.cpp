#include "program/FatalErrors.h"

#include "ground/ProgramName.h"
#include "program/Console.h"
#include "program/Translation.h"

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QThread>

#include <cstdio>
#include <cstdlib>

namespace
{

struct Held {
    QtMsgType type;
    QString category;
    QString text;
};

QList<Held> &held()
{
    static QList<Held> messages;
    return messages;
}

QtMessageHandler qtHandler = nullptr;

void say(const QString &line)
{
    writeConsole(stderr, wrappedForTerminal(QLatin1String(ProgramName) + QLatin1String(": ") +
                                            line + QLatin1Char('\n')));
    std::fflush(stderr);
}

[[noreturn]] void stop(const QString &line)
{
    say(line);
    std::_Exit(EXIT_FAILURE);
}

void duringStartup(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        held().append({type, QString::fromLatin1(context.category), text});
        return;
    }
    const auto tr = [](const char *text) { return translated("FatalErrors", text); };
    if (!text.contains(QLatin1String("platform plugin")))
        stop(tr(QT_TRANSLATE_NOOP("FatalErrors", "cannot start: %1"))
                 .arg(text.section(QLatin1Char('\n'), 0, 0)));
    const QString x11 = qEnvironmentVariable("DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (!x11.isEmpty())
        stop(tr(QT_TRANSLATE_NOOP("FatalErrors",
                                  "cannot open the display %1; start it from a desktop session, "
                                  "or on a virtual display with xvfb-run"))
                 .arg(x11));
    if (!wayland.isEmpty())
        stop(tr(QT_TRANSLATE_NOOP("FatalErrors",
                                  "cannot open the Wayland display %1; start it from a desktop "
                                  "session, or on a virtual display with xvfb-run"))
                 .arg(wayland));
    stop(tr(QT_TRANSLATE_NOOP("FatalErrors",
                              "cannot open a display (neither DISPLAY nor WAYLAND_DISPLAY is "
                              "set); start it from a desktop session, or on a virtual display "
                              "with xvfb-run")));
}

// Timers go on ticking under a modal box; only the box's own may run, so
// nothing else can fail again while the user reads.
class OnlyBoxTimers : public QObject
{
public:
    explicit OnlyBoxTimers(QObject *box) : m_box(box) {}
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        if (event->type() != QEvent::Timer)
            return false;
        for (QObject *o = receiver; o; o = o->parent())
            if (o == m_box)
                return false;
        return true;
    }

private:
    QObject *m_box;
};

bool boxHeadless = false;

bool windowsCanBeShown()
{
    const QString platform = QGuiApplication::platformName();
    return qobject_cast<QApplication *>(QCoreApplication::instance()) &&
           QThread::currentThread() == QCoreApplication::instance()->thread() &&
           (boxHeadless ||
            (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")));
}

void whileRunning(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        qtHandler(type, context, text);
        return;
    }
    static bool stopping = false;
    if (stopping || !windowsCanBeShown())
        stop(text);
    stopping = true;
    say(text);
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(ProgramTitle),
                    QStringLiteral("実行時エラーのため終了します。"), QMessageBox::Ok);
    box.setInformativeText(text);
    OnlyBoxTimers filter(&box);
    qApp->installEventFilter(&filter);
    box.exec();
    std::_Exit(EXIT_FAILURE);
}

} // namespace

void holdStartupMessages()
{
    qtHandler = qInstallMessageHandler(duringStartup);
}

void showErrorBoxHeadless(bool show)
{
    boxHeadless = show;
}

void startupFinished()
{
    qInstallMessageHandler(whileRunning);
    for (const Held &message : std::as_const(held())) {
        const QByteArray category = message.category.toLatin1();
        QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        qtHandler(message.type, context, message.text);
    }
    held().clear();
}
