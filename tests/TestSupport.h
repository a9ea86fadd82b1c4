#pragma once

#include "WindowProbe.h"
#include "ground/RandomSource.h"
#include "ground/Settings.h"
#include "ground/Twips.h"
#include "widgets/Accessible.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QRect>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

// The program installs its accessible interfaces at start-up; so does each
// test program, before its first window.
inline const bool accessibleInterfacesInstalled = (installAccessibleInterfaces(), true);

// The design's facts, typed once from it in design.json (built into each
// test; the end-to-end tests read it too), never from the program.
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
    const QJsonArray r = twips.toArray();
    return {pixels(r[0].toInt()), pixels(r[1].toInt()), pixels(r[2].toInt()), pixels(r[3].toInt())};
}

// A control's place in pixels in "main" or "dialog" as it is created.
inline QRect designedPlace(const char *window, const QString &control)
{
    return pixels(design()[window]["controls"][control]);
}

// The dice's left edges in pixels for `count` dice, one to four.
inline QList<int> dieLefts(int count)
{
    QList<int> found;
    for (const QJsonValue left : design()["main"]["dieLefts"][QString::number(count)].toArray())
        found << pixels(left.toInt());
    return found;
}

// The centre pixels of a face's pips, and a digit's lit segments ("abcf").
inline QList<QPoint> pips(int face)
{
    QList<QPoint> found;
    for (const QJsonValue pip : design()["pips"][face].toArray())
        found << QPoint(pip[0].toInt(), pip[1].toInt());
    return found;
}

inline QString litSegments(int digit)
{
    return design()["lit"][digit].toString();
}

// Corner c (top left, top right, bottom right, bottom left) of segment s.
inline QPointF segmentCorner(int s, int c)
{
    const QJsonValue corner = design()["segments"][s][c];
    return {corner[0].toDouble(), corner[1].toDouble()};
}

// Hands out the values a test scripts, in order; 0 once they run out.
class ScriptedRandom final : public RandomSource
{
public:
    explicit ScriptedRandom(std::deque<float> *values) : m_values(values) {}
    float next() override
    {
        ++draws;
        if (m_values->empty())
            return 0.0f;
        const float r = m_values->front();
        m_values->pop_front();
        return r;
    }
    int draws = 0;

private:
    std::deque<float> *m_values;
};

inline void setSettings(int faces, int count, int zero)
{
    basMain::DiceFaces = static_cast<std::int16_t>(faces);
    basMain::DiceCount = static_cast<std::int16_t>(count);
    basMain::ZeroFace = static_cast<std::int16_t>(zero);
}

// Runs `inside` once the next modal dialog is up and has the focus (a modal
// exec() would block the test otherwise); the dialog is handed over so the
// test can close it.
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

// The same for the settings dialog: `inside` gets it, `opened` says whether
// it opened at all.
inline void whenSettingsOpen(bool *opened, std::function<void(frmConf *)> inside)
{
    *opened = false;
    whenModalOpens([opened, inside = std::move(inside)](QWidget *modal) {
        auto *dialog = qobject_cast<frmConf *>(modal);
        *opened = dialog != nullptr;
        if (dialog)
            inside(dialog);
    });
}

// Everything that must hold in the main window, as designed, between two
// events, for the settings as they are; or what does not. The window at its
// designed size.
inline QString violation(frmMain &w)
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
    const QJsonObject layout = design()["main"].toObject();
    const auto place = [&](QWidget *control, QRect want) {
        return control->geometry() == want
                   ? QString()
                   : QStringLiteral("%1 out of place").arg(control->objectName());
    };
    for (QWidget *button : QList<QWidget *>{cmdConfig(w), cmdAction(w)})
        if (const QString wrong = place(button, designedPlace("main", button->objectName()));
            !wrong.isEmpty())
            return wrong;

    int sum = 0;
    for (int i = 0; i < 4; ++i) {
        const PictureBox *die = imgDice(w)[i];
        QLabel *label = lblDice(w)[i];
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
        const QRect face = designedPlace("main", die->objectName());
        const int x = dieLefts(n)[i];
        if (die->geometry() != QRect(x, face.y(), face.width(), face.height()))
            return QStringLiteral("die %1 out of place").arg(i);
        const QRect value = designedPlace("main", label->objectName());
        const int offset = pixels(layout["labelOffset"].toInt());
        if (!place(label, QRect(x + offset, value.y(), value.width(), value.height())).isEmpty())
            return QStringLiteral("label %1 out of place").arg(i);
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

    // The largest total decides between the two-digit and the one-digit area.
    const bool twoDigits = n * faces >= 10;
    if (imgTotal(w)[0]->isVisibleTo(&w) != twoDigits)
        return QStringLiteral("tens shown is %1 for %2 x %3").arg(!twoDigits).arg(n).arg(faces);
    for (QWidget *control : QList<QWidget *>{imgTotal(w)[0], imgTotal(w)[1], shpBack(w)}) {
        const QString name = control->objectName();
        const QJsonValue one = layout["oneDigit"][name];
        const QRect want =
            !twoDigits && !one.isUndefined() ? pixels(one) : designedPlace("main", name);
        if (const QString wrong = place(control, want); !wrong.isEmpty())
            return wrong;
    }
    // The tens are the blank digit below 10, even where they are hidden.
    const int tens = state == frmMain::Result && sum > 9 ? sum / 10 : 10;
    const int units = state == frmMain::Result ? sum % 10 : 10;
    if (imgTotal(w)[0]->picture() != WindowProbe::imgMdigi(w)(tens) ||
        imgTotal(w)[1]->picture() != WindowProbe::imgMdigi(w)(units))
        return QStringLiteral("total pictures do not show %1").arg(sum);
    return {};
}
