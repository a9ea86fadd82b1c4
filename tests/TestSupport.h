#pragma once

#include "WindowProbe.h"
#include "ground/RandomSource.h"
#include "ground/Settings.h"
#include "ground/Twips.h"
#include "widgets/Accessible.h"

#include <QApplication>
#include <QList>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

// The program installs its accessible interfaces at start-up; so does each
// test program, before its first window.
inline const bool accessibleInterfacesInstalled = (installAccessibleInterfaces(), true);

// The design's die left edges in pixels, for one to four dice (4360 and
// 8080 twips for two, ...); each value label stands 40 px further right.
inline const QList<int> DieLefts[5] = {{}, {416}, {291, 539}, {165, 413, 661}, {40, 288, 536, 784}};

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

// Runs `inside` once the next modal dialog is up (a modal exec() would block
// the test otherwise); the dialog is handed over so the test can close it.
inline void whenModalOpens(std::function<void(QWidget *)> inside)
{
    QTimer::singleShot(0, [inside = std::move(inside)] {
        QWidget *modal = QApplication::activeModalWidget();
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
