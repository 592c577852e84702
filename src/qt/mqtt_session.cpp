// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/mqtt_session.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mosquitto.h>
#include <mqtt_protocol.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tamberlight {

namespace {

// A silent link is tried with a ping after one keep-alive and given up after the next.
constexpr int KeepAliveSeconds = 10;
constexpr int LastRetryMilliseconds = 30000;
// Room for the largest clock message, its topic and a follower's name, and nothing bigger.
constexpr int LargestPacket = 8192;

MqttSession::Client* of(void* client) {
    return static_cast<MqttSession::Client*>(client);
}

// The session a callback reaches: none while a connect runs on its own thread.
MqttSession* sessionOf(void* client) {
    return of(client)->connecting ? nullptr : of(client)->session;
}

} // namespace

MqttSession::Client::~Client() {
    if (handle != nullptr)
        mosquitto_destroy(handle);
}

MqttSession::MqttSession(const ShareLinkOptions& options, const std::string& willTopic,
                         std::string_view will, Events events)
    : options_(options)
    , events_(std::move(events))
    , client_(std::make_shared<Client>())
    , retryMilliseconds_(options.firstRetryMilliseconds) {
    static const bool ready = mosquitto_lib_init() == MOSQ_ERR_SUCCESS;
    client_->session = this;
    client_->handle =
        ready ? mosquitto_new(options_.identity.c_str(), true, client_.get()) : nullptr;
    handle_ = client_->handle;
    // The keep-alive is looked after as messages arrive; the timer only wakes a session that
    // has been quiet for a whole keep-alive, so a follower wakes once per tick and no more.
    misc_.setTimerType(Qt::VeryCoarseTimer);
    misc_.setInterval(KeepAliveSeconds * 1000);
    connect(&misc_, &QTimer::timeout, this, [this] { handled(mosquitto_loop_misc(handle_)); });
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, [this] { connectNow(); });
    if (handle_ == nullptr) {
        QTimer::singleShot(0, this, [this] { giveUp("cannot start the MQTT client library"); });
        return;
    }
    mosquitto_log_callback_set(handle_, [](mosquitto*, void* client, int level, const char* text) {
        if (level == MOSQ_LOG_ERR)
            of(client)->lastError = text;
    });
    mosquitto_connect_callback_set(handle_, [](mosquitto*, void* client, int rc) {
        if (MqttSession* session = sessionOf(client))
            session->accepted(rc);
    });
    mosquitto_disconnect_callback_set(handle_, [](mosquitto*, void* client, int rc) {
        if (MqttSession* session = sessionOf(client); session != nullptr && rc != 0)
            session->lost(session->why(rc));
    });
    mosquitto_message_callback_set(
        handle_, [](mosquitto*, void* client, const mosquitto_message* m) {
            if (MqttSession* session = sessionOf(client))
                session->events_.message(
                    m->topic,
                    std::string_view(static_cast<const char*>(m->payload),
                                     static_cast<std::size_t>(std::max(m->payloadlen, 0))),
                    m->retain);
        });
    mosquitto_subscribe_callback_set(handle_,
                                     [](mosquitto*, void* client, int mid, int, const int*) {
                                         if (MqttSession* session = sessionOf(client))
                                             session->events_.subscribed(mid);
                                     });
    // What the session is set up with, every step checked: a step that fails ends the session
    // before it connects, saying which.
    std::string unusable;
    const auto check = [this, &unusable](int rc, const std::string& what) {
        if (rc != MOSQ_ERR_SUCCESS && unusable.empty())
            unusable = what + " (" + why(rc) + ")";
    };
    check(mosquitto_int_option(handle_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5),
          "cannot speak MQTT 5");
    if (!options_.user.empty())
        check(mosquitto_username_pw_set(handle_, options_.user.c_str(),
                                        options_.password.empty() ? nullptr
                                                                  : options_.password.c_str()),
              "cannot use the user name " + options_.user);
    if (options_.tls) {
        // The broker's certificate and its host name are checked against the system's store,
        // or the private authority given.
        if (options_.caFile.empty())
            check(mosquitto_int_option(handle_, MOSQ_OPT_TLS_USE_OS_CERTS, 1),
                  "cannot use the system's certificate store");
        else
            check(mosquitto_tls_set(handle_, options_.caFile.c_str(), nullptr, nullptr, nullptr,
                                    nullptr),
                  "cannot read the certificate authority " + options_.caFile);
        check(mosquitto_tls_opts_set(handle_, 1, nullptr, nullptr), "cannot set up TLS");
        check(mosquitto_tls_insecure_set(handle_, false), "cannot set up TLS");
    }
    check(mosquitto_will_set(handle_, willTopic.c_str(), static_cast<int>(will.size()),
                             will.empty() ? nullptr : will.data(), 1, true),
          "cannot leave a last will on " + willTopic);
    if (!unusable.empty())
        QTimer::singleShot(0, this, [this, unusable] { giveUp(unusable); });
    else
        QTimer::singleShot(0, this, [this] { connectNow(); });
}

MqttSession::~MqttSession() {
    {
        const std::lock_guard<std::mutex> guard(client_->lock);
        client_->session = nullptr;
    }
    // A connect still running keeps the client and ends it when it is done.
    if (handle_ == nullptr || client_->connecting)
        return;
    if (connected_) {
        // What the broker still sends (an acknowledgement, a leader's own last words heard back)
        // is read first: a link closed with bytes unread is reset, and the broker takes a reset
        // for a loss. No callback reaches the session now.
        const int fd = mosquitto_socket(handle_);
        for (int i = 0; i < 4 && fd >= 0; ++i) {
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, 25) != 1 ||
                mosquitto_loop_read(handle_, 1) != MOSQ_ERR_SUCCESS)
                break;
        }
        mosquitto_disconnect_v5(handle_, 0, nullptr);
        for (int i = 0; i < 4 && fd >= 0 && mosquitto_want_write(handle_); ++i) {
            pollfd ready{fd, POLLOUT, 0};
            if (::poll(&ready, 1, 50) != 1 || mosquitto_loop_write(handle_, 1) != MOSQ_ERR_SUCCESS)
                break;
        }
    }
    dropSocket();
}

std::string MqttSession::broker() const {
    const bool v6 = options_.host.find(':') != std::string::npos;
    return (v6 ? "[" + options_.host + "]" : options_.host) + ":" + std::to_string(options_.port);
}

// A request that cannot even be queued means the session is lost: it is made again. What is
// sent at most once is not queued while the session is down, so it never comes late.
void MqttSession::send(const std::string& topic, std::string_view payload, Delivery delivery,
                       int expirySeconds) {
    if (!connected_ || client_->connecting)
        return;
    mosquitto_property* properties = nullptr;
    if (v5_ && expirySeconds > 0)
        mosquitto_property_add_int32(&properties, MQTT_PROP_MESSAGE_EXPIRY_INTERVAL,
                                     static_cast<std::uint32_t>(expirySeconds));
    const int rc = mosquitto_publish_v5(
        handle_, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(),
        delivery == Delivery::AtLeastOnce ? 1 : 0, true, properties);
    mosquitto_property_free_all(&properties);
    handled(rc);
}

int MqttSession::subscribe(const std::string& topic) {
    int subscription = -1;
    handled(mosquitto_subscribe(handle_, &subscription, topic.c_str(), 1));
    return subscription;
}

void MqttSession::unsubscribe(const std::string& topic) {
    handled(mosquitto_unsubscribe(handle_, nullptr, topic.c_str()));
}

void MqttSession::wantWrite() {
    if (writing_)
        writing_->setEnabled(mosquitto_want_write(handle_));
}

// The name is looked up and the link made on a thread of its own; what it came to is handed to
// the window's thread, unless the session is gone by then.
void MqttSession::connectNow() {
    if (finished_ || client_->connecting)
        return;
    dropSocket();
    client_->lastError.clear();
    client_->connecting = true;
    std::thread([client = client_, host = options_.host, port = options_.port, v5 = v5_] {
        mosquitto_property* properties = nullptr;
        if (v5)
            mosquitto_property_add_int32(&properties, MQTT_PROP_MAXIMUM_PACKET_SIZE, LargestPacket);
        const int rc = mosquitto_connect_bind_v5(client->handle, host.c_str(), port,
                                                 KeepAliveSeconds, nullptr, properties);
        const int error = errno;
        mosquitto_property_free_all(&properties);
        const std::lock_guard<std::mutex> guard(client->lock);
        if (client->session != nullptr)
            QMetaObject::invokeMethod(
                client->session,
                [session = client->session, rc, error] { session->connectDone(rc, error); },
                Qt::QueuedConnection);
        else
            client->connecting = false;
    }).detach();
}

void MqttSession::connectDone(int rc, int error) {
    client_->connecting = false;
    if (finished_) {
        if (rc == MOSQ_ERR_SUCCESS)
            mosquitto_disconnect_v5(handle_, 0, nullptr);
        return;
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        errno = error;
        return handled(rc);
    }
    // The connect waited; what follows never does.
    if (const int fd = mosquitto_socket(handle_); fd >= 0)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    watchSocket();
}

void MqttSession::watchSocket() {
    dropSocket();
    const int fd = mosquitto_socket(handle_);
    if (fd < 0)
        return lost("no connection");
    reading_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(reading_.get(), &QSocketNotifier::activated, this, [this] {
        handled(mosquitto_loop_read(handle_, 1));
        if (reading_) {
            handled(mosquitto_loop_misc(handle_));
            misc_.start();
        }
    });
    writing_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    connect(writing_.get(), &QSocketNotifier::activated, this,
            [this] { handled(mosquitto_loop_write(handle_, 1)); });
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
    // Neither a certificate that is not trusted nor a port that speaks no TLS will change: no
    // use trying again.
    if (rc == MOSQ_ERR_TLS) {
        const std::string& error = client_->lastError;
        const std::string detail = error.substr(error.rfind(':') + 1);
        if (error.find("certificate verify failed") != std::string::npos)
            return giveUp("cannot connect to the broker " + broker() +
                          ": its certificate is not trusted (" + detail + ")");
        return giveUp("cannot connect to the broker " + broker() + " with TLS (" +
                      (detail.empty() ? std::string("TLS failed") : detail) + "): if port " +
                      std::to_string(options_.port) +
                      " is its port without TLS, the address starts with mqtt://");
    }
    lost(why(rc));
}

void MqttSession::lost(const std::string& why) {
    dropSocket();
    if (finished_ || retry_.isActive() || client_->connecting)
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
    if (handle_ != nullptr && connected_ && !client_->connecting)
        mosquitto_disconnect_v5(handle_, 0, nullptr);
    connected_ = false;
}

// In the user's words: "connection refused", not "Connection refused.".
std::string MqttSession::why(int rc) const {
    if (rc == MOSQ_ERR_KEEPALIVE)
        return "the broker stopped answering";
    if (rc == MOSQ_ERR_EAI)
        return "its name cannot be looked up";
    if (rc == MOSQ_ERR_CONN_LOST && !connected_)
        return "the broker closed the connection without answering: if port " +
               std::to_string(options_.port) + " takes TLS, the address starts with mqtts://";
    std::string text = rc == MOSQ_ERR_ERRNO         ? std::strerror(errno)
                       : client_->lastError.empty() ? mosquitto_strerror(rc)
                                                    : client_->lastError;
    if (text.ends_with('.'))
        text.pop_back();
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' &&
        !(text.size() > 1 && text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

void MqttSession::accepted(int rc) {
    if (rc == 0) {
        connected_ = true;
        retryMilliseconds_ = options_.firstRetryMilliseconds;
        return events_.connected();
    }
    // A broker of an older MQTT is asked again in its own.
    if (v5_ && (rc == 1 || rc == MQTT_RC_UNSUPPORTED_PROTOCOL_VERSION)) {
        v5_ = false;
        mosquitto_int_option(handle_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
        return lost("it speaks an older MQTT");
    }
    // Brokers tell a wrong password as "not authorised" as often as "bad user name or
    // password"; either stays so, as a name the broker does not take does.
    std::string reason;
    switch (rc) {
    case 4:
    case 5:
    case MQTT_RC_BAD_USERNAME_OR_PASSWORD:
    case MQTT_RC_NOT_AUTHORIZED:
        reason = "the user name or password is wrong, or the user may not use it";
        break;
    case 2:
    case MQTT_RC_CLIENTID_NOT_VALID:
        reason = "it does not accept this client's name";
        break;
    case 3:
    case MQTT_RC_SERVER_UNAVAILABLE:
    case MQTT_RC_SERVER_BUSY:
        return lost("the broker " + broker() + " is not available now");
    default:
        reason = rc < 128 ? mosquitto_connack_string(rc) : mosquitto_reason_string(rc);
    }
    giveUp("the broker " + broker() + " refused the connection: " + reason);
}

} // namespace tamberlight
