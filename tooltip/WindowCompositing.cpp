#include "tooltip/WindowCompositing.h"

#include <QGuiApplication>

#ifdef VELMORA_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace {

#ifdef VELMORA_HAVE_XCB
bool x11CompositorRunning() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    static constexpr char kSelection[] = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, sizeof kSelection - 1, kSelection), nullptr);
    if (!atom)
        return false;
    const xcb_atom_t name = atom->atom;
    std::free(atom);
    if (name == XCB_ATOM_NONE)
        return false; // nobody ever asked for the name: no compositor has run
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, name), nullptr);
    if (!owner)
        return false;
    const bool owned = owner->owner != XCB_NONE;
    std::free(owner);
    return owned;
}
#endif

} // namespace

bool WindowSystemComposites() {
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland")) || platform == QLatin1String("windows") ||
        platform == QLatin1String("cocoa"))
        return true;
#ifdef VELMORA_HAVE_XCB
    if (platform == QLatin1String("xcb"))
        return x11CompositorRunning();
#endif
    return false;
}
