// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/mqtt_session.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mosquitto.h>
#include <poll.h>

namespace tamberlight {

namespace {

// A follower learns within this that a silent leader is gone.
constexpr int KeepAliveSeconds = 10;
constexpr int LastRetryMilliseconds = 30000;
constexpr int AtLeastOnce = 1;

MqttSession* of(void* self) {
    return static_cast<MqttSession*>(self);
}

} // namespace

MqttSession::MqttSession(const ShareLinkOptions& options, const std::string& willTopic,
                         std::string_view will, Events events)
    : options_(options)
    , events_(std::move(events))
    , retryMilliseconds_(options.firstRetryMilliseconds) {
    static const bool ready = mosquitto_lib_init() == MOSQ_ERR_SUCCESS;
    client_ = ready ? mosquitto_new(options_.identity.c_str(), true, this) : nullptr;
    // The keep-alive is looked after as messages arrive; the timer only wakes a session that
    // has been quiet for a whole keep-alive, so a follower wakes once per tick and no more.
    misc_.setTimerType(Qt::VeryCoarseTimer);
    misc_.setInterval(KeepAliveSeconds * 1000);
    connect(&misc_, &QTimer::timeout, this, [this] { handled(mosquitto_loop_misc(client_)); });
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, [this] { connectNow(); });
    if (client_ == nullptr) {
        QTimer::singleShot(0, this, [this] { giveUp("cannot start the MQTT client library"); });
        return;
    }
    mosquitto_log_callback_set(client_, [](mosquitto*, void* self, int level, const char* text) {
        if (level == MOSQ_LOG_ERR)
            of(self)->lastError_ = text;
    });
    mosquitto_connect_callback_set(client_,
                                   [](mosquitto*, void* self, int rc) { of(self)->accepted(rc); });
    mosquitto_disconnect_callback_set(client_, [](mosquitto*, void* self, int rc) {
        if (rc != 0)
            of(self)->lost(of(self)->why(rc));
    });
    mosquitto_message_callback_set(client_, [](mosquitto*, void* self, const mosquitto_message* m) {
        of(self)->events_.message(
            m->topic,
            std::string_view(static_cast<const char*>(m->payload),
                             static_cast<std::size_t>(std::max(m->payloadlen, 0))),
            m->retain);
    });
    mosquitto_subscribe_callback_set(client_, [](mosquitto*, void* self, int mid, int, const int*) {
        of(self)->events_.subscribed(mid);
    });
    // What the session is set up with, every step checked: a step that fails ends the session
    // before it connects, saying which.
    std::string unusable;
    const auto check = [this, &unusable](int rc, const std::string& what) {
        if (rc != MOSQ_ERR_SUCCESS && unusable.empty())
            unusable = what + " (" + why(rc) + ")";
    };
    if (!options_.user.empty())
        check(mosquitto_username_pw_set(client_, options_.user.c_str(),
                                        options_.password.empty() ? nullptr
                                                                  : options_.password.c_str()),
              "cannot use the user name " + options_.user);
    if (options_.tls) {
        // The broker's certificate and its host name are checked against the system's store,
        // or the private authority given.
        if (options_.caFile.empty())
            check(mosquitto_int_option(client_, MOSQ_OPT_TLS_USE_OS_CERTS, 1),
                  "cannot use the system's certificate store");
        else
            check(mosquitto_tls_set(client_, options_.caFile.c_str(), nullptr, nullptr, nullptr,
                                    nullptr),
                  "cannot read the certificate authority " + options_.caFile);
        check(mosquitto_tls_opts_set(client_, 1, nullptr, nullptr), "cannot set up TLS");
        check(mosquitto_tls_insecure_set(client_, false), "cannot set up TLS");
    }
    check(mosquitto_will_set(client_, willTopic.c_str(), static_cast<int>(will.size()),
                             will.empty() ? nullptr : will.data(), AtLeastOnce, true),
          "cannot leave a last will on " + willTopic);
    if (!unusable.empty())
        QTimer::singleShot(0, this, [this, unusable] { giveUp(unusable); });
    else
        QTimer::singleShot(0, this, [this] { connectNow(); });
}

MqttSession::~MqttSession() {
    if (client_ == nullptr)
        return;
    if (connected_) {
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

// A request that cannot even be queued means the session is lost: it is made again.
void MqttSession::send(const std::string& topic, std::string_view payload) {
    handled(mosquitto_publish(client_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                              payload.data(), AtLeastOnce, true));
}

int MqttSession::subscribe(const std::string& topic) {
    int subscription = -1;
    handled(mosquitto_subscribe(client_, &subscription, topic.c_str(), AtLeastOnce));
    return subscription;
}

void MqttSession::unsubscribe(const std::string& topic) {
    handled(mosquitto_unsubscribe(client_, nullptr, topic.c_str()));
}

void MqttSession::wantWrite() {
    if (writing_)
        writing_->setEnabled(mosquitto_want_write(client_));
}

void MqttSession::connectNow() {
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

void MqttSession::watchSocket() {
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
    wantWrite();
    misc_.start();
}

// The notifiers may be the ones whose signal is being handled: they go once it is.
void MqttSession::dropSocket() {
    misc_.stop();
    for (std::unique_ptr<QSocketNotifier>* notifier : {&reading_, &writing_}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            notifier->release()->deleteLater();
        }
    }
}

void MqttSession::handled(int rc) {
    if (finished_)
        return;
    if (rc == MOSQ_ERR_SUCCESS)
        return wantWrite();
    // A certificate that is not trusted stays untrusted: no use trying again.
    if (rc == MOSQ_ERR_TLS) {
        const std::string detail = lastError_.substr(lastError_.rfind(':') + 1);
        return giveUp("cannot connect to the broker " + broker() +
                      ": its certificate is not trusted (" +
                      (detail.empty() ? std::string("TLS failed") : detail) + ")");
    }
    lost(why(rc));
}

void MqttSession::lost(const std::string& why) {
    dropSocket();
    if (finished_ || retry_.isActive())
        return;
    connected_ = false;
    events_.lost(why);
    retry_.start(retryMilliseconds_);
    retryMilliseconds_ = std::min(retryMilliseconds_ * 2, LastRetryMilliseconds);
}

void MqttSession::giveUp(const std::string& why) {
    end();
    events_.refused(why);
}

void MqttSession::end() {
    finished_ = true;
    dropSocket();
    retry_.stop();
    if (client_ != nullptr && connected_)
        mosquitto_disconnect(client_);
    connected_ = false;
}

// In the user's words: "connection refused", not "Connection refused.".
std::string MqttSession::why(int rc) const {
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

void MqttSession::accepted(int rc) {
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
    retryMilliseconds_ = options_.firstRetryMilliseconds;
    events_.connected();
}

} // namespace tamberlight
