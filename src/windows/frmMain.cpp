#include "windows/frmMain.h"

#include "ground/Checked.h"
#include "ground/Fonts.h"
#include "ground/ProgramName.h"
#include "ground/ScreenFit.h"
#include "ground/Settings.h"
#include "ground/Twips.h"
#include "pictures/DiePictures.h"
#include "pictures/DigitPictures.h"
#include "widgets/Accessible.h"
#include "widgets/CommandButton.h"
#include "widgets/PictureBox.h"
#include "widgets/ShapeBox.h"
#include "widgets/ValueLabel.h"
#include "windows/frmConf.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace
{

// Layout in twips, as the window was designed.
constexpr int ClientWidth = 15270;
constexpr int ClientHeight = 11040;

constexpr int DieTop = 480;
constexpr int DieSize = 2895;
constexpr int DieStep = 3720;
constexpr int LabelTop = 3720;
constexpr int LabelOffset = 600; // from the die's left edge
constexpr int LabelWidth = 1695;
constexpr int LabelHeight = 1455;

constexpr int TotalTop = 5880;
constexpr int TotalWidth = 3015;
constexpr int TotalHeight = 3735;
constexpr int PanelTop = 5760;
constexpr int PanelHeight = 3975;

// The total area for one and for two digits.
constexpr int TensLeft = 4740;
constexpr int UnitsLeftTwoDigits = 7500;
constexpr int PanelLeftTwoDigits = 4320;
constexpr int PanelWidthTwoDigits = 6615;
constexpr int UnitsLeftOneDigit = 6000;
constexpr int PanelLeftOneDigit = 5640;
constexpr int PanelWidthOneDigit = 3735;

constexpr TwipRect ConfigButton{240, 9720, 3015, 975};
constexpr TwipRect ActionButton{12000, 9720, 3015, 975};

// Font sizes, in pixels at the designed size.
constexpr int LabelFontPixels = 96;  // 72 pt
constexpr int ButtonFontPixels = 32; // 24 pt

// The frame the window was designed with: 3 px at the sides and the bottom,
// 29 px of caption and frame above. Until the window manager says what its
// own frame is, the window makes room for this one.
constexpr QMargins DesignedFrame(3, 29, 3, 3);

const QColor Background(0, 128, 0);
const QColor PanelColour(16, 16, 16);

// Left edge of die i when n dice are shown. The row starts 1880 twips further
// left per die, so it drifts 20 twips left of centre for each die added.
constexpr int dieLeft(int n, int i)
{
    return 8120 - 1880 * n + DieStep * i;
}

} // namespace

frmMain::frmMain(std::unique_ptr<RandomSource> random)
    : QWidget(nullptr, Qt::Window | ScreenFit::FixedFrame),
      imgMdice(drawDieFace, DieFaceCount, "imgMdice", Background),
      imgMdigi(drawDigit, DigitPictureCount, "imgMdigi", PanelColour),
      m_random(random ? std::move(random) : std::make_unique<UniformRandom>())
{
    setWindowTitle(QString::fromUtf8(ProgramTitle) + QLatin1Char(' ') +
                   QString::fromUtf8(Copyright));

    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, Background);
    setPalette(windowPalette);
    setAutoFillBackground(true);

    // Children stack in the order they are made: panel, dice and labels,
    // tens, units, buttons on top. Where each goes is set by arrange().
    shpBack = new ShapeBox(PanelColour, this);
    shpBack->setObjectName(QStringLiteral("shpBack"));

    QPalette labelPalette;
    labelPalette.setColor(QPalette::Window, Qt::black);
    labelPalette.setColor(QPalette::WindowText, QColor(255, 255, 0));
    for (int i = 0; i < 4; ++i) {
        auto *die = new PictureBox(this);
        die->hide();
        die->setObjectName(QStringLiteral("imgDice%1").arg(i));
        imgDice[static_cast<std::size_t>(i)] = die;

        auto *label = new ValueLabel(QStringLiteral("10"), this);
        label->setPalette(labelPalette);
        label->setAutoFillBackground(true);
        label->setAlignment(Qt::AlignCenter);
        label->hide();
        label->setObjectName(QStringLiteral("lblDice%1").arg(i));
        lblDice[static_cast<std::size_t>(i)] = label;
    }

    for (int j = 0; j < 2; ++j) {
        auto *digit = new PictureBox(this);
        digit->setObjectName(QStringLiteral("imgTotal%1").arg(j));
        imgTotal[static_cast<std::size_t>(j)] = digit;
    }

    const auto makeButton = [this](const QString &caption) {
        auto *button = new CommandButton(caption, this);
        // Enter presses the focused button, as Space does.
        button->setAutoDefault(true);
        return button;
    };
    cmdConfig = makeButton(QStringLiteral("設定"));
    cmdConfig->setObjectName(QStringLiteral("cmdConfig"));
    cmdAction = makeButton(QStringLiteral("スタート"));
    cmdAction->setObjectName(QStringLiteral("cmdAction"));
    setTabOrder(cmdConfig, cmdAction);
    cmdConfig->setFocus();
    m_announcer = new Announcer(this);

    connect(cmdAction, &QPushButton::clicked, this, &frmMain::cmdAction_Click);
    connect(cmdConfig, &QPushButton::clicked, this, &frmMain::cmdConfig_Click);

    tmrDice.setObjectName(QStringLiteral("tmrDice"));
    tmrDice.setTimerType(Qt::PreciseTimer);
    tmrDice.setInterval(33);
    connect(&tmrDice, &QTimer::timeout, this, &frmMain::tmrDice_Timer);

    // The frame's outer corner at the corner of the screen's free area.
    const QRect area = ScreenFit::freeArea(this);
    m_zoom = ScreenFit::zoomToFit(QSize(ClientWidth, ClientHeight), DesignedFrame, area.size());
    sizeControls();
    move(area.topLeft());
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::Form_Load()
{
    // The blank digit in both places, and the dice for the settings.
    ResetDice();
}

void frmMain::ResetDice()
{
    basMain::checkSettings();
    const int n = basMain::DiceCount;
    arrange();
    for (LoopIndex = 0; LoopIndex <= 3; ++LoopIndex) {
        auto *die = checkedAt(imgDice, LoopIndex, "imgDice");
        checkedAt(lblDice, LoopIndex, "lblDice")->hide();
        if (LoopIndex < n) {
            die->setPicture(imgMdice(0));
            die->show();
        } else {
            die->hide();
            die->setPicture({});
        }
        checkedAt(DieStopped, LoopIndex, "DieStopped") = -1;
        checkedAt(DieValue, LoopIndex, "DieValue") = 0;
    }
    // No die rolls: the roll timer would only wake the program for nothing.
    tmrDice.stop();

    for (PictureBox *digit : imgTotal)
        digit->setPicture(imgMdigi(BlankDigit));

    RollState = Ready;
    cmdConfig->setEnabled(true);
    cmdAction->setText(QStringLiteral("スタート"));
    describeForScreenReaders();
}

void frmMain::sizeControls()
{
    const auto font = [this](int designed) {
        return gothicFont(std::max(1, static_cast<int>(std::lround(designed * m_zoom))));
    };
    setFixedSize(px(ClientWidth), px(ClientHeight));
    for (int i = 0; i < 4; ++i) {
        imgDice[std::size_t(i)]->resize(px(DieSize), px(DieSize));
        lblDice[std::size_t(i)]->resize(px(LabelWidth), px(LabelHeight));
        lblDice[std::size_t(i)]->setFont(font(LabelFontPixels));
    }
    for (PictureBox *digit : imgTotal)
        digit->resize(px(TotalWidth), px(TotalHeight));
    for (PictureBox *box :
         {imgDice[0], imgDice[1], imgDice[2], imgDice[3], imgTotal[0], imgTotal[1]})
        box->setZoom(m_zoom);
    place(cmdConfig, ConfigButton, m_zoom);
    place(cmdAction, ActionButton, m_zoom);
    for (QPushButton *button : {cmdConfig, cmdAction})
        button->setFont(font(ButtonFontPixels));
}

void frmMain::arrange()
{
    // The dice in a row for the settings, each value label under its die;
    // the hidden ones where four would stand.
    const int n = basMain::DiceCount;
    for (int i = 0; i <= 3; ++i) {
        const int x = dieLeft(i < n ? n : 4, i);
        imgDice[std::size_t(i)]->move(px(x), px(DieTop));
        lblDice[std::size_t(i)]->move(px(x + LabelOffset), px(LabelTop));
    }
    // The largest total decides between the one and the two digit area.
    const bool twoDigits = n * basMain::DiceFaces >= 10;
    imgTotal[0]->setVisible(twoDigits);
    imgTotal[0]->move(px(TensLeft), px(TotalTop));
    imgTotal[1]->move(px(twoDigits ? UnitsLeftTwoDigits : UnitsLeftOneDigit), px(TotalTop));
    place(shpBack,
          {twoDigits ? PanelLeftTwoDigits : PanelLeftOneDigit, PanelTop,
           twoDigits ? PanelWidthTwoDigits : PanelWidthOneDigit, PanelHeight},
          m_zoom);
}

int frmMain::px(int twips) const
{
    return twipsToPixels(twips, m_zoom);
}

void frmMain::followScreen(QScreen *screen)
{
    if (m_screen)
        disconnect(m_screen, nullptr, this, nullptr);
    m_screen = screen;
    // Its size, its free area (panels come and go) and its scale. At a new
    // scale every picture and text is drawn anew, and Qt 6.4 repaints no
    // control of its own accord for it.
    const auto changed = [this] {
        fitToScreen();
        update();
        for (QWidget *control : findChildren<QWidget *>())
            control->update();
    };
    connect(screen, &QScreen::geometryChanged, this, changed);
    connect(screen, &QScreen::availableGeometryChanged, this, changed);
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, changed);
    changed();
}

void frmMain::fitToScreen()
{
    const QMargins frame = ScreenFit::frame(this, DesignedFrame);
    const QRect area = ScreenFit::freeArea(this);
    const double zoom = ScreenFit::zoomToFit(QSize(ClientWidth, ClientHeight), frame, area.size());
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    sizeControls();
    arrange();
    // Zoomed, the window fills its screen's free area from the corner; grown
    // back, it stays where it was, as far as it still lies inside. Placed by
    // its client area, from this screen's frame: the toolkit's own copy of
    // the frame can still be the last monitor's.
    const QPoint corner =
        ScreenFit::keptInside(m_zoom < 1.0 ? area.topLeft() : pos(), size().grownBy(frame), area);
    setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), size()));
}

void frmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    connect(windowHandle(), &QWindow::screenChanged, this, &frmMain::followScreen,
            Qt::UniqueConnection);
    followScreen(screen());
}

void frmMain::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // The window manager's frame becomes known when it takes the window in,
    // which moves the client area: fit again, for that frame.
    if (isVisible())
        QTimer::singleShot(0, this, &frmMain::fitToScreen);
}

void frmMain::cmdAction_Click()
{
    switch (RollState) {
    case Ready:
        StartRoll();
        break;
    case Rolling:
        StopRoll();
        break;
    case Result:
        ResetDice();
        break;
    default:
        break;
    }
}

void frmMain::StartRoll()
{
    basMain::checkSettings();
    const int n = basMain::DiceCount;
    for (LoopIndex = 0; LoopIndex < n; ++LoopIndex)
        checkedAt(DieStopped, LoopIndex, "DieStopped") = 0;
    tmrDice.start();
    RollState = Rolling;
    cmdConfig->setEnabled(false);
    cmdAction->setText(QStringLiteral("ストップ"));
    describeForScreenReaders();
}

void frmMain::tmrDice_Timer()
{
    basMain::checkSettings();
    for (LoopIndex = 0; LoopIndex <= 3; ++LoopIndex) {
        if (checkedAt(DieStopped, LoopIndex, "DieStopped") != 0)
            continue;
        const int z = basMain::ZeroFace == -1 ? 1 : 0;
        const float r = m_random->next();
        // Single precision, as the odds were worked out.
        const auto v = static_cast<std::int16_t>(
            static_cast<int>(std::floor(r * static_cast<float>(basMain::DiceFaces + z))) + 1 - z);
        checkedAt(DieValue, LoopIndex, "DieValue") = v;
        checkedAt(imgDice, LoopIndex, "imgDice")->setPicture(imgMdice(v));
    }
}

void frmMain::StopRoll()
{
    basMain::checkSettings();
    const int n = basMain::DiceCount;
    for (LoopIndex = 0; LoopIndex < n; ++LoopIndex) {
        checkedAt(DieStopped, LoopIndex, "DieStopped") = -1;
        auto *label = checkedAt(lblDice, LoopIndex, "lblDice");
        label->setText(QString::number(checkedAt(DieValue, LoopIndex, "DieValue")));
        label->show();
    }
    tmrDice.stop(); // every die has stopped
    ShowTotal();
}

void frmMain::ShowTotal()
{
    const int n = basMain::DiceCount;
    int total = 0;
    for (LoopIndex = 0; LoopIndex < n; ++LoopIndex)
        total += checkedAt(DieValue, LoopIndex, "DieValue");

    const int tens = total > 9 ? static_cast<int>(std::floor(total / 10.0)) : BlankDigit;
    imgTotal[0]->setPicture(imgMdigi(tens));
    imgTotal[1]->setPicture(imgMdigi(total % 10));

    RollState = Result;
    cmdConfig->setEnabled(false);
    cmdAction->setText(QStringLiteral("リセット"));
    describeForScreenReaders();
}

void frmMain::describeForScreenReaders()
{
    // Names change with the state only, never per tick: a rolling die is
    // just "rolling" to a screen reader.
    int total = 0;
    QStringList values;
    for (std::size_t i = 0; i < imgDice.size(); ++i) {
        const QString die = QStringLiteral("ミルバネ%1").arg(i + 1);
        const QString value = QString::number(DieValue[i]);
        imgDice[i]->setAccessibleName(die + QStringLiteral(": ") +
                                      (RollState == Ready     ? QStringLiteral("空白")
                                       : RollState == Rolling ? QStringLiteral("回転中")
                                                              : value));
        lblDice[i]->setAccessibleName(die + QStringLiteral("の目: ") + value);
        if (static_cast<int>(i) < basMain::DiceCount) {
            total += DieValue[i];
            values << die + QStringLiteral(": ") + value;
        }
    }
    const QString sum = QStringLiteral("合計: ") +
                        (RollState == Result ? QString::number(total) : QStringLiteral("なし"));
    shpBack->setAccessibleName(sum);

    // What changed is spoken at once; the result stays on the action button,
    // where "where am I" finds it.
    const QString result = RollState == Result
                               ? sum + QStringLiteral("。") + values.join(QStringLiteral("、"))
                               : QString();
    cmdAction->setAccessibleDescription(result);
    m_announcer->announce(result.isEmpty() ? cmdAction->text()
                                           : result + QStringLiteral("。") + cmdAction->text());
}

void frmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    // While the settings are open this window takes no input. A Wayland
    // compositor still hands it the keyboard when it is clicked, and the
    // dialog may have been minimised, where Qt cannot see it: bring the
    // dialog back with the keyboard, or the program would look alive and
    // ignore the user.
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == this)
        return;
    // After the toolkit's own answer to the activation, so that the dialog's
    // request is the compositor's last word.
    // Wayland lets no client raise its own window (Qt warns when asked);
    // activation brings the dialog up there.
    const bool canRaise = !ScreenFit::onWayland();
    QTimer::singleShot(0, modal, [modal, canRaise] {
        modal->setWindowState(modal->windowState() & ~Qt::WindowMinimized);
        modal->show();
        if (canRaise)
            modal->raise();
        modal->activateWindow();
    });
}

void frmMain::cmdConfig_Click()
{
    {
        frmConf dialog(this);
        dialog.exec();
    }
    ResetDice();
}
