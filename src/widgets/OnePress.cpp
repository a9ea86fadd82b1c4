#include "widgets/OnePress.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QSet>

namespace
{

class OnePressPerKey : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return isRepeat(static_cast<QKeyEvent *>(event)) &&
                   qobject_cast<QAbstractButton *>(watched) != nullptr;
        case QEvent::ApplicationDeactivate:
            m_down.clear(); // a release elsewhere never reaches us
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Whether the event repeats a key already down. The same event passes
    // here once for each widget it propagates to; its time stamp tells.
    bool isRepeat(const QKeyEvent *key)
    {
        if (key->isAutoRepeat())
            return true;
        const int code = key->key();
        if (key->type() == QEvent::KeyRelease) {
            m_down.remove(code);
            return false;
        }
        if (!m_down.contains(code)) {
            m_down.insert(code);
            m_pressedAt[code] = key->timestamp();
            return false;
        }
        return key->timestamp() != m_pressedAt.value(code);
    }

    QSet<int> m_down;
    QHash<int, quint64> m_pressedAt;
};

} // namespace

void installOnePressPerKey()
{
    static OnePressPerKey *filter = nullptr;
    if (filter)
        return;
    filter = new OnePressPerKey(qApp);
    qApp->installEventFilter(filter);
}
