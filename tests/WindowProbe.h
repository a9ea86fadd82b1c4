#pragma once

// The windows' controls by object name, as Qt's own tests find them; and
// WindowProbe, the one way inside: a tick on demand, the state to read.

#include "widgets/PictureBox.h"
#include "widgets/ShapeBox.h"
#include "windows/frmConf.h"
#include "windows/frmMain.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <cstdint>

template <typename T> T *control(const QWidget &window, const QString &name)
{
    auto *found = window.findChild<T *>(name);
    if (!found)
        qFatal("no control named %s", qPrintable(name));
    return found;
}

template <typename T, std::size_t N>
std::array<T *, N> controls(const QWidget &window, const char *name)
{
    std::array<T *, N> found{};
    for (std::size_t i = 0; i < N; ++i)
        found[i] = control<T>(window, QLatin1String(name) + QString::number(i));
    return found;
}

// A finder per control, by its name: cmdAction(w), imgDice(w)[i].
#define MILBANE_CONTROL(Type, name)                                                                \
    inline Type *name(const QWidget &w)                                                            \
    {                                                                                              \
        return control<Type>(w, #name);                                                            \
    }
#define MILBANE_CONTROLS(Type, name, n)                                                            \
    inline std::array<Type *, n> name(const QWidget &w)                                            \
    {                                                                                              \
        return controls<Type, n>(w, #name);                                                        \
    }

MILBANE_CONTROLS(PictureBox, imgDice, 4)
MILBANE_CONTROLS(QLabel, lblDice, 4)
MILBANE_CONTROLS(PictureBox, imgTotal, 2)
MILBANE_CONTROL(ShapeBox, shpBack)
MILBANE_CONTROL(QPushButton, cmdConfig)
MILBANE_CONTROL(QPushButton, cmdAction)
MILBANE_CONTROL(QTimer, tmrDice)
MILBANE_CONTROLS(QComboBox, cboDice, 3)
MILBANE_CONTROLS(QLabel, lblCap, 3)
MILBANE_CONTROL(QPushButton, cmdOK)
MILBANE_CONTROL(QPushButton, cmdCancel)

class WindowProbe
{
public:
    // One tick of the roll timer, without waiting for it.
    static void tick(frmMain &w) { w.tmrDice_Timer(); }

    static std::int16_t RollState(const frmMain &w) { return w.RollState; }
    static const std::array<std::int16_t, 4> &DieValue(const frmMain &w) { return w.DieValue; }
    static const std::array<std::int16_t, 4> &DieStopped(const frmMain &w) { return w.DieStopped; }
    // The master picture sets.
    static const PictureSet &imgMdice(const frmMain &w) { return w.imgMdice; }
    static const PictureSet &imgMdigi(const frmMain &w) { return w.imgMdigi; }
};
