// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// What following a shared clock costs, through a real mosquitto on a free loopback port and real
// followers on a private X server, the benchmark itself being the leader (libmosquitto, the
// program's own payload). Three figures, each against a baseline taken in the same run:
//  - the time from a publish to the follower's repaint, seen through X DAMAGE, against the time
//    a plain MQTT subscriber takes to receive the same message;
//  - the CPU time of one follower per tick among twenty on one broker, against a clock ticking
//    on its own timer meanwhile;
//  - the wake-ups of one follower per tick at the default pace, against a clock on its own
//    started with it.
#include "share/clock_message.h"
#include "support/damage_watch.h"
#include "support/proc_use.h"
#include "support/process.h"
#include "support/x_server.h"

#include <QDir>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tl = tamberlight::bench;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

// The clock ticks every 1492 ms unless the user sets another interval.
constexpr int DefaultIntervalMs = 1492;
constexpr double TickSeconds = DefaultIntervalMs / 1000.0;
constexpr int AtLeastOnce = 1;

std::atomic<bool> stopping{false};

// Sleeps until then; false when the benchmark was interrupted meanwhile.
bool sleepUntil(Clock::time_point then) {
    while (!stopping && Clock::now() < then)
        std::this_thread::sleep_until(std::min(then, Clock::now() + 100ms));
    return !stopping;
}

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The nearest-rank percentile.
double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100 * values.size()));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

int freeLoopbackPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (s >= 0)
        ::close(s);
    return port;
}

// Debian installs the broker under sbin, which a user's PATH may lack.
fs::path findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(std::string(path != nullptr ? path : "") + ":/usr/sbin:/sbin");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && ::access((fs::path(folder) / name).c_str(), X_OK) == 0)
            return fs::path(folder) / name;
    return {};
}

// A program the benchmark started, killed and collected when this goes.
class Child {
public:
    Child() = default;
    explicit Child(pid_t pid)
        : pid_(pid) {}
    Child(Child&& other) noexcept
        : pid_(std::exchange(other.pid_, -1)) {}
    Child& operator=(Child&& other) noexcept {
        stop();
        pid_ = std::exchange(other.pid_, -1);
        return *this;
    }
    ~Child() { stop(); }

    pid_t pid() const { return pid_; }
    // Whether it still runs; one that ended is collected.
    bool running() {
        if (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == pid_)
            pid_ = -1;
        return pid_ > 0;
    }
    void stop() {
        if (pid_ > 0)
            tl::killProgram(pid_);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

// Everything the run writes, under one temporary folder that goes at the end.
class Scratch {
public:
    Scratch()
        : root_(QDir::tempPath() + "/tamberlight-share-XXXXXX") {}
    bool valid() const { return root_.isValid(); }
    fs::path folder(const std::string& name) const {
        const fs::path path = fs::path(root_.path().toStdString()) / name;
        fs::create_directory(path);
        return path;
    }

private:
    QTemporaryDir root_;
};

// A copy of the program and its modules in a folder of its own, where it keeps its settings
// (one window per settings file), with a runtime folder of its own.
struct ClockCopy {
    fs::path program, runtime, errors;
};

ClockCopy install(const Scratch& scratch, const fs::path& built, const std::string& name) {
    const fs::path folder = scratch.folder(name);
    // A hard link where the file system allows: the same file, nothing to write.
    const auto place = [&](const fs::path& from, const fs::path& to) {
        std::error_code linked;
        fs::create_hard_link(from, to, linked);
        if (linked)
            fs::copy_file(from, to);
    };
    place(built, folder / "tamberlight");
    for (const char* module : {"libtamberlight_share.so", "libtamberlight_sound.so"})
        place(built.parent_path() / module, folder / module);
    const fs::path runtime = scratch.folder(name + "-runtime");
    fs::permissions(runtime, fs::perms::owner_all);
    return {folder / "tamberlight", runtime, folder / "stderr.txt"};
}

Child start(const ClockCopy& copy, const std::string& display,
            const std::vector<std::string>& arguments) {
    return Child(tl::startProgram(copy.program, arguments,
                                  {{"DISPLAY", display},
                                   {"QT_QPA_PLATFORM", "xcb"},
                                   {"XDG_RUNTIME_DIR", copy.runtime.string()}},
                                  copy.errors));
}

// What the clocks wrote on their standard error, line by line with how many said it.
std::map<std::string, int> clockErrors;
void collectErrors(const ClockCopy& copy) {
    std::istringstream lines(tl::readText(copy.errors));
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            ++clockErrors[line];
}

// One of the benchmark's own MQTT clients, its network on a thread of libmosquitto's.
class MqttClient {
public:
    MqttClient(const std::string& identity, int port)
        : client_(mosquitto_new(identity.c_str(), true, this)) {
        if (client_ == nullptr)
            return;
        mosquitto_message_callback_set(
            client_, [](mosquitto*, void* self, const mosquitto_message* message) {
                static_cast<MqttClient*>(self)->received(Clock::now(), *message);
            });
        mosquitto_subscribe_callback_set(client_, [](mosquitto*, void* self, int, int, const int*) {
            static_cast<MqttClient*>(self)->answered(&MqttClient::subscriptions_);
        });
        mosquitto_connect_callback_set(client_, [](mosquitto*, void* self, int rc) {
            if (rc == 0)
                static_cast<MqttClient*>(self)->answered(&MqttClient::connections_);
        });
        // The broker may still be starting.
        const auto deadline = Clock::now() + 10s;
        while (mosquitto_connect(client_, "127.0.0.1", port, 60) != MOSQ_ERR_SUCCESS)
            if (Clock::now() > deadline || !sleepUntil(Clock::now() + 50ms))
                return;
        running_ = mosquitto_loop_start(client_) == MOSQ_ERR_SUCCESS;
        std::unique_lock lock(mutex_);
        connected_ = running_ && changed_.wait_for(lock, 5s, [this] { return connections_ > 0; });
    }
    virtual ~MqttClient() {
        close();
        if (client_ != nullptr)
            mosquitto_destroy(client_);
    }
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    bool connected() const { return connected_; }

    bool publish(const std::string& topic, const std::string& payload) {
        return mosquitto_publish(client_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                                 payload.data(), AtLeastOnce, true) == MOSQ_ERR_SUCCESS;
    }

    // Subscribes and waits for the broker's answer.
    bool subscribe(const std::string& pattern) {
        std::unique_lock lock(mutex_);
        const int answered = subscriptions_;
        if (mosquitto_subscribe(client_, nullptr, pattern.c_str(), AtLeastOnce) != MOSQ_ERR_SUCCESS)
            return false;
        return changed_.wait_for(lock, 5s, [&] { return subscriptions_ > answered; });
    }

protected:
    // Stops the network thread: a subclass that receives does so before it goes.
    void close() {
        if (running_) {
            mosquitto_disconnect(client_);
            mosquitto_loop_stop(client_, false);
        }
        running_ = false;
    }

    // On the network thread, the mutex not held.
    virtual void received(Clock::time_point, const mosquitto_message&) {}

    std::mutex mutex_;
    std::condition_variable changed_;

private:
    void answered(int MqttClient::*count) {
        const std::lock_guard lock(mutex_);
        ++(this->*count);
        changed_.notify_all();
    }

    mosquitto* client_;
    bool running_ = false, connected_ = false;
    int connections_ = 0, subscriptions_ = 0;
};

// The leader of every topic the benchmark uses: a tick is the next minute with the next seq.
class Leader : public MqttClient {
public:
    Leader(const std::string& identity, int port)
        : MqttClient(identity, port)
        , identity_(identity) {}

    // Says on topic/leader that a leader runs, as a leading clock does.
    void announce(const std::string& topic) {
        failed_ = !publish(topic + "/leader", "online") || failed_;
    }

    // Whether a publish was refused by the library.
    bool failed() const { return failed_; }

    struct Sent {
        std::uint64_t sequence = 0;
        Clock::time_point at; // just before the publish
    };
    Sent tick(const std::string& topic, int intervalMs) {
        Topic& state = topics_[topic];
        state.minute = (state.minute + 1) % (24 * 60);
        char clock[8];
        std::snprintf(clock, sizeof clock, "%02d:%02d", state.minute / 60, state.minute % 60);
        const tamberlight::ClockMessage message{.clock = clock,
                                                .intervalMs = intervalMs,
                                                .running = true,
                                                .tick = true,
                                                .sequence = ++state.sequence,
                                                .leader = identity_};
        const std::string payload = tamberlight::encodeClockMessage(message);
        const Sent sent{message.sequence, Clock::now()};
        failed_ = !publish(topic, payload) || failed_;
        return sent;
    }

private:
    struct Topic {
        std::uint64_t sequence = 0;
        int minute = 12 * 60;
    };
    const std::string identity_;
    std::map<std::string, Topic> topics_;
    bool failed_ = false;
};

// A plain subscriber to everything: when each clock message reached it, and which followers
// announce themselves on each topic.
class Listener : public MqttClient {
public:
    using MqttClient::MqttClient;
    ~Listener() override { close(); }

    std::optional<Clock::time_point> receipt(const std::string& topic, std::uint64_t sequence,
                                             Clock::duration wait) {
        std::unique_lock lock(mutex_);
        const auto key = std::make_pair(topic, sequence);
        if (!changed_.wait_for(lock, wait, [&] { return receipts_.count(key) != 0; }))
            return std::nullopt;
        return receipts_[key];
    }

    std::size_t followers(const std::string& topic) {
        const std::lock_guard lock(mutex_);
        return followers_[topic].size();
    }

    bool waitForFollowers(const std::string& topic, std::size_t count, Clock::duration wait) {
        const auto deadline = Clock::now() + wait;
        while (followers(topic) < count)
            if (Clock::now() > deadline || !sleepUntil(Clock::now() + 50ms))
                return false;
        return true;
    }

private:
    void received(Clock::time_point at, const mosquitto_message& message) override {
        const std::string topic = message.topic;
        const std::string payload(static_cast<const char*>(message.payload),
                                  static_cast<std::size_t>(std::max(message.payloadlen, 0)));
        const std::lock_guard lock(mutex_);
        if (const auto split = topic.find("/followers/"); split != std::string::npos) {
            auto& present = followers_[topic.substr(0, split)];
            const std::string follower = topic.substr(split + std::strlen("/followers/"));
            if (payload == "online")
                present.insert(follower);
            else
                present.erase(follower);
        } else if (const auto clock = tamberlight::decodeClockMessage(payload)) {
            receipts_.emplace(std::make_pair(topic, clock->sequence), at);
        }
        changed_.notify_all();
    }

    std::map<std::pair<std::string, std::uint64_t>, Clock::time_point> receipts_;
    std::map<std::string, std::set<std::string>> followers_;
};

// mosquitto on a free loopback port, anonymous, keeping nothing on disk.
class Broker {
public:
    explicit Broker(const Scratch& scratch)
        : folder_(scratch.folder("broker")) {
        const fs::path program = findProgram("mosquitto");
        port_ = freeLoopbackPort();
        if (program.empty() || port_ <= 0)
            return;
        const fs::path configuration = folder_ / "mosquitto.conf";
        std::FILE* out = std::fopen(configuration.c_str(), "w");
        if (out == nullptr)
            return;
        std::fprintf(out, "listener %d 127.0.0.1\nallow_anonymous true\n", port_);
        // Started by root, it would become its own user, and that change of user would cancel
        // the signal that ends it with the benchmark.
        if (::geteuid() == 0)
            std::fprintf(out, "user root\n");
        std::fclose(out);
        child_ = Child(
            tl::startProgram(program, {"-c", configuration.string()}, {}, folder_ / "stderr.txt"));
    }
    int port() const { return port_; }
    bool running() { return child_.running(); }
    std::string errors() const { return tl::readText(folder_ / "stderr.txt"); }

private:
    fs::path folder_;
    int port_ = -1;
    Child child_;
};

void interrupted(int) {
    stopping = true;
}

struct LatencyFigures {
    std::vector<double> follower, subscriber;
    int missed = 0;
};

// One follower, watched through X DAMAGE; a message at a time, the next one once the repaint
// is seen (or a second has passed) and at least 70 ms after the last.
std::optional<LatencyFigures> measureLatency(const Scratch& scratch, const fs::path& built,
                                             const tl::XServer& x, tl::DamageWatch& watch,
                                             Leader& leader, Listener& listener, int port,
                                             int messages) {
    const std::string topic = "latency";
    const int warmUp = 10;
    leader.announce(topic);
    const ClockCopy copy = install(scratch, built, "latency-follower");
    watch.drain();
    Child follower = start(copy, x.display(),
                           {"--follow", "mqtt://127.0.0.1:" + std::to_string(port) + "/" + topic});
    const bool shown = watch.waitForFrame(20000).has_value();
    if (!shown || !listener.waitForFollowers(topic, 1, 20s)) {
        follower.stop();
        collectErrors(copy);
        std::fprintf(stderr, "the follower %s\n",
                     shown ? "did not announce itself" : "showed no frame");
        return std::nullopt;
    }
    sleepUntil(Clock::now() + 500ms);

    LatencyFigures figures;
    for (int i = 0; i < warmUp + messages && !stopping; ++i) {
        watch.drain();
        const Leader::Sent sent = leader.tick(topic, DefaultIntervalMs);
        const auto repainted = watch.waitForFrame(1000);
        const auto received = listener.receipt(topic, sent.sequence, 1s);
        if (i >= warmUp) {
            if (repainted)
                figures.follower.push_back(milliseconds(*repainted - sent.at));
            else
                ++figures.missed;
            if (received)
                figures.subscriber.push_back(milliseconds(*received - sent.at));
        }
        // The rest of the repaint reaches the screen before the next message.
        sleepUntil(std::max(sent.at + 70ms, repainted.value_or(Clock::now()) + 30ms));
    }
    const bool alive = follower.running();
    follower.stop();
    collectErrors(copy);
    if (!alive)
        std::fprintf(stderr, "the follower ended before the last message\n");
    if (leader.failed())
        std::fprintf(stderr, "a message could not be published\n");
    if (stopping || !alive || leader.failed() || figures.follower.empty() ||
        figures.subscriber.empty())
        return std::nullopt;
    return figures;
}

// CPU time by utime+stime (in steps of the kernel's clock tick) and by the process's CPU-time
// clock (to the nanosecond); the same time but for the steps.
struct CpuUse {
    double stat = 0, clock = 0;
};

CpuUse cpuUse(pid_t pid) {
    return {tl::processCpuMilliseconds(pid), tl::processCpuClockMilliseconds(pid)};
}

struct CpuFigures {
    std::vector<CpuUse> follower; // per tick, of each follower
    CpuUse plain;                 // per tick of its own, of the clock that runs alone meanwhile
    double seconds = 0;
};

// Many followers on one broker, ticks at a quick pace; a clock that runs on its own meanwhile.
std::optional<CpuFigures> measureCpu(const Scratch& scratch, const fs::path& built,
                                     const tl::XServer& x, Leader& leader, Listener& listener,
                                     int port, int count, int ticks) {
    const std::string topic = "cpu";
    const auto pace = 250ms;
    const int warmUp = 8;
    leader.announce(topic);
    std::vector<ClockCopy> copies;
    for (int i = 0; i < count; ++i)
        copies.push_back(install(scratch, built, "cpu-follower-" + std::to_string(i + 1)));
    const ClockCopy plainCopy = install(scratch, built, "cpu-plain");
    const std::string url = "mqtt://127.0.0.1:" + std::to_string(port) + "/" + topic;
    std::vector<Child> followers;
    const auto launched = Clock::now();
    for (const ClockCopy& copy : copies)
        followers.push_back(start(copy, x.display(), {"--follow", url}));
    Child plain = start(plainCopy, x.display(), {});
    const auto finish = [&] {
        for (Child& follower : followers)
            follower.stop();
        plain.stop();
        for (const ClockCopy& copy : copies)
            collectErrors(copy);
        collectErrors(plainCopy);
    };
    if (!listener.waitForFollowers(topic, copies.size(), 90s)) {
        std::fprintf(stderr, "only %zu of %d followers announced themselves\n",
                     listener.followers(topic), count);
        finish();
        return std::nullopt;
    }
    std::printf("  %d followers announced themselves %.1f s after their start\n", count,
                milliseconds(Clock::now() - launched) / 1000);
    // The last ones to start may still be drawing their first frames.
    sleepUntil(Clock::now() + 3s);

    std::vector<CpuUse> before, after;
    const auto sample = [&](std::vector<CpuUse>& use) {
        for (Child& follower : followers)
            use.push_back(cpuUse(follower.pid()));
        use.push_back(cpuUse(plain.pid()));
    };
    // Samples halfway between ticks, so that the period holds whole ticks only.
    const auto first = Clock::now() + 100ms;
    Clock::time_point measureStart;
    for (int i = 0; i < warmUp + ticks; ++i) {
        if (!sleepUntil(first + i * pace))
            break;
        leader.tick(topic, static_cast<int>(pace.count()));
        if (i == warmUp - 1) {
            sleepUntil(first + i * pace + pace / 2);
            measureStart = Clock::now();
            sample(before);
        }
    }
    sleepUntil(first + (warmUp + ticks) * pace - pace / 2);
    const double seconds = milliseconds(Clock::now() - measureStart) / 1000;
    sample(after);
    const bool allRunning = std::all_of(followers.begin(), followers.end(),
                                        [](Child& follower) { return follower.running(); }) &&
                            plain.running();
    finish();
    if (!allRunning)
        std::fprintf(stderr, "a clock ended during the ticks\n");
    if (leader.failed())
        std::fprintf(stderr, "a tick could not be published\n");
    if (stopping || !allRunning || leader.failed())
        return std::nullopt;

    const auto perTick = [&](std::size_t i, double tickCount) {
        return CpuUse{(after[i].stat - before[i].stat) / tickCount,
                      (after[i].clock - before[i].clock) / tickCount};
    };
    CpuFigures figures;
    figures.seconds = seconds;
    for (std::size_t i = 0; i < followers.size(); ++i)
        figures.follower.push_back(perTick(i, ticks));
    figures.plain = perTick(followers.size(), seconds / TickSeconds);
    return figures;
}

struct WakeupFigures {
    // The threads that lived through the period, and those that started or ended in it.
    std::map<std::string, tl::ThreadUse> follower, plain;
    std::vector<std::string> changed;
    double seconds = 0;
    int ticks = 0;
};

void noteChanged(const char* who, const std::map<std::string, tl::ThreadUse>& before,
                 const std::map<std::string, tl::ThreadUse>& after,
                 std::vector<std::string>& changed) {
    for (const auto& [id, thread] : before)
        if (after.count(id) == 0)
            changed.push_back("thread " + thread.name + " of the " + who + " ended");
    for (const auto& [id, thread] : after)
        if (before.count(id) == 0)
            changed.push_back("thread " + thread.name + " of the " + who + " started");
}

// One follower and one clock of its own, started together, the follower's ticks at the default
// pace; each counts every thread's switches (sleeps and preemptions) over whole ticks.
std::optional<WakeupFigures> measureWakeups(const Scratch& scratch, const fs::path& built,
                                            const tl::XServer& x, Leader& leader,
                                            Listener& listener, int port, int idleSeconds) {
    const std::string topic = "idle";
    const auto pace = std::chrono::milliseconds(DefaultIntervalMs);
    const int warmUp = 4;
    const int ticks = std::max(2, static_cast<int>(std::lround(idleSeconds / TickSeconds)));
    leader.announce(topic);
    const ClockCopy followerCopy = install(scratch, built, "idle-follower");
    const ClockCopy plainCopy = install(scratch, built, "idle-plain");
    Child follower = start(followerCopy, x.display(),
                           {"--follow", "mqtt://127.0.0.1:" + std::to_string(port) + "/" + topic});
    Child plain = start(plainCopy, x.display(), {});
    const auto finish = [&] {
        follower.stop();
        plain.stop();
        collectErrors(followerCopy);
        collectErrors(plainCopy);
    };
    if (!listener.waitForFollowers(topic, 1, 30s)) {
        std::fprintf(stderr, "the follower did not announce itself\n");
        finish();
        return std::nullopt;
    }

    std::map<std::string, tl::ThreadUse> followerBefore, plainBefore;
    const auto first = Clock::now() + 500ms;
    Clock::time_point measureStart;
    for (int i = 0; i < warmUp + ticks; ++i) {
        if (!sleepUntil(first + i * pace))
            break;
        leader.tick(topic, DefaultIntervalMs);
        if (i == warmUp - 1) {
            sleepUntil(first + i * pace + pace / 2);
            measureStart = Clock::now();
            followerBefore = tl::threadUse(follower.pid());
            plainBefore = tl::threadUse(plain.pid());
        }
    }
    sleepUntil(first + (warmUp + ticks) * pace - pace / 2);
    WakeupFigures figures;
    figures.seconds = milliseconds(Clock::now() - measureStart) / 1000;
    figures.ticks = ticks;
    const auto followerAfter = tl::threadUse(follower.pid());
    const auto plainAfter = tl::threadUse(plain.pid());
    const bool bothRunning = follower.running() && plain.running();
    finish();
    if (!bothRunning)
        std::fprintf(stderr, "a clock ended during the ticks\n");
    if (leader.failed())
        std::fprintf(stderr, "a tick could not be published\n");
    if (stopping || !bothRunning || leader.failed())
        return std::nullopt;
    figures.follower = tl::during(followerBefore, followerAfter);
    figures.plain = tl::during(plainBefore, plainAfter);
    noteChanged("follower", followerBefore, followerAfter, figures.changed);
    noteChanged("clock on its own", plainBefore, plainAfter, figures.changed);
    return figures;
}

// The three measures in turn, printed as they come; the summary rows at the end.
int measure(const Scratch& scratch, const fs::path& built, const tl::XServer& x,
            tl::DamageWatch& watch, int port, int messages, int followerCount, int ticks,
            int idleSeconds) {
    const std::string identity = "share-bench-" + std::to_string(::getpid());
    Leader leader(identity + "-leader", port);
    Listener listener(identity + "-listener", port);
    if (!leader.connected() || !listener.connected() || !listener.subscribe("#")) {
        std::fprintf(stderr, "cannot reach mosquitto on 127.0.0.1:%d\n", port);
        return 1;
    }

    std::printf("leader to follower through mosquitto on loopback: %d messages, each a new "
                "minute, at least 70 ms apart\n",
                messages);
    std::fflush(stdout);
    const auto latency = measureLatency(scratch, built, x, watch, leader, listener, port, messages);
    if (!latency)
        return 1;
    const double followerMedian = percentile(latency->follower, 50);
    const double followerP99 = percentile(latency->follower, 99);
    const double subscriberMedian = percentile(latency->subscriber, 50);
    const double subscriberP99 = percentile(latency->subscriber, 99);
    std::printf("  %-44s median %6.2f ms   p99 %6.2f ms   max %6.2f ms\n",
                "publish to the follower's repaint (X DAMAGE)", followerMedian, followerP99,
                percentile(latency->follower, 100));
    std::printf("  %-44s median %6.2f ms   p99 %6.2f ms   max %6.2f ms\n",
                "publish to a plain subscriber's receipt", subscriberMedian, subscriberP99,
                percentile(latency->subscriber, 100));
    if (latency->missed != 0)
        std::printf("  %d messages showed no repaint within a second (not counted)\n",
                    latency->missed);

    std::printf("\nCPU per tick, %d followers on one broker, %d ticks at 250 ms\n", followerCount,
                ticks);
    std::fflush(stdout);
    const auto cpu = measureCpu(scratch, built, x, leader, listener, port, followerCount, ticks);
    if (!cpu)
        return 1;
    const auto mean = [&](double CpuUse::*figure) {
        double sum = 0;
        for (const CpuUse& use : cpu->follower)
            sum += use.*figure;
        return sum / static_cast<double>(cpu->follower.size());
    };
    const auto [least, most] =
        std::minmax_element(cpu->follower.begin(), cpu->follower.end(),
                            [](const CpuUse& a, const CpuUse& b) { return a.clock < b.clock; });
    const double followerCpu = mean(&CpuUse::clock);
    std::printf("  %-44s %6.3f ms/tick (from %.3f to %.3f; utime+stime %.3f)\n", "follower, mean",
                followerCpu, least->clock, most->clock, mean(&CpuUse::stat));
    std::printf("  %-44s %6.3f ms/tick of its own (%.1f ticks in %.1f s; utime+stime %.3f)\n",
                "clock on its own timer meanwhile", cpu->plain.clock, cpu->seconds / TickSeconds,
                cpu->seconds, cpu->plain.stat);
    std::printf("  (CPU time from each process's CPU-time clock; utime+stime from /proc/PID/stat "
                "counts in steps of %.0f ms)\n",
                1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK)));

    std::printf("\nwake-ups of every thread (sleeps and preemptions) at the default pace of "
                "1492 ms\n");
    std::fflush(stdout);
    const auto wakeups = measureWakeups(scratch, built, x, leader, listener, port, idleSeconds);
    if (!wakeups)
        return 1;
    const double plainTicks = wakeups->seconds / TickSeconds;
    std::printf("  over %.1f s, %d ticks published\n", wakeups->seconds, wakeups->ticks);
    // Wake-ups per tick, and the threads that had any.
    const auto show = [](const char* who, const std::map<std::string, tl::ThreadUse>& threads,
                         double ticks) {
        const tl::ThreadUse sum = tl::total(threads);
        const double perTick = static_cast<double>(sum.wakeups + sum.preempted) / ticks;
        std::printf("  %-44s %6.2f /tick (%ld sleeps, %ld preemptions; CPU %.2f ms/tick)\n", who,
                    perTick, sum.wakeups, sum.preempted, sum.cpuMilliseconds / ticks);
        for (const auto& [id, thread] : threads)
            if (thread.wakeups + thread.preempted != 0)
                std::printf("    thread %-16s %6.2f /tick (%ld sleeps, %ld preemptions)\n",
                            thread.name.c_str(),
                            static_cast<double>(thread.wakeups + thread.preempted) / ticks,
                            thread.wakeups, thread.preempted);
        return perTick;
    };
    const double followerWakeups = show("follower", wakeups->follower, wakeups->ticks);
    const double plainWakeups =
        show("clock on its own timer, started with it", wakeups->plain, plainTicks);
    for (const std::string& changed : wakeups->changed)
        std::printf("  %s in the period (not counted)\n", changed.c_str());

    std::printf("table:leader to follower, median (p99)\t%.1f ms (%.1f ms)\t%.1f ms (%.1f ms) "
                "(plain MQTT subscriber)\t%.2fx\t< 50 ms\n",
                followerMedian, followerP99, subscriberMedian, subscriberP99,
                subscriberMedian > 0 ? followerMedian / subscriberMedian : 0.0);
    std::printf("table:CPU per follower per tick, %d followers\t%.3f ms\t%.3f ms (clock on its "
                "own timer)\t%.2fx\t-\n",
                followerCount, followerCpu, cpu->plain.clock,
                cpu->plain.clock > 0 ? followerCpu / cpu->plain.clock : 0.0);
    std::printf("table:follower's idle wake-ups per tick\t%.2f /tick\t%.2f /tick (clock on its "
                "own timer)\t%.2fx\tabout 1/tick\n",
                followerWakeups, plainWakeups,
                plainWakeups > 0 ? followerWakeups / plainWakeups : 0.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: share_bench <tamberlight> [messages] [followers] [ticks] "
                             "[idle seconds]\n");
        return 2;
    }
    const fs::path built = fs::absolute(argv[1]);
    const int messages = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;
    const int followerCount = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;
    const int ticks = argc > 4 ? std::max(1, std::atoi(argv[4])) : 120;
    const int idleSeconds = argc > 5 ? std::max(3, std::atoi(argv[5])) : 60;

    struct sigaction stop {};
    stop.sa_handler = interrupted;
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // The program turns Qt's shared-memory images off unless the variable is set at all: each
    // clock runs as it would for a user.
    ::unsetenv("QT_XCB_NO_MITSHM");

    tl::XServer x;
    if (x.display().empty()) {
        std::fprintf(stderr, "Xvfb could not be started\n");
        return 1;
    }
    Scratch scratch;
    if (!scratch.valid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    Broker broker(scratch);
    tl::DamageWatch watch(x.display());
    mosquitto_lib_init();
    const int status = broker.running() ? measure(scratch, built, x, watch, broker.port(), messages,
                                                  followerCount, ticks, idleSeconds)
                                        : 1;
    mosquitto_lib_cleanup();
    if (!broker.running())
        std::fprintf(stderr, "mosquitto is not running\n%s", broker.errors().c_str());
    for (const auto& [line, count] : clockErrors)
        std::fprintf(stderr, "clocks' standard error (%d x): %s\n", count, line.c_str());
    if (stopping)
        std::fprintf(stderr, "interrupted\n");
    return stopping ? 1 : status;
}
