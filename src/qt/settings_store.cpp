// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/settings_store.h"

#include "platform/platform_error.h"
#include "qt/atomic_file.h"
#include "qt/checked_file.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <fcntl.h>
#include <unistd.h>

namespace tamberlight {

namespace fs = std::filesystem;

namespace {

constexpr const char* SettingsFileName = "tamberl.ini";

// What opening the file for writing, or making a file in the folder, answers; nothing is
// changed either way. A file that is no settings file at all is refused.
bool writable(const fs::path& file) {
    try {
        if (openChecked(file, Access::Write))
            return true;
    } catch (const FileRefused& refused) {
        if (refused.notAFile)
            throw;
        return false;
    }
    const fs::path probe = temporaryFileFor(file);
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

} // namespace

bool isInstalled(const fs::path& executableDirectory) {
    std::error_code ec;
    return executableDirectory.filename() == "bin" &&
           fs::exists(executableDirectory.parent_path() / "share" / "applications" /
                          (std::string(ApplicationId) + ".desktop"),
                      ec);
}

SettingsStore::SettingsStore(const fs::path& executableDirectory,
                             const fs::path& configurationDirectory) {
    const fs::path beside = executableDirectory / SettingsFileName;
    const fs::path configured = configurationDirectory / "tamberlight" / SettingsFileName;
    // An installed program's folder belongs to the system, even when root can write there.
    if (!isInstalled(executableDirectory)) {
        try {
            if (writable(beside)) {
                path_ = beside;
                return;
            }
        } catch (const FileRefused& refused) {
            // What stands there is left alone; the user hears of it when it is read.
            path_ = beside;
            refusal_ = refused.what();
            return;
        }
    }
    path_ = configured;
    std::error_code ec;
    if (!isInstalled(executableDirectory) && fs::exists(beside, ec))
        earlier_ = beside;
}

SettingsStore SettingsStore::forThisProgram() {
    const QString configuration =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return SettingsStore(QCoreApplication::applicationDirPath().toStdString(),
                         configuration.toStdString());
}

std::optional<std::string> SettingsStore::read() {
    std::error_code ec;
    const fs::path& source = earlier_ && !fs::exists(path_, ec) ? *earlier_ : path_;
    try {
        if (const std::optional<Descriptor> file = openChecked(source, Access::Read))
            return readBounded(*file);
        return std::nullopt;
    } catch (const FileRefused& refused) {
        // A file that is there but could not be read is never saved over: its schedule would
        // be lost to the defaults.
        if (source == path_)
            refusal_ = refused.notAFile
                           ? refused.what()
                           : "it could not be read, and a save would replace what it holds";
        throw PlatformError("cannot read settings from " + source.string() + ": " + refused.what());
    }
}

void SettingsStore::write(std::string_view bytes) const {
    if (refusal_)
        throw PlatformError("cannot save settings to " + path_.string() + ": " + *refusal_);
    writeFileAtomically(path_, bytes);
}

} // namespace tamberlight
