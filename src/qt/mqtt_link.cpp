// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The sharing module: a room's clock over an MQTT session. A leader publishes on the topic and
// announces itself on topic/leader, with 'offline' as its last will; followers announce
// themselves under topic/followers/. Loaded only by a window that leads or follows.
#include "qt/mqtt_session.h"
#include "qt/share_link.h"

#include <QTimer>
#include <set>

namespace tamberlight {

namespace {

// How long a window that would lead listens for a leader the topic has already.
constexpr int LeaderQuietMilliseconds = 500;

class MqttLink : public ShareLink {
public:
    MqttLink(const ShareLinkOptions& options, ShareLinkEvents& events);
    ~MqttLink() override;
    void publish(const std::string& payload) override;

private:
    void connected();
    void message(const std::string& topic, std::string_view payload, bool retained);
    void lead();

    const ShareLinkOptions options_;
    ShareLinkEvents& events_;
    const std::string presence_, followersTopic_, ownPresence_;
    bool leading_ = false, checked_ = false, otherLeader_ = false;
    int leaderCheck_ = -1;
    std::set<std::string> followers_;
    QTimer quiet_;
    // A leader that goes without a word is gone; a follower that does leaves no trace.
    MqttSession session_;
};

MqttLink::MqttLink(const ShareLinkOptions& options, ShareLinkEvents& events)
    : options_(options)
    , events_(events)
    , presence_(options.topic + "/leader")
    , followersTopic_(options.topic + "/followers/")
    , ownPresence_(followersTopic_ + options.identity)
    , session_(options, options.lead ? presence_ : ownPresence_, options.lead ? "offline" : "",
               {.connected = [this] { connected(); },
                .lost = [this](const std::string& why) { events_.linkDown(why); },
                .refused = [this](const std::string& why) { events_.refused(why); },
                .message = [this](const std::string& topic, std::string_view payload,
                                  bool retained) { message(topic, payload, retained); },
                .subscribed =
                    [this](int subscription) {
                        if (subscription == leaderCheck_ && !checked_)
                            quiet_.start(LeaderQuietMilliseconds);
                    }}) {
    quiet_.setSingleShot(true);
    QObject::connect(&quiet_, &QTimer::timeout, &session_, [this] { lead(); });
}

MqttLink::~MqttLink() {
    // A leader that closes says it is gone; a follower takes back its announcement.
    if (session_.connected() && leading_)
        session_.send(presence_, "offline");
    else if (session_.connected() && !options_.lead)
        session_.send(ownPresence_, "");
}

void MqttLink::connected() {
    if (options_.lead && !checked_) {
        leaderCheck_ = session_.subscribe(presence_);
    } else if (options_.lead) {
        // A new session: the followers announce themselves again.
        followers_.clear();
        session_.subscribe(followersTopic_ + "+");
        session_.send(presence_, "online");
    } else {
        session_.subscribe(options_.topic);
        session_.subscribe(presence_);
        session_.send(ownPresence_, "online");
    }
    events_.linkUp();
}

// The topic had no live leader while this window listened: it leads now.
void MqttLink::lead() {
    checked_ = true;
    if (otherLeader_)
        return session_.giveUp("another clock leads " + options_.topic + " on " +
                               session_.broker() + " already");
    session_.unsubscribe(presence_);
    session_.subscribe(followersTopic_ + "+");
    leading_ = true;
    session_.send(presence_, "online");
    events_.leading();
}

void MqttLink::message(const std::string& topic, std::string_view payload, bool retained) {
    if (topic == options_.topic && !options_.lead) {
        events_.clockMessage(payload, retained);
    } else if (topic == presence_) {
        if (options_.lead)
            otherLeader_ = otherLeader_ || payload == "online";
        else
            events_.leaderPresent(payload == "online");
    } else if (leading_ && topic.starts_with(followersTopic_)) {
        const std::string follower = topic.substr(followersTopic_.size());
        if (payload == "online")
            followers_.insert(follower);
        else
            followers_.erase(follower);
        events_.followers(static_cast<int>(followers_.size()));
    }
}

void MqttLink::publish(const std::string& payload) {
    if (session_.connected() && leading_)
        session_.send(options_.topic, payload);
}

} // namespace

} // namespace tamberlight

extern "C" __attribute__((visibility("default"))) tamberlight::ShareLink*
tamberlight_make_share_link(const tamberlight::ShareLinkOptions* options,
                            tamberlight::ShareLinkEvents* events) {
    return new tamberlight::MqttLink(*options, *events);
}
