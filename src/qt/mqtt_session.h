// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "qt/share_link.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

struct mosquitto;

namespace tamberlight {

// One client's session with an MQTT broker through libmosquitto, driven by Qt's event loop on
// the window's thread: the socket under notifiers, the keep-alive on a timer. Only the connect,
// which looks up the broker's name and may wait for a network that does not answer, runs on a
// thread of its own; the session keeps its hands off the client until it is done. A lost
// session is made again after 1 second, then 2, 4 and up to 30; a refusal that will not change
// (a wrong password, an untrusted certificate, a port that speaks the other protocol) ends it.
// MQTT 5 is asked for, so that the broker never sends more than a clock's messages need.
class MqttSession : public QObject {
public:
    struct Events {
        std::function<void()> connected; // the first time or again
        std::function<void(const std::string& why)> lost;
        std::function<void(const std::string& why)> refused;
        std::function<void(const std::string& topic, std::string_view payload, bool retained)>
            message;
        std::function<void(int subscription)> subscribed;
    };

    // Starts connecting from the event loop; the broker sends the will if the session ends
    // without a word.
    MqttSession(const ShareLinkOptions& options, const std::string& willTopic,
                std::string_view will, Events events);
    // Ends the session cleanly, after what was sent has left.
    ~MqttSession() override;

    // Retained: at least once, or at most once and only while connected; dropped by the broker
    // after the given seconds unless 0.
    enum class Delivery { AtMostOnce, AtLeastOnce };
    void send(const std::string& topic, std::string_view payload, Delivery delivery,
              int expirySeconds = 0);
    int subscribe(const std::string& topic);
    void unsubscribe(const std::string& topic);
    void giveUp(const std::string& why);
    // Ends the session without a word.
    void end();
    bool connected() const { return connected_; }
    std::string broker() const;

    // The client, shared with a connect that may outlive the session.
    struct Client {
        ~Client();
        mosquitto* handle = nullptr;
        std::mutex lock;                // guards session
        MqttSession* session = nullptr; // null once the session is gone
        bool connecting = false;        // a connect runs: no callback reaches the session
        std::string lastError;          // libmosquitto's last error line
    };

private:
    void connectDone(int rc, int error);
    void connectNow();
    void watchSocket();
    void dropSocket();
    void handled(int rc);
    void lost(const std::string& why);
    void accepted(int rc);
    std::string why(int rc) const;
    void wantWrite();

    ShareLinkOptions options_;
    Events events_;
    std::shared_ptr<Client> client_;
    mosquitto* handle_ = nullptr;
    std::unique_ptr<QSocketNotifier> reading_, writing_;
    QTimer misc_, retry_;
    int retryMilliseconds_;
    bool connected_ = false, finished_ = false, v5_ = true;
};

} // namespace tamberlight
