// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "qt/checked_file.h"

#include <QByteArray>
#include <QSocketNotifier>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace tamberlight {

// One running window per settings file, so that two windows never overwrite each other's
// schedule. The lock lives in the user's runtime folder, named after the settings file's full
// path: a lock on a file that the system lets go of when the program ends, however it ends. The
// running window listens on a socket beside it for a later start, which hands over the desktop's
// start-up or activation token and waits for the window to answer that it came to the front.
class SingleInstance {
public:
    explicit SingleInstance(const std::filesystem::path& settingsFile);
    // With the lock and socket in the given folder rather than the user's runtime folder.
    SingleInstance(const std::filesystem::path& settingsFile, const QString& runtimeFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum class Claim {
        Ours,       // the lock is taken: this start opens the window
        Forwarded,  // the running window was reached and came to the front
        Unanswered, // another program holds the lock but its window did not answer
    };
    // Takes the lock and listens, calling onWake with the token of every later start. When
    // another program holds the lock, waits a moment for its window (which may be starting,
    // or closing) and hands it this start's token. Throws PlatformError when no lock can be
    // made at all.
    Claim claim(const QByteArray& token, std::function<void(const QByteArray& token)> onWake);
    // Lets the next start go ahead.
    void release();

private:
    explicit SingleInstance(const QString& base);
    bool forward(int connection, const QByteArray& token);
    void answer();

    bool tryLock();

    std::string socket_, lockFile_;
    Descriptor lock_, listening_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void(const QByteArray&)> onWake_;
};

// The token the desktop gave this start, to bring an earlier window to the front with:
// XDG_ACTIVATION_TOKEN on Wayland, DESKTOP_STARTUP_ID on X11; empty when there is none. Qt takes
// them out of the environment as it starts, so this is asked before.
QByteArray desktopStartToken();

} // namespace tamberlight
