#include "widgets/CommandButton.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#ifdef Q_OS_WIN
#include <QAbstractNativeEventFilter>
#include <windows.h>
#endif

#include <algorithm>
#include <cmath>

namespace
{

// Contrast ratio of two colours, as WCAG measures it (1 to 21).
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

constexpr int RingWidth = 3;
constexpr int RingInset = 3; // inside the style's bevel

#ifdef Q_OS_WIN
// Windows says itself whether a key press repeats a held key: bit 30 of the
// message, set when the key was already down. Qt's own flag is worked out
// from the presses and releases it saw, and a release that went to a window
// that was closing leaves it believing the key is still down, so that the
// next real press would count as a repeat and be lost. Kept key by key:
// another key's press may come between a key's message and its event.
class KeyRepeats final : public QObject, public QAbstractNativeEventFilter
{
public:
    explicit KeyRepeats(QCoreApplication *application) : QObject(application)
    {
        watching = this;
        application->installNativeEventFilter(this);
    }
    ~KeyRepeats() override { watching = nullptr; }

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const auto *msg = static_cast<const MSG *>(message);
        if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN)
            m_repeats.insert(quint32(msg->wParam), (msg->lParam & (LPARAM(1) << 30)) != 0);
        return false;
    }
    bool repeats(quint32 virtualKey) const { return m_repeats.value(virtualKey); }

    static inline KeyRepeats *watching = nullptr; // the application's, while it lives

private:
    QHash<quint32, bool> m_repeats;
};
#endif

} // namespace

CommandButton::CommandButton(const QString &text, QWidget *parent) : QPushButton(text, parent) {}

void CommandButton::watchKeyRepeats(QCoreApplication *application)
{
#ifdef Q_OS_WIN
    new KeyRepeats(application);
#else
    Q_UNUSED(application)
#endif
}

bool CommandButton::isRepeat(const QKeyEvent *event) const
{
#ifdef Q_OS_WIN
    // A key from Windows (a test's key has no native code): Windows' word
    // alone. The toolkit hands on a press it takes for a repeat as a
    // release and a press at one moment, which is no X11 repeat.
    if (KeyRepeats::watching && event->nativeVirtualKey() != 0)
        return KeyRepeats::watching->repeats(event->nativeVirtualKey());
#endif
    // A press of a key held down on this button since its last press, as a
    // held key's repeats come without their releases on Windows and from
    // some synthetic input; and, on X11, the press that comes at the very
    // moment of a release, the second half of a repeat split in two. A time
    // of 0 is none: the accessibility bridge hands keys on without one.
    const auto released = m_releasedAt.constFind(event->key());
    return event->isAutoRepeat() || m_held.contains(event->key()) ||
           (event->timestamp() != 0 && released != m_releasedAt.cend() &&
            *released == event->timestamp());
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (isRepeat(event)) {
        event->accept();
        return;
    }
    m_held.insert(key);
    if ((key == Qt::Key_Space || key == Qt::Key_Select) && event->modifiers() == Qt::NoModifier) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void CommandButton::keyReleaseEvent(QKeyEvent *event)
{
    const int key = event->key();
    m_releasedAt.insert(key, event->timestamp());
    m_held.remove(key);
    if (event->isAutoRepeat() || key == Qt::Key_Space || key == Qt::Key_Select) {
        event->accept();
        return;
    }
    QPushButton::keyReleaseEvent(event);
}

void CommandButton::focusOutEvent(QFocusEvent *event)
{
    // A key released elsewhere is released here too, as far as this button
    // knows: its next press is a first press.
    m_held.clear();
    QPushButton::focusOutEvent(event);
}

void CommandButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    QColor ring = palette().color(QPalette::Highlight);
    if (leastContrastUnderRing(ring) < 3.0)
        ring = palette().color(QPalette::ButtonText);
    QPainter painter(this);
    painter.setPen(QPen(ring, RingWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = RingInset + RingWidth / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

double CommandButton::leastContrastUnderRing(const QColor &colour) const
{
    // The face as the style paints it unfocused, not the palette's one
    // colour: some styles shade it, and Fusion tints a dialog's default
    // button towards the highlight, where a highlight ring fades.
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_HasFocus;
    QImage face(size(), QImage::Format_RGB32);
    face.fill(palette().color(QPalette::Button));
    QPainter painter(&face);
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
    painter.end();
    const QRect outer = rect().adjusted(RingInset, RingInset, -RingInset, -RingInset);
    const QRect inner = outer.adjusted(RingWidth, RingWidth, -RingWidth, -RingWidth);
    double least = 21.0;
    for (int y = outer.top(); y <= outer.bottom(); ++y)
        for (int x = outer.left(); x <= outer.right(); ++x)
            if (!inner.contains(x, y))
                least = std::min(least, contrast(colour, face.pixelColor(x, y)));
    return least;
}
