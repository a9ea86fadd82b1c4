#include "program/Platform.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QGuiApplication>
#include <QtGlobal>

#if MILBANE_XKB
// xkb.h names a field "explicit", which C++ reserves.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit
#endif

#include <cstdlib>
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
    if (platformNamed(argc, argv) || !gnomeOnWayland() || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    // Wayland stays the way out should Xwayland not answer.
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

void requestDetectableAutoRepeat()
{
#if MILBANE_XKB
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    // The toolkit has already enabled XKB on its connection; the flag is
    // the connection's own.
    constexpr auto flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    std::free(xcb_xkb_per_client_flags_reply(
        x11->connection(),
        xcb_xkb_per_client_flags(x11->connection(), XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0),
        nullptr));
#endif
}
