// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The sharing module: a link to an MQTT broker through libmosquitto, driven by Qt's event loop
// on the window's thread (the socket under notifiers, the keep-alive on a timer): no thread of
// its own and no lock. Loaded only by a window that leads or follows.
#include "qt/share_link.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mosquitto.h>
#include <poll.h>
#include <set>

namespace tamberlight {

namespace {

// A follower learns within this that a silent leader is gone.
constexpr int KeepAliveSeconds = 10;
constexpr int FirstRetryMilliseconds = 1000;
constexpr int LastRetryMilliseconds = 30000;
// How long a window that would lead listens for a leader the topic has already.
constexpr int LeaderQuietMilliseconds = 500;
constexpr int AtLeastOnce = 1;

class MqttLink : public QObject, public ShareLink {
public:
    MqttLink(const ShareLinkOptions& options, ShareLinkEvents& events);
    ~MqttLink() override;
    void publish(const std::string& payload) override;

private:
    void connectNow();
    void watchSocket();
    void dropSocket();
    void handled(int rc);
    void lost(const std::string& why);
    void giveUp(const std::string& why);
    void announce();
    void send(const std::string& topic, std::string_view payload);
    std::string why(int rc) const;
    std::string broker() const { return options_.host + ":" + std::to_string(options_.port); }

    void connected(int rc);
    void message(const mosquitto_message& message);
    void subscribed(int mid);

    ShareLinkOptions options_;
    ShareLinkEvents& events_;
    mosquitto* client_ = nullptr;
    std::unique_ptr<QSocketNotifier> reading_, writing_;
    QTimer misc_, retry_, quiet_;
    int retryMilliseconds_ = FirstRetryMilliseconds;
    bool started_ = false, connected_ = false, finished_ = false;
    bool leading_ = false, checked_ = false, otherLeader_ = false;
    int leaderCheck_ = -1;
    std::string lastError_;
    std::set<std::string> followers_;
    const std::string presence_, followersTopic_, ownPresence_;
};

MqttLink::MqttLink(const ShareLinkOptions& options, ShareLinkEvents& events)
    : options_(options)
    , events_(events)
    , presence_(options.topic + "/leader")
    , followersTopic_(options.topic + "/followers/")
    , ownPresence_(followersTopic_ + options.identity) {
    static const bool ready = mosquitto_lib_init() == MOSQ_ERR_SUCCESS;
    client_ = ready ? mosquitto_new(options_.identity.c_str(), true, this) : nullptr;
    // The keep-alive is looked after as messages arrive; the timer only wakes a link that has
    // been quiet for a whole keep-alive, so a follower wakes once per tick and no more.
    misc_.setTimerType(Qt::VeryCoarseTimer);
    misc_.setInterval(KeepAliveSeconds * 1000);
    connect(&misc_, &QTimer::timeout, this, [this] { handled(mosquitto_loop_misc(client_)); });
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, [this] { connectNow(); });
    quiet_.setSingleShot(true);
    connect(&quiet_, &QTimer::timeout, this, [this] {
        checked_ = true;
        if (otherLeader_)
            return giveUp("another clock leads " + options_.topic + " on " + broker() + " already");
        mosquitto_unsubscribe(client_, nullptr, presence_.c_str());
        mosquitto_subscribe(client_, nullptr, (followersTopic_ + "+").c_str(), AtLeastOnce);
        leading_ = true;
        announce();
        events_.leading();
    });
    QTimer::singleShot(0, this, [this] {
        if (client_ == nullptr)
            return giveUp("cannot start the MQTT client library");
        mosquitto_log_callback_set(client_,
                                   [](mosquitto*, void* self, int level, const char* text) {
                                       if (level == MOSQ_LOG_ERR)
                                           static_cast<MqttLink*>(self)->lastError_ = text;
                                   });
        mosquitto_connect_callback_set(client_, [](mosquitto*, void* self, int rc) {
            static_cast<MqttLink*>(self)->connected(rc);
        });
        mosquitto_disconnect_callback_set(client_, [](mosquitto*, void* self, int rc) {
            if (rc != 0)
                static_cast<MqttLink*>(self)->lost(mosquitto_strerror(rc));
        });
        mosquitto_message_callback_set(client_,
                                       [](mosquitto*, void* self, const mosquitto_message* m) {
                                           static_cast<MqttLink*>(self)->message(*m);
                                       });
        mosquitto_subscribe_callback_set(client_,
                                         [](mosquitto*, void* self, int mid, int, const int*) {
                                             static_cast<MqttLink*>(self)->subscribed(mid);
                                         });
        if (!options_.user.empty())
            mosquitto_username_pw_set(client_, options_.user.c_str(),
                                      options_.password.empty() ? nullptr
                                                                : options_.password.c_str());
        if (options_.tls) {
            // The broker's certificate and its host name are checked against the system's
            // store, or the private authority given.
            if (options_.caFile.empty())
                mosquitto_int_option(client_, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
            else
                mosquitto_tls_set(client_, options_.caFile.c_str(), nullptr, nullptr, nullptr,
                                  nullptr);
            mosquitto_tls_opts_set(client_, 1, nullptr, nullptr);
            mosquitto_tls_insecure_set(client_, false);
        }
        // A leader that goes without a word is gone; a follower that does leaves no trace.
        if (options_.lead)
            mosquitto_will_set(client_, presence_.c_str(), 7, "offline", AtLeastOnce, true);
        else
            mosquitto_will_set(client_, ownPresence_.c_str(), 0, nullptr, AtLeastOnce, true);
        connectNow();
    });
}

MqttLink::~MqttLink() {
    if (client_ == nullptr)
        return;
    if (connected_) {
        // A leader that closes says it is gone; a follower takes back its announcement.
        if (leading_)
            send(presence_, "offline");
        else if (!options_.lead)
            send(ownPresence_, "");
        mosquitto_disconnect(client_);
        const int fd = mosquitto_socket(client_);
        for (int i = 0; i < 20 && fd >= 0 && mosquitto_want_write(client_); ++i) {
            pollfd ready{fd, POLLOUT, 0};
            if (::poll(&ready, 1, 50) != 1 || mosquitto_loop_write(client_, 1) != MOSQ_ERR_SUCCESS)
                break;
        }
    }
    dropSocket();
    mosquitto_destroy(client_);
}

void MqttLink::connectNow() {
    if (finished_)
        return;
    lastError_.clear();
    const int rc = started_ ? mosquitto_reconnect_async(client_)
                            : mosquitto_connect_async(client_, options_.host.c_str(), options_.port,
                                                      KeepAliveSeconds);
    started_ = true;
    if (rc != MOSQ_ERR_SUCCESS)
        return handled(rc);
    watchSocket();
}

void MqttLink::watchSocket() {
    dropSocket();
    const int fd = mosquitto_socket(client_);
    if (fd < 0)
        return lost("no connection");
    reading_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(reading_.get(), &QSocketNotifier::activated, this, [this] {
        handled(mosquitto_loop_read(client_, 1));
        if (reading_) {
            handled(mosquitto_loop_misc(client_));
            misc_.start();
        }
    });
    writing_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    connect(writing_.get(), &QSocketNotifier::activated, this,
            [this] { handled(mosquitto_loop_write(client_, 1)); });
    writing_->setEnabled(mosquitto_want_write(client_));
    misc_.start();
}

// The notifiers may be the ones whose signal is being handled: they go once it is.
void MqttLink::dropSocket() {
    misc_.stop();
    for (std::unique_ptr<QSocketNotifier>* notifier : {&reading_, &writing_}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            notifier->release()->deleteLater();
        }
    }
}

void MqttLink::handled(int rc) {
    if (finished_)
        return;
    if (rc == MOSQ_ERR_SUCCESS) {
        if (writing_)
            writing_->setEnabled(mosquitto_want_write(client_));
        return;
    }
    // A certificate that is not trusted stays untrusted: no use trying again.
    if (rc == MOSQ_ERR_TLS) {
        const std::string detail = lastError_.substr(lastError_.rfind(':') + 1);
        return giveUp("cannot connect to the broker " + broker() +
                      ": its certificate is not trusted (" +
                      (detail.empty() ? std::string("TLS failed") : detail) + ")");
    }
    lost(why(rc));
}

void MqttLink::lost(const std::string& why) {
    dropSocket();
    if (finished_ || retry_.isActive())
        return;
    connected_ = false;
    events_.linkDown(why);
    retry_.start(retryMilliseconds_);
    retryMilliseconds_ = std::min(retryMilliseconds_ * 2, LastRetryMilliseconds);
}

void MqttLink::giveUp(const std::string& why) {
    finished_ = true;
    dropSocket();
    retry_.stop();
    quiet_.stop();
    if (client_ != nullptr && connected_)
        mosquitto_disconnect(client_);
    connected_ = false;
    events_.refused(why);
}

// In the user's words: "connection refused", not "Connection refused.".
std::string MqttLink::why(int rc) const {
    std::string text = rc == MOSQ_ERR_ERRNO ? std::strerror(errno)
                       : lastError_.empty() ? mosquitto_strerror(rc)
                                            : lastError_;
    if (text.ends_with('.'))
        text.pop_back();
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' &&
        !(text.size() > 1 && text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

void MqttLink::connected(int rc) {
    if (rc != 0) {
        // A wrong name or password, or a broker that does not let this client in, stays so.
        static const char* const refusals[] = {"",
                                               "it does not speak this version of MQTT",
                                               "it does not accept this client's name",
                                               "it is not available now",
                                               "the user name or password is wrong",
                                               "this client is not authorised"};
        const std::string why = "the broker " + broker() + " refused the connection: " +
                                (rc > 0 && rc <= 5 ? refusals[rc] : mosquitto_connack_string(rc));
        return rc == 3 ? lost(why) : giveUp(why);
    }
    connected_ = true;
    retryMilliseconds_ = FirstRetryMilliseconds;
    if (options_.lead && !checked_) {
        mosquitto_subscribe(client_, &leaderCheck_, presence_.c_str(), AtLeastOnce);
    } else if (options_.lead) {
        // A new session: the followers announce themselves again.
        followers_.clear();
        mosquitto_subscribe(client_, nullptr, (followersTopic_ + "+").c_str(), AtLeastOnce);
        announce();
    } else {
        mosquitto_subscribe(client_, nullptr, options_.topic.c_str(), AtLeastOnce);
        mosquitto_subscribe(client_, nullptr, presence_.c_str(), AtLeastOnce);
        send(ownPresence_, "online");
    }
    events_.linkUp();
}

void MqttLink::subscribed(int mid) {
    if (mid == leaderCheck_ && !checked_)
        quiet_.start(LeaderQuietMilliseconds);
}

void MqttLink::message(const mosquitto_message& m) {
    const std::string topic = m.topic;
    const std::string_view payload(static_cast<const char*>(m.payload),
                                   static_cast<std::size_t>(std::max(m.payloadlen, 0)));
    if (topic == options_.topic && !options_.lead) {
        events_.clockMessage(payload, m.retain);
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

void MqttLink::announce() {
    send(presence_, "online");
}

void MqttLink::publish(const std::string& payload) {
    if (connected_ && leading_)
        send(options_.topic, payload);
}

void MqttLink::send(const std::string& topic, std::string_view payload) {
    mosquitto_publish(client_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                      payload.data(), AtLeastOnce, true);
    if (writing_)
        writing_->setEnabled(mosquitto_want_write(client_));
}

} // namespace

} // namespace tamberlight

extern "C" __attribute__((visibility("default"))) tamberlight::ShareLink*
tamberlight_make_share_link(const tamberlight::ShareLinkOptions* options,
                            tamberlight::ShareLinkEvents* events) {
    return new tamberlight::MqttLink(*options, *events);
}
