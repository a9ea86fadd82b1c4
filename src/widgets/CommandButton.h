#pragma once

#include <QHash>
#include <QPushButton>
#include <QSet>

class QCoreApplication;

// A push button as the windows need it:
// - One press is one click, however long the key is held. The keyboard's
//   repeats are ignored, whether the platform flags them or not: on X11 the
//   toolkit takes a repeat for a new press when the server's release and
//   press pair arrives split, and the throw would run through start, stop
//   and reset many times a second. Space clicks as it goes down, like
//   Enter, so that a repeat's release cannot click either. And no first
//   press is lost: on Windows a key released while a window closes leaves
//   the toolkit thinking it still held, so Windows' own word counts there.
// - The focus is drawn as a solid ring in the style's highlight, or in the
//   text colour where the highlight stands out less than 3:1 from the face
//   anywhere under the ring: on some styles the focus mark alone is too
//   faint to see at a glance.
class CommandButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CommandButton(const QString &text, QWidget *parent = nullptr);

    // On Windows, where the application is made: Windows' own word on which
    // presses repeat a held key, watched for every button while the
    // application lives.
    static void watchKeyRepeats(QCoreApplication *application);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool isRepeat(const QKeyEvent *event) const;
    // The least contrast of `colour` with the face where the focus ring goes.
    double leastContrastUnderRing(const QColor &colour) const;

    // When each key was last released: a press at the same moment is the
    // second half of a repeat.
    QHash<int, quint64> m_releasedAt;
    // Keys pressed on this button and not yet released.
    QSet<int> m_held;
};
