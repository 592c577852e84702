#include "support/x_server.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <memory>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace tamberlight::testing {

namespace {

struct Connection {
    explicit Connection(const std::string& display)
        : c(xcb_connect(display.c_str(), nullptr)) {}
    ~Connection() { xcb_disconnect(c); }
    xcb_connection_t* c;
};

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    auto cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
        xcb_intern_atom_reply(c, cookie, nullptr), &free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::string title(xcb_connection_t* c, xcb_window_t window) {
    auto cookie =
        xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
        xcb_get_property_reply(c, cookie, nullptr), &free);
    if (!reply)
        return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

} // namespace

XServer::XServer() {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        close(pipeFds[0]);
        const std::string fd = std::to_string(pipeFds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    // Xvfb writes the display number and then a line feed, in separate writes: read the line.
    std::string number;
    char c = 0;
    while (pid_ > 0 && read(pipeFds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(pipeFds[0]);
    if (!number.empty())
        display_ = ":" + number;
}

XServer::~XServer() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

std::optional<std::uint32_t> XServer::waitForWindow(const std::string& wanted,
                                                    int milliseconds) const {
    Connection connection(display_);
    xcb_connection_t* c = connection.c;
    if (xcb_connection_has_error(c))
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&free)> tree(
            xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr), &free);
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
                std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&free)> attributes(
                    xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]),
                                                    nullptr),
                    &free);
                if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
                    title(c, children[i]) == wanted)
                    return children[i];
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

void XServer::requestClose(std::uint32_t window) const {
    Connection connection(display_);
    xcb_connection_t* c = connection.c;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(c, "WM_PROTOCOLS");
    event.data.data32[0] = atom(c, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    // A round trip before disconnecting: the server has then handled the message.
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

} // namespace tamberlight::testing
