// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "support/damage_watch.h"

#include <xcb/damage.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <poll.h>

namespace tamberlight::bench {

using Clock = std::chrono::steady_clock;

DamageWatch::DamageWatch(const std::string& display)
    : c_(xcb_connect(display.c_str(), nullptr)) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c_, &xcb_damage_id);
    if (extension == nullptr || extension->present == 0) {
        std::fprintf(stderr, "the X server has no DAMAGE extension\n");
        std::exit(1);
    }
    firstEvent_ = extension->first_event;
    free(xcb_damage_query_version_reply(c_, xcb_damage_query_version(c_, 1, 1), nullptr));
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    damage_ = xcb_generate_id(c_);
    xcb_damage_create(c_, damage_, root_, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    // Windows mapped on the screen are told too.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c_);
}

DamageWatch::~DamageWatch() {
    xcb_disconnect(c_);
}

std::optional<Clock::time_point> DamageWatch::waitForFrame(int milliseconds,
                                                           Clock::time_point* mapped) {
    bool seenMap = false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < deadline) {
        pollfd fd{xcb_get_file_descriptor(c_), POLLIN, 0};
        ::poll(&fd, 1, 50);
        while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
            const auto now = Clock::now();
            bool drawn = false;
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && !seenMap) {
                seenMap = true;
                if (mapped != nullptr)
                    *mapped = now;
            }
            if ((event->response_type & 0x7f) == firstEvent_ + XCB_DAMAGE_NOTIFY) {
                const auto* notify = reinterpret_cast<xcb_damage_notify_event_t*>(event);
                drawn = !plain(notify->area);
            }
            free(event);
            if (drawn)
                return now;
        }
    }
    return std::nullopt;
}

void DamageWatch::drain() {
    sync();
    while (xcb_generic_event_t* event = xcb_poll_for_event(c_))
        free(event);
}

bool DamageWatch::plain(const xcb_rectangle_t& area) {
    std::unique_ptr<xcb_get_image_reply_t, decltype(&free)> image(
        xcb_get_image_reply(c_,
                            xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, area.x, area.y,
                                          area.width, area.height, ~0U),
                            nullptr),
        &free);
    if (!image)
        return true;
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
    const int count = xcb_get_image_data_length(image.get()) / 4;
    return std::all_of(pixels, pixels + count, [&](std::uint32_t p) { return p == pixels[0]; });
}

void DamageWatch::sync() {
    free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
}

} // namespace tamberlight::bench
