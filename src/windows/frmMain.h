#pragma once

#include "ground/RandomSource.h"
#include "pictures/DiePictures.h"
#include "pictures/DigitPictures.h"
#include "widgets/PictureBox.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class Announcer;
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

    // Master pictures, never shown themselves: a visible image is handed
    // one, imgMdice(k) or imgMdigi(k), and draws it as it shows it, over
    // the window's green or the panel's dark.
    const PictureSet imgMdice;
    const PictureSet imgMdigi;

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

    // The layout at the zoom: sizes and fonts, then where the dice, labels,
    // digits and panel stand for the settings.
    void sizeControls();
    void arrange();
    int px(int twips) const;
    // The whole window inside its screen's free area, shown smaller where
    // the designed size does not fit; again whenever the screen changes.
    void followScreen(QScreen *screen);
    void fitToScreen();

    std::unique_ptr<RandomSource> m_random;
    Announcer *m_announcer;     // speaks each change of state to screen readers
    double m_zoom = 1.0;        // 1 as designed; less where the screen is too small
    QPointer<QScreen> m_screen; // the screen followed
};
