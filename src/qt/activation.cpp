// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/activation.h"

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace tamberlight {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return found;
}

// The time of the user's launch, which a start-up id carries after "_TIME".
xcb_timestamp_t launchTime(const QByteArray& id) {
    const qsizetype at = id.lastIndexOf("_TIME");
    bool ok = false;
    const xcb_timestamp_t time = at < 0 ? 0 : id.mid(at + 5).toUInt(&ok);
    return ok ? time : XCB_CURRENT_TIME;
}

void sendToRoot(xcb_connection_t* connection, xcb_window_t root, xcb_client_message_event_t event,
                std::uint32_t mask) {
    event.response_type = XCB_CLIENT_MESSAGE;
    xcb_send_event(connection, 0, root, mask, reinterpret_cast<const char*>(&event));
}

void x11BringToFront(xcb_connection_t* connection, xcb_window_t window, const QByteArray& id) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window,
                        atom(connection, "_NET_STARTUP_ID"), atom(connection, "UTF8_STRING"), 8,
                        static_cast<std::uint32_t>(id.size()), id.constData());
    // Asked for by the application (1), at the time of the launch.
    xcb_client_message_event_t activate{};
    activate.format = 32;
    activate.window = window;
    activate.type = atom(connection, "_NET_ACTIVE_WINDOW");
    activate.data.data32[0] = 1;
    activate.data.data32[1] = launchTime(id);
    sendToRoot(connection, root, activate,
               XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    // The launch has ended: the desktop stops its feedback. The message goes in pieces of 20
    // bytes, the first of one type and the rest of another, its closing NUL included.
    const QByteArray message =
        "remove: ID=\"" + QByteArray(id).replace('\\', "\\\\").replace('"', "\\\"") + '"';
    xcb_client_message_event_t piece{};
    piece.format = 8;
    piece.window = root;
    piece.type = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    for (qsizetype sent = 0; sent <= message.size(); sent += 20) {
        std::memset(piece.data.data8, 0, sizeof piece.data.data8);
        std::memcpy(piece.data.data8, message.constData() + sent,
                    std::size_t(std::min<qsizetype>(20, message.size() - sent)));
        sendToRoot(connection, root, piece, XCB_EVENT_MASK_PROPERTY_CHANGE);
        piece.type = more;
    }
    xcb_flush(connection);
}

} // namespace

void bringToFront(QWidget& window, const QByteArray& token) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        x11 != nullptr && !token.isEmpty()) {
        x11BringToFront(x11->connection(), static_cast<xcb_window_t>(window.winId()), token);
        return;
    }
    // Qt 6.4 has no public way to present a token on Wayland; from 6.5 on, the activation the
    // window asks for next presents the token found here.
    if (!token.isEmpty() && QGuiApplication::platformName() == QLatin1String("wayland"))
        qputenv("XDG_ACTIVATION_TOKEN", token);
    window.activateWindow();
}

} // namespace tamberlight
