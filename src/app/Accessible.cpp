#include "app/Accessible.h"

#include <QAccessibleWidget>

Announcer::Announcer(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
    hide();
}

void Announcer::announce(const QString &text)
{
    setAccessibleName(text);
    hide();
    show();
}

namespace
{

bool decoration(QAccessibleInterface *face)
{
    return face && face->role() == QAccessible::Graphic && face->text(QAccessible::Name).isEmpty();
}

// A top-level window whose tree leaves out its decoration.
class FrameAccessible : public QAccessibleWidget
{
public:
    explicit FrameAccessible(QWidget *window) : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override { return int(parts().size()); }
    QAccessibleInterface *child(int index) const override { return parts().value(index); }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return int(parts().indexOf(const_cast<QAccessibleInterface *>(child)));
    }

private:
    QList<QAccessibleInterface *> parts() const
    {
        QList<QAccessibleInterface *> found;
        for (QObject *object : widget()->children()) {
            auto *part = qobject_cast<QWidget *>(object);
            if (!part || part->isWindow())
                continue;
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(part);
            if (face && !decoration(face))
                found << face;
        }
        return found;
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String("frmMain"))
        return new FrameAccessible(widget);
    if (className == QLatin1String("PictureBox") || className == QLatin1String("ShapeBox"))
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    if (className == QLatin1String("Announcer"))
        return new QAccessibleWidget(widget, QAccessible::Notification);
    return nullptr;
}

} // namespace

void installAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}
