#pragma once

#include "WindowProbe.h"
#include "ground/RandomSource.h"
#include "ground/Settings.h"
#include "ground/Twips.h"
#include "widgets/Accessible.h"

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QKeySequence>
#include <QList>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <deque>
#include <functional>
#include <memory>

// As the program does at start-up, before the first window.
inline const bool accessibleInterfacesInstalled = (installAccessibleInterfaces(), true);

// The design's facts, typed once in design.json, never from the program.
inline const QJsonObject &design()
{
    static const QJsonObject facts = [] {
        QFile file(QStringLiteral(":/design.json"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("no design.json among the test's resources");
        return QJsonDocument::fromJson(file.readAll()).object();
    }();
    return facts;
}

// Twips to the nearest pixel.
constexpr int pixels(int twips)
{
    return (2 * twips + 15) / 30;
}

inline QRect pixels(const QJsonValue &twips)
{
    return {pixels(twips[0].toInt()), pixels(twips[1].toInt()), pixels(twips[2].toInt()),
            pixels(twips[3].toInt())};
}

// A window's client area ("main", "dialog"), a picture's size ("face",
// "digit"), a colour ("window", "lit", ...) and a font's pixels ("value").
inline QSize designedClient(const char *window)
{
    const QJsonValue c = design()[window]["client"];
    return {pixels(c[0].toInt()), pixels(c[1].toInt())};
}

inline QSize pictureSize(const char *name)
{
    return {design()[name][0].toInt(), design()[name][1].toInt()};
}

inline QRgb colour(const char *name)
{
    const QJsonValue c = design()["colours"][name];
    return qRgb(c[0].toInt(), c[1].toInt(), c[2].toInt());
}

inline int fontPixels(const char *name)
{
    return design()["fontPixels"][name].toInt();
}

// A control's caption ("cmdAction" in roll state `state`) or the dialog's
// title ("frmConf"); and the product's name, which begins the main window's.
inline QString caption(const char *control, int state = 0)
{
    const QJsonValue text = design()["captions"][control];
    return text.isArray() ? text[state].toString() : text.toString();
}

inline QString product()
{
    return design()["product"].toString();
}

// A dialog control's place in pixels; a main window control's with `count`
// dice (die and value k where the k-th of that many stands) and a total of
// one or two digits.
inline QRect designedPlace(const QString &control, int count = 4, bool twoDigits = true)
{
    const QJsonValue main = design()["main"], one = main["oneDigit"][control];
    if (!main["controls"][control].isArray())
        return pixels(design()["dialog"]["controls"][control]);
    QRect place = pixels(!twoDigits && one.isArray() ? one : main["controls"][control]);
    if (control.startsWith("imgDice") || control.startsWith("lblDice"))
        place.moveLeft(
            pixels(main["dieLefts"][QString::number(count)][control.back().digitValue()].toInt() +
                   (control[0] == 'l' ? main["labelOffset"].toInt() : 0)));
    return place;
}

// Points from the design: a face's pip centres (pips, face), a segment's
// corners (segments, s: top left, top right, bottom right, bottom left).
inline QList<QPointF> points(const char *table, int k)
{
    QList<QPointF> found;
    for (const QJsonValue p : design()[table][k].toArray())
        found << QPointF(p[0].toDouble(), p[1].toDouble());
    return found;
}

// A digit picture's lit segments ("abcf"; 10, the blank: none).
inline QString litSegments(int digit)
{
    return design()["lit"][digit].toString();
}

// A pixel as a failure names it: #rrggbb, clear, or #aarrggbb between.
inline QString colourName(QRgb pixel)
{
    if (qAlpha(pixel) == 0)
        return QStringLiteral("clear");
    return QColor::fromRgba(pixel).name(qAlpha(pixel) == 255 ? QColor::HexRgb : QColor::HexArgb);
}

// What is wrong with the pixel of `image` at `at`, `what` the design has
// there in `wanted`: empty where it is right.
inline QString pixelFault(const QImage &image, QPoint at, QRgb wanted, const QString &what)
{
    const QRgb seen = image.pixel(at);
    if (seen == wanted || (qAlpha(seen) == 0 && qAlpha(wanted) == 0))
        return {};
    return QString::asprintf("%s at %d,%d is %s, not %s", qPrintable(what), at.x(), at.y(),
                             qPrintable(colourName(seen)), qPrintable(colourName(wanted)));
}

// What is wrong with `what`: seen as `seen` where `wanted` belongs; empty
// where they agree. A check in a loop compares it with nothing, so that a
// failure names the step, the control or the window.
template <typename T> QString mismatch(const QString &what, const T &seen, const T &wanted)
{
    if (seen == wanted)
        return {};
    const std::unique_ptr<char[]> saw(QTest::toString(seen)), want(QTest::toString(wanted));
    return QStringLiteral("%1 is %2, not %3").arg(what, saw.get(), want.get());
}

// How many pixels of `shot`'s first `columns` differ from `picture`
// stretched to its size, nearest neighbour, over the window's green where
// the picture is clear.
inline int differences(const QImage &shot, const QImage &picture, int columns)
{
    const QImage expected = picture.convertToFormat(QImage::Format_ARGB32);
    const auto at = [](int i, int from, int to) { return (2 * i + 1) * from / (2 * to); };
    int count = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < columns; ++x) {
            QRgb want = expected.pixel(at(x, expected.width(), shot.width()),
                                       at(y, expected.height(), shot.height()));
            if (qAlpha(want) == 0)
                want = colour("window");
            const QRgb got = shot.pixel(x, y);
            count += qAbs(qRed(got) - qRed(want)) + qAbs(qGreen(got) - qGreen(want)) +
                         qAbs(qBlue(got) - qBlue(want)) >
                     24;
        }
    return count;
}

// The first wrong pixel of the panel at `panel` (device pixels) in `shot`:
// its outermost ring in the desktop's text colour, the ring `in` within in
// the panel's colour; empty where none is.
inline QString outlineFault(const QImage &shot, QRect panel, int in = 1)
{
    const QRgb outline = QApplication::palette().color(QPalette::WindowText).rgb();
    for (const int ring : {0, in}) {
        const QRect r = panel.adjusted(ring, ring, -ring, -ring);
        const QRgb wanted = ring ? colour("panel") : outline;
        const QString what = ring ? QStringLiteral("the panel within its outline")
                                  : QStringLiteral("the panel's outline");
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const bool onRing =
                    x == r.left() || x == r.right() || y == r.top() || y == r.bottom();
                if (!onRing)
                    continue;
                const QString fault = pixelFault(shot, QPoint(x, y), wanted, what);
                if (!fault.isEmpty())
                    return fault;
            }
    }
    return {};
}

// Hands out the values a test scripts, in order; 0 once they run out.
struct ScriptedRandom final : RandomSource {
    explicit ScriptedRandom(std::deque<float> *values) : values(values) {}
    float next() override
    {
        ++draws;
        if (values->empty())
            return 0.0f;
        const float r = values->front();
        values->pop_front();
        return r;
    }
    std::deque<float> *values;
    int draws = 0;
};

// Keys by name, "Tab Tab Up Return", as a list of keys.
inline QList<int> typed(const char *names)
{
    QList<int> found;
    for (const QString &name : QString::fromLatin1(names).split(' ', Qt::SkipEmptyParts))
        found << QKeySequence(name)[0].key();
    return found;
}

// The title bar's buttons; of these, both windows have the close box alone.
inline constexpr Qt::WindowFlags TitleButtons =
    Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;

// Shows a window and waits until it is exposed, or also active.
enum Waiting { Exposed, Active };
inline bool shown(QWidget &window, Waiting until = Exposed)
{
    window.show();
    return until == Exposed ? QTest::qWaitForWindowExposed(&window)
                            : QTest::qWaitForWindowActive(&window);
}

inline void setSettings(int faces, int count, int zero)
{
    basMain::DiceFaces = static_cast<std::int16_t>(faces);
    basMain::DiceCount = static_cast<std::int16_t>(count);
    basMain::ZeroFace = static_cast<std::int16_t>(zero);
}

// Settings said so that a failed comparison prints both; and as they are.
inline QString settings(int faces, int count, int zero)
{
    return QString::asprintf("%d faces, %d dice, zero face %d", faces, count, zero);
}

inline QString settingsNow()
{
    return settings(basMain::DiceFaces, basMain::DiceCount, basMain::ZeroFace);
}

// So many clicks on the action button from Ready, the first followed by a tick.
inline void clickAction(frmMain &w, int clicks)
{
    for (int c = 0; c < clicks; ++c) {
        cmdAction(w)->click();
        if (c == 0)
            WindowProbe::tick(w);
    }
}

// Runs `inside` on the next modal dialog once it has the focus (its exec()
// would block the test), and closes it if `inside` did not.
inline void whenModalOpens(std::function<void(QWidget *)> inside)
{
    QTimer::singleShot(0, [inside = std::move(inside)] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal &&
            !QTest::qWaitFor([modal] { return modal->isAncestorOf(QApplication::focusWidget()); }))
            qWarning("the dialog never took the focus");
        inside(modal);
        if (modal && modal->isVisible())
            modal->close();
    });
}

// The settings opened by a click on 設定, for `inside`; whether they opened.
inline bool inSettings(frmMain &w, std::function<void(frmConf *)> inside)
{
    bool opened = false;
    whenModalOpens([&opened, inside = std::move(inside)](QWidget *modal) {
        auto *dialog = qobject_cast<frmConf *>(modal);
        opened = dialog != nullptr;
        if (opened)
            inside(dialog);
    });
    QTest::mouseClick(cmdConfig(w), Qt::LeftButton);
    return opened;
}

// The layouts the settings give, a row each: so many dice of so many faces,
// and whether the largest total has two digits, so that the tens show.
inline void layoutRows()
{
    QTest::addColumn<int>("faces");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("tensShown");
    QTest::newRow("4 x 6") << 6 << 4 << true;
    QTest::newRow("3 x 3, largest 9") << 3 << 3 << false;
    QTest::newRow("2 x 5, largest 10") << 5 << 2 << true;
    QTest::newRow("2 x 6") << 6 << 2 << true;
    QTest::newRow("1 x 6") << 6 << 1 << false;
    QTest::newRow("1 x 10, largest 10") << 10 << 1 << true;
    QTest::newRow("4 x 2") << 2 << 4 << false;
}

// The first control the design names (bar spare dice and values) out of the
// place n dice and a one- or two-digit total give it at `zoom`: exact at 1x,
// within the pixel a zoom rounds by. Empty where all are in place.
inline QString placeFault(const frmMain &w, int n, bool twoDigits, double zoom = 1.0)
{
    for (QWidget *control : w.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QString name = control->objectName();
        const bool spare = name.contains("Dice") && name.back().digitValue() >= n;
        if (name.isEmpty() || spare || control->isWindow())
            continue;
        const QRect designed = designedPlace(name, n, twoDigits), got = control->geometry();
        const QRect want(qRound(designed.x() * zoom), qRound(designed.y() * zoom),
                         qRound(designed.width() * zoom), qRound(designed.height() * zoom));
        const QPoint a = got.topLeft() - want.topLeft(), b = got.bottomRight() - want.bottomRight();
        const int off = std::max({qAbs(a.x()), qAbs(a.y()), qAbs(b.x()), qAbs(b.y())});
        const int allowed = zoom == 1.0 ? 0 : 1;
        if (off > allowed)
            return mismatch(QStringLiteral("%1's place at zoom %2").arg(name).arg(zoom), got, want);
    }
    return {};
}

// The control with the keyboard's focus, by name: "no control" where the
// focus is lost, so that a test fails there rather than crashing.
inline QString focusName()
{
    const QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QStringLiteral("no control");
}

// The first thing wrong in the main window, at its designed size, for the
// settings as they are (empty: nothing). Tests call it after every event.
inline QString violation(frmMain &w)
{
    const int state = WindowProbe::RollState(w);
    const int n = basMain::DiceCount, faces = basMain::DiceFaces, zero = basMain::ZeroFace;
    if ((zero != 0 && zero != -1) || n < 1 || n > 4 || faces < 2 || faces > 10)
        return QString::asprintf("settings %d dice of %d faces, zero face %d", n, faces, zero);
    if (state < 0 || state > 2)
        return QStringLiteral("RollState %1").arg(state);
    if (cmdAction(w)->text() != caption("cmdAction", state))
        return QStringLiteral("the action button reads %1 in state %2, not %3")
            .arg(cmdAction(w)->text())
            .arg(state)
            .arg(caption("cmdAction", state));
    if (cmdConfig(w)->isEnabled() != (state == frmMain::Ready))
        return QStringLiteral("the settings button %1 in state %2")
            .arg(cmdConfig(w)->isEnabled() ? "enabled" : "disabled")
            .arg(state);
    if (tmrDice(w)->isActive() != (state == frmMain::Rolling))
        return QStringLiteral("the roll timer %1 in state %2")
            .arg(tmrDice(w)->isActive() ? "running" : "stopped")
            .arg(state);

    // Every control where n dice and the largest total's digits put it.
    const bool twoDigits = n * faces >= 10;
    const QString place = placeFault(w, n, twoDigits);
    if (!place.isEmpty())
        return place;
    if (imgTotal(w)[0]->isVisibleTo(&w) != twoDigits)
        return QString::asprintf("tens shown is %d for %d x %d", !twoDigits, n, faces);
    int sum = 0;
    for (int i = 0; i < 4; ++i) {
        PictureBox *die = imgDice(w)[i];
        QLabel *label = lblDice(w)[i];
        const bool shown = i < n;
        const int v = WindowProbe::DieValue(w)[i];
        if (die->isVisibleTo(&w) != shown)
            return QString::asprintf("die %d %s with %d dice", i, shown ? "hidden" : "shown", n);
        if (label->isVisibleTo(&w) != (shown && state == frmMain::Result))
            return QString::asprintf("value %d %s in state %d", i,
                                     label->isVisibleTo(&w) ? "shown" : "hidden", state);
        const int stopped = (state == frmMain::Rolling && shown) ? 0 : -1;
        if (WindowProbe::DieStopped(w)[i] != stopped)
            return QString::asprintf("die %d stopped is %d in state %d, not %d", i,
                                     WindowProbe::DieStopped(w)[i], state, stopped);
        if (!shown) {
            if (!die->picture().isNull())
                return QStringLiteral("hidden die %1 holds a picture").arg(i);
            continue;
        }
        if ((v != 0 && (v < (zero == -1 ? 0 : 1) || v > faces)) ||
            (state == frmMain::Ready && v != 0))
            return QString::asprintf("die %d holds %d with faces %d in state %d", i, v, faces,
                                     state);
        if (die->picture() != WindowProbe::imgMdice(w)(v))
            return QStringLiteral("die %1 picture is not face %2").arg(i).arg(v);
        if (state == frmMain::Result && label->text() != QString::number(v))
            return QStringLiteral("label %1 reads %2, die %3").arg(i).arg(label->text()).arg(v);
        sum += v;
    }
    // The tens are the blank digit below 10, even where they are hidden.
    const int tens = state == frmMain::Result && sum > 9 ? sum / 10 : 10;
    const int units = state == frmMain::Result ? sum % 10 : 10;
    if (imgTotal(w)[0]->picture() != WindowProbe::imgMdigi(w)(tens))
        return QStringLiteral("the tens do not show digit picture %1 for %2").arg(tens).arg(sum);
    if (imgTotal(w)[1]->picture() != WindowProbe::imgMdigi(w)(units))
        return QStringLiteral("the units do not show digit picture %1 for %2").arg(units).arg(sum);
    return {};
}
