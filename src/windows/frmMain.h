#pragma once

#include "ground/RandomSource.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class Announcer;
class PictureBox;
class ShapeBox;
class QLabel;
class QPushButton;
class QScreen;

// The dice window: up to four dice in a row, a value under each, the total
// as digit pictures, and one button that starts, stops and resets a throw.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    // The luck comes from the operating system unless a test hands in its own.
    explicit frmMain(std::unique_ptr<RandomSource> random = nullptr);
    ~frmMain() override;

    enum : std::int16_t { Ready = 0, Rolling = 1, Result = 2 };

private slots:
    void cmdAction_Click();
    void cmdConfig_Click();
    void tmrDice_Timer();

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    // The tests' one way in: a tick on demand, and the roll state and the
    // master pictures to read. Everything else they find by object name.
    friend class WindowProbe;

    // Controls, back to front; each named as designed ("imgDice0" for
    // imgDice(0)).
    ShapeBox *shpBack;
    std::array<PictureBox *, 4> imgDice;
    std::array<QLabel *, 4> lblDice;
    std::array<PictureBox *, 2> imgTotal;
    QPushButton *cmdConfig;
    QPushButton *cmdAction;
    QTimer tmrDice{this};

    // Master pictures; the visible images share them, never copy them.
    // Until the first throw only the blank ones are drawn, and only where
    // the designed size shows: the rest are not needed before, and
    // start-up is quicker without them.
    std::array<QImage, 11> imgMdice;
    std::array<QImage, 11> imgMdigi;

    // Roll state.
    std::int16_t RollState = Ready;
    std::array<std::int16_t, 4> DieValue{};
    std::array<std::int16_t, 4> DieStopped{};
    std::int16_t LoopIndex = 0;

    void Form_Load();
    void ResetDice();
    void StartRoll();
    void StopRoll();
    void ShowTotal();
    void describeForScreenReaders();

    // The layout at the current zoom: sizes, fonts, then arrange().
    void sizeControls();
    // Where the dice, labels, digits and panel stand for the settings.
    void arrange();
    int px(int twips) const;
    int fontPixels(int designed) const;
    // The whole window inside its screen's free area, shown smaller where
    // the designed size does not fit; again whenever the screen changes.
    void followScreen(QScreen *screen);
    void fitToScreen();
    // The pictures: the blank ones alone until `all` are asked for, each at
    // its designed size and at the scale it is shown at.
    void drawPictures(bool all);

    // A master picture in a die's or a total place's box, and what each
    // box shows (-1: nothing), to show it again from new drawings.
    void showFace(int die, int face);
    void showDigit(int place, int digit);
    std::array<int, 4> m_faceShown = {-1, -1, -1, -1};
    std::array<int, 2> m_digitShown = {-1, -1};

    std::unique_ptr<RandomSource> m_random;
    Announcer *m_announcer; // speaks each change of state to screen readers
    // The masters drawn again at the resolution they are shown at, where
    // that is not the designed one (a zoom, or a screen with more than one
    // device pixel to a pixel); empty otherwise.
    std::array<QImage, 11> m_sharpDice;
    std::array<QImage, 11> m_sharpDigits;
    qreal m_pictureScale = 0.0; // none drawn yet
    bool m_allDrawn = false;

    double m_zoom = 1.0;        // 1 as designed; less where the screen is too small
    QPointer<QScreen> m_screen; // the screen followed
};
