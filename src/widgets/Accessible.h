#pragma once

#include <QString>
#include <QWidget>

// Speaks a sentence through the screen reader without showing anything: a
// notification that appears for assistive technologies only. Screen readers
// announce a notification as it is shown, which is the one change Qt's
// AT-SPI bridge reports in a form they read aloud.
class Announcer : public QWidget
{
    Q_OBJECT

public:
    explicit Announcer(QWidget *parent);
    void announce(const QString &text);
};

// How the program's own widgets present themselves to assistive
// technologies: a main window (a plain QWidget window) as a frame, pictures
// as images, the announcer as a notification. Unnamed pictures are
// decoration and left out of the tree. Installed once, at start-up.
void installAccessibleInterfaces();
