#include "program/Platform.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QtGlobal>

#include <cstring>

namespace
{

bool platformNamed(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0 ||
            std::strncmp(argv[i], "-platform=", 10) == 0 ||
            std::strncmp(argv[i], "--platform=", 11) == 0)
            return true;
    return false;
}

bool gnomeOnWayland()
{
    if (qgetenv("XDG_SESSION_TYPE") != "wayland" && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    // A list such as "ubuntu:GNOME" or "GNOME-Classic:GNOME".
    const QByteArrayList desktops = qgetenv("XDG_CURRENT_DESKTOP").toLower().split(':');
    return desktops.contains("gnome") || desktops.contains("gnome-classic");
}

} // namespace

void choosePlatform(int argc, char *argv[])
{
    // On X11 with more than one monitor Qt 6.4 leaves the panels out of each
    // monitor's free area, and the window would open under a top bar; the
    // work area the window manager publishes has them.
    if (qEnvironmentVariableIsEmpty("QT_RELY_ON_NET_WORKAREA_ATOM"))
        qputenv("QT_RELY_ON_NET_WORKAREA_ATOM", "1");
    if (platformNamed(argc, argv) || !gnomeOnWayland() || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    // Wayland stays the way out should Xwayland not answer.
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}
