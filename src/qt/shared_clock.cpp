// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/shared_clock.h"

#include "app/clock_window.h"
#include "qt/clock_view.h"
#include "qt/modules.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <algorithm>
#include <unistd.h>

namespace tamberlight {

std::string newIdentity() {
    char host[64] = {};
    if (::gethostname(host, sizeof host - 1) != 0 || host[0] == '\0')
        std::snprintf(host, sizeof host, "localhost");
    char identity[128];
    std::snprintf(identity, sizeof identity, "%s-%d-%04x", host, static_cast<int>(::getpid()),
                  QRandomGenerator::global()->bounded(0x10000));
    return identity;
}

SharedClock::SharedClock(ClockView& view, ClockWindow& model, ShareSetup setup, ErrorSink report)
    : view_(view)
    , model_(model)
    , setup_(std::move(setup))
    , report_(std::move(report)) {
    elapsed_.start();
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    connect(&deadline_, &QTimer::timeout, this, [this] { apply(room().timeIs(now())); });
    connect(&view_, &ClockView::clockMoved, this,
            [this](bool tick) { apply(room().clockMoved(model_.ownClockMessage(tick), now())); });
}

SharedClock::~SharedClock() = default;

Room& SharedClock::room() {
    return model_.room();
}

void SharedClock::start() {
    std::string why;
    using Make = ShareLink* (*)(const ShareLinkOptions*, ShareLinkEvents*);
    const auto make = reinterpret_cast<Make>(
        moduleFunction("libtamberlight_share.so", "tamberlight_make_share_link", why));
    if (make == nullptr) {
        report_("cannot load the sharing module (" + why + "); this clock runs on its own");
        return;
    }
    const ShareUrl& url = setup_.url;
    const std::string identity = newIdentity();
    apply(room().join(setup_.lead, url.topic, url.broker(), identity, model_.ownClockMessage(false),
                      QDateTime::currentMSecsSinceEpoch() - now()));
    const ShareLinkOptions options{url.host,      url.port,  url.tls,  url.user,   setup_.password,
                                   setup_.caFile, url.topic, identity, setup_.lead};
    link_.reset(make(&options, this));
}

void SharedClock::linkUp() {
    apply(room().linkUp(now()));
}

void SharedClock::linkDown(const std::string& why) {
    apply(room().linkDown(why));
}

void SharedClock::refused(const std::string& why) {
    apply(room().refused(why));
}

void SharedClock::listeningForLeader() {
    apply(room().listeningForLeader(now()));
}

void SharedClock::clockMessage(std::string_view payload, bool retained) {
    apply(room().clockMessage(payload, retained, now()));
}

void SharedClock::leaderPresence(bool online, bool retained) {
    apply(room().leaderPresence(online, retained, now()));
}

void SharedClock::followerPresence(const std::string& follower, bool online) {
    apply(room().followerPresence(follower, online, now()));
}

void SharedClock::apply(Room::Effects effects) {
    for (const std::string& line : effects.tell)
        report_(line);
    if (effects.takeUp || effects.show)
        view_.run([&model = model_, &effects] {
            if (effects.takeUp)
                model.takeUp(*effects.takeUp);
            if (effects.show)
                model.showRoom(*effects.show);
        });
    if (link_ && effects.publish)
        link_->publish(*effects.publish);
    if (link_ && effects.lead)
        link_->lead();
    if (const std::optional<Room::Millis> at = room().nextDeadline())
        deadline_.start(static_cast<int>(std::max<Room::Millis>(0, *at - now())));
    else
        deadline_.stop();
}

} // namespace tamberlight
