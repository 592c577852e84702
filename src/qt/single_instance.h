#pragma once

#include <QLockFile>
#include <QSocketNotifier>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace tamberlight {

// One running window per settings file, so that two windows never overwrite each other's
// schedule. The lock lives in the user's runtime folder, named after the settings file's full
// path; a lock left by a killed program is taken over. The running window listens on a socket
// beside it for a later start that asks it to come to the front.
class SingleInstance {
public:
    explicit SingleInstance(const std::filesystem::path& settingsFile);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock and listens, calling onWake for every later start. False when another
    // program holds it: it has then been asked to come to the front. Throws PlatformError
    // when no lock can be made at all.
    bool claim(std::function<void()> onWake);
    // Lets the next start go ahead.
    void release();

private:
    explicit SingleInstance(const QString& base);

    std::string socket_;
    QLockFile lock_;
    int listening_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace tamberlight
