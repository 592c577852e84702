// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "qt/share_link.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct mosquitto;

namespace tamberlight {

// One client's session with an MQTT broker through libmosquitto, driven by Qt's event loop on
// the window's thread: the socket under notifiers, the keep-alive on a timer, no thread of its
// own and no lock. A lost session is made again after 1 second, then 2, 4 and up to 30; a
// refusal that will not change (a wrong password, an untrusted certificate) ends it.
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

    // Retained, at least once.
    void send(const std::string& topic, std::string_view payload);
    int subscribe(const std::string& topic);
    void unsubscribe(const std::string& topic);
    void giveUp(const std::string& why);
    // Ends the session without a word.
    void end();
    bool connected() const { return connected_; }
    std::string broker() const { return options_.host + ":" + std::to_string(options_.port); }

private:
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
    mosquitto* client_ = nullptr;
    std::unique_ptr<QSocketNotifier> reading_, writing_;
    QTimer misc_, retry_;
    int retryMilliseconds_;
    bool started_ = false, connected_ = false, finished_ = false;
    std::string lastError_;
};

} // namespace tamberlight
