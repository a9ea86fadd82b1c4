#pragma once

// How the tests reach the windows: their controls by object name, as Qt's
// own widget tests do, and through WindowProbe, the one way into a window's
// insides: a tick of the roll timer on demand, and the state to read.

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

inline ShapeBox *shpBack(const QWidget &w)
{
    return control<ShapeBox>(w, "shpBack");
}
inline std::array<PictureBox *, 4> imgDice(const QWidget &w)
{
    return controls<PictureBox, 4>(w, "imgDice");
}
inline std::array<QLabel *, 4> lblDice(const QWidget &w)
{
    return controls<QLabel, 4>(w, "lblDice");
}
inline std::array<PictureBox *, 2> imgTotal(const QWidget &w)
{
    return controls<PictureBox, 2>(w, "imgTotal");
}
inline QPushButton *cmdConfig(const QWidget &w)
{
    return control<QPushButton>(w, "cmdConfig");
}
inline QPushButton *cmdAction(const QWidget &w)
{
    return control<QPushButton>(w, "cmdAction");
}
inline QTimer *tmrDice(const QWidget &w)
{
    return control<QTimer>(w, "tmrDice");
}
inline std::array<QComboBox *, 3> cboDice(const QWidget &w)
{
    return controls<QComboBox, 3>(w, "cboDice");
}
inline std::array<QLabel *, 3> lblCap(const QWidget &w)
{
    return controls<QLabel, 3>(w, "lblCap");
}
inline QPushButton *cmdOK(const QWidget &w)
{
    return control<QPushButton>(w, "cmdOK");
}
inline QPushButton *cmdCancel(const QWidget &w)
{
    return control<QPushButton>(w, "cmdCancel");
}

class WindowProbe
{
public:
    // One tick of the roll timer, without waiting for it.
    static void tick(frmMain &w) { w.tmrDice_Timer(); }

    static std::int16_t RollState(const frmMain &w) { return w.RollState; }
    static const std::array<std::int16_t, 4> &DieValue(const frmMain &w) { return w.DieValue; }
    static const std::array<std::int16_t, 4> &DieStopped(const frmMain &w) { return w.DieStopped; }
    static std::int16_t LoopIndex(const frmMain &w) { return w.LoopIndex; }
    static const std::array<QImage, 11> &imgMdice(const frmMain &w) { return w.imgMdice; }
    static const std::array<QImage, 11> &imgMdigi(const frmMain &w) { return w.imgMdigi; }

    static std::int16_t PendingZero(const frmConf &d) { return d.PendingZero; }
    static std::int16_t PendingFaces(const frmConf &d) { return d.PendingFaces; }
    static std::int16_t PendingCount(const frmConf &d) { return d.PendingCount; }
};
