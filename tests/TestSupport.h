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

// The design's die left edges in pixels for `count` dice, one to four, as
// the end-to-end tests read them too (design.json, built into each test);
// each value label stands 40 px further right.
inline QList<int> dieLefts(int count)
{
    static const QJsonObject lefts = [] {
        QFile file(QStringLiteral(":/design.json"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("no design.json among the test's resources");
        return QJsonDocument::fromJson(file.readAll())["dieLefts"].toObject();
    }();
    QList<int> found;
    for (const QJsonValue left : lefts[QString::number(count)].toArray())
        found << left.toInt();
    return found;
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
