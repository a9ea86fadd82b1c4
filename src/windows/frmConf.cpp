#include "windows/frmConf.h"

#include "ground/Fonts.h"
#include "ground/ScreenFit.h"
#include "ground/Settings.h"
#include "ground/Twips.h"
#include "widgets/Accessible.h"
#include "widgets/CommandButton.h"
#include "windows/CompactComboStyle.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace
{

constexpr int ClientWidth = 4680;
constexpr int ClientHeight = 3090;
constexpr int FontPixels = 24; // 18 pt

constexpr std::array<TwipRect, 3> BoxPlaces = {
    {{240, 240, 735, 480}, {1920, 240, 735, 480}, {240, 1320, 735, 480}}};
constexpr std::array<TwipRect, 3> CaptionPlaces = {
    {{1080, 360, 735, 375}, {1800, 840, 2655, 375}, {1080, 1440, 1215, 375}}};
constexpr TwipRect OkPlace{600, 2520, 1935, 495};
constexpr TwipRect CancelPlace{2640, 2520, 1935, 495};

// Each box lists the numbers from its first to its last entry.
constexpr std::array<std::array<int, 2>, 3> BoxRanges = {{{0, 1}, {2, 10}, {1, 4}}};

} // namespace

frmConf::frmConf(QWidget *owner) : QDialog(owner, Qt::Dialog | ScreenFit::FixedFrame)
{
    setWindowTitle(QStringLiteral("ミルバネ設定"));
    setFixedSize(twipsToPixels(ClientWidth), twipsToPixels(ClientHeight));
    setFont(gothicFont(FontPixels));

    const std::array<QString, 3> captions = {
        QStringLiteral("から"), QStringLiteral("までのミルバネを"), QStringLiteral("個使用")};
    // What each box means, for screen readers, which speak it after the
    // value: the captions only make sense read as one sentence with the boxes.
    const std::array<QString, 3> meanings = {QStringLiteral("最小の目"), QStringLiteral("最大の目"),
                                             QStringLiteral("ミルバネの数")};
    m_announcer = new Announcer(this);
    auto *comboStyle = new CompactComboStyle;
    comboStyle->setParent(this);
    for (std::size_t i = 0; i < 3; ++i) {
        auto *box = new QComboBox(this);
        box->setStyle(comboStyle);
        for (int value = BoxRanges[i][0]; value <= BoxRanges[i][1]; ++value)
            box->addItem(QString::number(value));
        box->setCurrentIndex(-1);
        box->setAccessibleDescription(meanings[i]);
        // Screen readers drop a closed box's own report of a new value.
        connect(box, &QComboBox::activated, this, [this, box] {
            if (!box->view()->isVisible())
                m_announcer->announce(box->currentText());
        });
        place(box, BoxPlaces[i]);
        box->installEventFilter(this);
        box->setObjectName(QStringLiteral("cboDice%1").arg(i));
        cboDice[i] = box;

        lblCap[i] = new QLabel(captions[i], this);
        lblCap[i]->setObjectName(QStringLiteral("lblCap%1").arg(i));
        place(lblCap[i], CaptionPlaces[i]);
    }

    cmdOK = new CommandButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    place(cmdOK, OkPlace);
    cmdOK->setDefault(true);
    cmdCancel = new CommandButton(QStringLiteral("キャンセル"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    place(cmdCancel, CancelPlace);

    setTabOrder(cmdCancel, cmdOK);
    setTabOrder(cmdOK, cboDice[0]);
    setTabOrder(cboDice[0], cboDice[1]);
    setTabOrder(cboDice[1], cboDice[2]);
    cmdCancel->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmConf::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmConf::cmdCancel_Click);

    if (owner)
        centreOver(owner->window());
    Form_Load();
}

void frmConf::centreOver(const QWidget *owner)
{
    // Outer frame on outer frame, assuming our frame is cut like the owner's;
    // Qt's own placement would centre client areas instead. Wholly inside
    // the screen's free area, whatever the owner's place.
    const QRect ownerFrame = owner->frameGeometry();
    const QSize outer = size() + (ownerFrame.size() - owner->size());
    move(ScreenFit::keptInside(ownerFrame.center() - QPoint(outer.width() / 2, outer.height() / 2),
                               outer, ScreenFit::freeArea(owner)));
}

bool frmConf::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a closed box presses OK. GNOME's platform theme would have it
    // open the box's list instead, and QDialog's own default can still be
    // Cancel: it is made so by a focus event sent as the dialog shows, and
    // on Windows the focus can reach a box before the window is active.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            cmdOK->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmConf::keyPressEvent(QKeyEvent *event)
{
    // No button answers Escape: the dialog stays open.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        return;
    QDialog::keyPressEvent(event);
}

void frmConf::Form_Load()
{
    basMain::checkSettings();
    PendingZero = basMain::ZeroFace;
    cboDice[0]->setCurrentIndex(PendingZero == 0 ? 1 : 0);
    PendingFaces = basMain::DiceFaces;
    cboDice[1]->setCurrentIndex(basMain::DiceFaces - 2);
    PendingCount = basMain::DiceCount;
    cboDice[2]->setCurrentIndex(basMain::DiceCount - 1);
}

void frmConf::cmdOK_Click()
{
    PendingZero = cboDice[0]->currentIndex() == 0 ? -1 : 0;
    PendingFaces = static_cast<std::int16_t>(cboDice[1]->currentIndex() + 2);
    PendingCount = static_cast<std::int16_t>(cboDice[2]->currentIndex() + 1);
    basMain::ZeroFace = PendingZero != 0 ? -1 : 0;
    basMain::DiceFaces = PendingFaces;
    basMain::DiceCount = PendingCount;
    accept();
}

void frmConf::cmdCancel_Click()
{
    reject();
}
