#include "widgets/Accessible.h"

#include "widgets/PictureBox.h"
#include "widgets/ShapeBox.h"

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

QAccessibleInterface *factory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    // Exact classes: a subclass of these would present itself.
    const QMetaObject *type = widget->metaObject();
    if (type == &PictureBox::staticMetaObject || type == &ShapeBox::staticMetaObject)
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    if (type == &Announcer::staticMetaObject)
        return new QAccessibleWidget(widget, QAccessible::Notification);
    // The program's own main windows; Qt's dialogs, menus and popups are
    // other kinds of window and keep the toolkit's interfaces.
    if (widget->windowType() == Qt::Window && type->superClass() == &QWidget::staticMetaObject)
        return new FrameAccessible(widget);
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
