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
constexpr auto imgDice = [](const QWidget &w) { return controls<PictureBox, 4>(w, "imgDice"); };
constexpr auto lblDice = [](const QWidget &w) { return controls<QLabel, 4>(w, "lblDice"); };
constexpr auto imgTotal = [](const QWidget &w) { return controls<PictureBox, 2>(w, "imgTotal"); };
constexpr auto shpBack = [](const QWidget &w) { return control<ShapeBox>(w, "shpBack"); };
constexpr auto cmdConfig = [](const QWidget &w) { return control<QPushButton>(w, "cmdConfig"); };
constexpr auto cmdAction = [](const QWidget &w) { return control<QPushButton>(w, "cmdAction"); };
constexpr auto tmrDice = [](const QWidget &w) { return control<QTimer>(w, "tmrDice"); };
constexpr auto cboDice = [](const QWidget &w) { return controls<QComboBox, 3>(w, "cboDice"); };
constexpr auto lblCap = [](const QWidget &w) { return controls<QLabel, 3>(w, "lblCap"); };
constexpr auto cmdOK = [](const QWidget &w) { return control<QPushButton>(w, "cmdOK"); };
constexpr auto cmdCancel = [](const QWidget &w) { return control<QPushButton>(w, "cmdCancel"); };

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
