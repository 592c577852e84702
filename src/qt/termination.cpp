// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/termination.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace tamberlight {
namespace {

// A signal handler may only write to a descriptor; the event loop reads the other end.
volatile std::sig_atomic_t signalWriteEnd = -1;

constexpr std::array Signals{SIGTERM, SIGHUP, SIGINT};

void onSignal(int) {
    const int saved = errno; // the code the signal interrupted may be about to read it
    const char byte = 1;
    if (signalWriteEnd >= 0) {
        [[maybe_unused]] const auto written = ::write(signalWriteEnd, &byte, 1);
    }
    errno = saved;
}

} // namespace

void onTermination(QObject& context, std::function<void()> end) {
    std::array<int, 2> ends{};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends.data()) != 0)
        return;
    signalWriteEnd = ends[0];
    auto* notifier = new QSocketNotifier(ends[1], QSocketNotifier::Read, &context);
    QObject::connect(notifier, &QSocketNotifier::activated, &context,
                     [end = std::move(end), fd = ends[1]] {
                         char bytes[16];
                         while (::read(fd, bytes, sizeof bytes) > 0) {
                         }
                         end();
                     });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : Signals)
        ::sigaction(signal, &action, nullptr);
    // When the context goes, so does the pair, and the signals do what they do by default.
    QObject::connect(&context, &QObject::destroyed, [ends] {
        for (const int signal : Signals)
            std::signal(signal, SIG_DFL);
        signalWriteEnd = -1;
        for (const int end : ends)
            ::close(end);
    });
}

} // namespace tamberlight
