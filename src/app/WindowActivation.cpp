#include "app/WindowActivation.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef ORVANE_X11_ACTIVATION
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstring>
#include <xcb/xcb.h>
#endif

namespace orvane::app {

namespace {

#ifdef ORVANE_X11_ACTIVATION
// The window manager learns the launch's id from the window and, from the time the id ends
// with, that the request follows the user's action; "remove:" ends the launch's busy cursor.
// False when the id carries no time, or the window is not mapped yet (a window manager
// ignores the request then): Qt asks, with the time it knows, once the window is mapped.
bool activateWithStartupId(xcb_connection_t* connection, xcb_window_t window, bool mapped, const QByteArray& startupId)
{
    const auto atom = [connection](const char* name) {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return found;
    };
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
    const xcb_window_t root = tree ? tree->root : xcb_window_t(XCB_WINDOW_NONE);
    free(tree);
    if (root == XCB_WINDOW_NONE)
        return false;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_STARTUP_ID"), atom("UTF8_STRING"), 8,
                        uint32_t(startupId.size()), startupId.constData());
    const auto send = [&](xcb_atom_t type, uint8_t format, const void* data, size_t size, uint32_t mask) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = format;
        event.window = window;
        event.type = type;
        memcpy(event.data.data8, data, size);
        xcb_send_event(connection, 0, root, mask, reinterpret_cast<const char*>(&event));
    };
    const std::optional<quint32> time = mapped ? handover::startupTime(startupId) : std::nullopt;
    if (time) {
        const uint32_t request[] = {1, *time, XCB_WINDOW_NONE}; // from an application, at the user's time
        send(atom("_NET_ACTIVE_WINDOW"), 32, request, sizeof request,
             XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    }
    // The message in pieces of 20 bytes, ending with its zero byte; the id has no spaces or quotes.
    const QByteArray message = "remove: ID=" + startupId + '\0';
    const xcb_atom_t begin = atom("_NET_STARTUP_INFO_BEGIN"), more = atom("_NET_STARTUP_INFO");
    for (qsizetype at = 0; at < message.size(); at += 20)
        send(at == 0 ? begin : more, 8, message.constData() + at, size_t(std::min<qsizetype>(20, message.size() - at)),
             XCB_EVENT_MASK_PROPERTY_CHANGE);
    xcb_flush(connection);
    return time.has_value();
}
#endif

} // namespace

void activateWindow(QWidget* window, const handover::ActivationToken& token)
{
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland")) && !token.wayland.isEmpty()) {
        // Qt's Wayland platform takes the token from here for the window's activation, and
        // removes it; a window without a surface yet takes none, and none may stay behind
        // for a later window or a program this one starts.
        qputenv("XDG_ACTIVATION_TOKEN", token.wayland);
        window->activateWindow();
        qunsetenv("XDG_ACTIVATION_TOKEN");
        return;
    }
#ifdef ORVANE_X11_ACTIVATION
    if (const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>(); x11 && !token.x11.isEmpty())
        if (activateWithStartupId(x11->connection(), xcb_window_t(window->winId()), window->windowHandle()->isExposed(),
                                  token.x11))
            return;
#endif
    window->activateWindow();
}

} // namespace orvane::app
