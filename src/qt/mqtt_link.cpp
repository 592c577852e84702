// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The sharing module: a room's clock over an MQTT session. A leader publishes on the topic and
// announces itself on topic/leader, with 'offline' as its last will; followers announce
// themselves under topic/followers/, again every little while, and their announcements expire.
// Every clock that may lead hears the topic and the leader's announcement. Loaded only by a
// window that leads or follows; what the room does is the room's to decide.
#include "qt/mqtt_session.h"
#include "qt/share_link.h"
#include "share/room.h"

namespace tamberlight {

namespace {

using Delivery = MqttSession::Delivery;

class MqttLink : public ShareLink {
public:
    MqttLink(const ShareLinkOptions& options, ShareLinkEvents& events);
    ~MqttLink() override;
    void publish(const std::string& payload) override;
    void lead() override;

private:
    void connected();
    void announce();
    void message(const std::string& topic, std::string_view payload, bool retained);

    const ShareLinkOptions options_;
    ShareLinkEvents& events_;
    const std::string presence_, followersTopic_, ownPresence_;
    bool leading_ = false;
    int leaderCheck_ = -1;
    QTimer announcing_;
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
                        if (subscription == leaderCheck_)
                            events_.listeningForLeader();
                    }}) {
    announcing_.setTimerType(Qt::VeryCoarseTimer);
    announcing_.setInterval(static_cast<int>(Room::FollowerRefresh));
    QObject::connect(&announcing_, &QTimer::timeout, [this] { announce(); });
}

MqttLink::~MqttLink() {
    // A leader that closes says it is gone; a follower takes back its announcement.
    if (leading_)
        session_.send(presence_, "offline", Delivery::AtLeastOnce);
    else if (!options_.lead)
        session_.send(ownPresence_, "", Delivery::AtLeastOnce);
}

void MqttLink::connected() {
    session_.subscribe(options_.topic);
    leaderCheck_ = session_.subscribe(presence_);
    if (!options_.lead) {
        announce();
        announcing_.start();
    }
    events_.linkUp();
}

void MqttLink::announce() {
    session_.send(ownPresence_, "online", Delivery::AtLeastOnce,
                  static_cast<int>(Room::FollowerGone / 1000));
}

void MqttLink::lead() {
    leading_ = true;
    // Its followers announce themselves, and again after each new session.
    session_.subscribe(followersTopic_ + "+");
    session_.send(presence_, "online", Delivery::AtLeastOnce);
}

void MqttLink::message(const std::string& topic, std::string_view payload, bool retained) {
    if (topic == options_.topic)
        events_.clockMessage(payload, retained);
    else if (topic == presence_)
        events_.leaderPresence(payload == "online", retained);
    else if (topic.starts_with(followersTopic_))
        events_.followerPresence(topic.substr(followersTopic_.size()), payload == "online");
}

void MqttLink::publish(const std::string& payload) {
    session_.send(options_.topic, payload, Delivery::AtMostOnce);
}

} // namespace

} // namespace tamberlight

extern "C" __attribute__((visibility("default"))) tamberlight::ShareLink*
tamberlight_make_share_link(const tamberlight::ShareLinkOptions* options,
                            tamberlight::ShareLinkEvents* events) {
    return new tamberlight::MqttLink(*options, *events);
}
