// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/shared_clock.h"

#include "app/form1.h"
#include "qt/form1_window.h"
#include "qt/modules.h"

#include <QRandomGenerator>
#include <unistd.h>

namespace tamberlight {

namespace {

// Unique in the room: the machine, the process and a random part.
std::string newIdentity() {
    char host[64] = {};
    if (::gethostname(host, sizeof host - 1) != 0 || host[0] == '\0')
        std::snprintf(host, sizeof host, "localhost");
    char identity[128];
    std::snprintf(identity, sizeof identity, "%s-%d-%04x", host, static_cast<int>(::getpid()),
                  QRandomGenerator::global()->bounded(0x10000));
    return identity;
}

// Ignored messages are told at most once a minute.
constexpr qint64 IgnoredQuietMilliseconds = 60000;

} // namespace

SharedClock::SharedClock(Form1Window& window, Form1& form, ShareSetup setup, ErrorSink report)
    : window_(window)
    , form_(form)
    , setup_(std::move(setup))
    , report_(std::move(report))
    , identity_(newIdentity()) {}

SharedClock::~SharedClock() {
    form_.onClockMoved = nullptr;
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
    const ShareLinkOptions options{url.host,      url.port,  url.tls,   url.user,   setup_.password,
                                   setup_.caFile, url.topic, identity_, setup_.lead};
    if (!setup_.lead)
        window_.run([this] { form_.startFollowing(); });
    else
        form_.onClockMoved = [this](bool tick) { publish(tick); };
    link_.reset(make(&options, this));
    showStatus();
}

void SharedClock::linkUp() {
    if (toldDown_)
        report_("the link to the broker " + setup_.url.broker() + " is back");
    toldDown_ = false;
    state_ = Link::Up;
    // A leader that was away tells its clock again at once.
    if (leading_)
        publish(false);
    showStatus();
}

void SharedClock::linkDown(const std::string& why) {
    if (!toldDown_)
        report_((state_ == Link::Connecting ? "cannot reach the broker "
                                            : "lost the link to the broker ") +
                setup_.url.broker() + ": " + why + "; trying again");
    toldDown_ = true;
    state_ = Link::Down;
    showStatus();
}

void SharedClock::refused(const std::string& why) {
    report_(why + "; this clock runs on its own");
    state_ = Link::Alone;
    leading_ = false;
    form_.onClockMoved = nullptr;
    window_.run([this] { form_.runAlone(); });
}

void SharedClock::leading() {
    leading_ = true;
    publish(false);
    showStatus();
}

void SharedClock::clockMessage(std::string_view payload, bool retained) {
    Form1::Followed taken = Form1::Followed::Applied;
    window_.run([&] { taken = form_.followLeader(payload, !retained); });
    if (taken != Form1::Followed::Invalid)
        return;
    if (!lastIgnored_.isValid() || lastIgnored_.elapsed() >= IgnoredQuietMilliseconds) {
        report_("ignored a message on " + setup_.url.topic + " that is no leader's clock");
        lastIgnored_.start();
    }
}

void SharedClock::leaderPresent(bool present) {
    leaderPresent_ = present;
    showStatus();
}

void SharedClock::followers(int count) {
    followers_ = count;
    showStatus();
}

void SharedClock::publish(bool tick) {
    if (!leading_ || !link_)
        return;
    ClockMessage message = form_.clockMessage(tick);
    message.sequence = ++sequence_;
    message.leader = identity_;
    link_->publish(encodeClockMessage(message));
}

void SharedClock::showStatus() {
    const std::string& topic = setup_.url.topic;
    std::string status;
    switch (state_) {
    case Link::Alone:
        break;
    case Link::Connecting:
        status = topic + ": connecting";
        break;
    case Link::Down:
        status = topic + ": no connection, retrying";
        break;
    case Link::Up:
        if (!setup_.lead)
            status = "following " + topic + (leaderPresent_ ? "" : ": leader gone");
        else if (leading_)
            status = "leading " + topic +
                     (followers_ > 0 ? " (" + std::to_string(followers_) + " following)" : "");
        else
            status = topic + ": connecting";
        break;
    }
    window_.run([this, status] { form_.showSharing(status); });
}

} // namespace tamberlight
