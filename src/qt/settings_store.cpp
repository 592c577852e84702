// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/settings_store.h"

#include "platform/platform_error.h"
#include "qt/atomic_file.h"
#include "qt/checked_file.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QStandardPaths>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
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
    if (Descriptor(::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)).get() < 0)
        return false;
    ::unlink(probe.c_str());
    return true;
}

// Where this window's settings go when another program wrote the file since this window read
// it: beside it, named after the user, the machine and the moment.
fs::path besideFor(const fs::path& file) {
    const passwd* user = ::getpwuid(::getuid());
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const std::string moment =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
    std::string name = file.stem().string() + "." + (user != nullptr ? user->pw_name : "someone") +
                       "@" + host + "." + moment + file.extension().string();
    std::replace(name.begin(), name.end(), '/', '_');
    return file.parent_path() / name;
}

std::size_t hashOf(std::string_view bytes) {
    return std::hash<std::string_view>{}(bytes);
}

} // namespace

std::string fileKey(const fs::path& file) {
    std::error_code ec;
    const std::string full = fs::weakly_canonical(file, ec).string();
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(full), QCryptographicHash::Sha256);
    return hash.toHex().left(24).toStdString();
}

bool isInstalled(const fs::path& executableDirectory) {
    std::error_code ec;
    return executableDirectory.filename() == "bin" &&
           fs::exists(executableDirectory.parent_path() / "share" / "applications" /
                          (std::string(ApplicationId) + ".desktop"),
                      ec);
}

SettingsStore::SettingsStore(const fs::path& executableDirectory,
                             const fs::path& configurationDirectory,
                             const fs::path& stateDirectory) {
    const fs::path beside = executableDirectory / SettingsFileName;
    state_ = stateDirectory;
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
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return SettingsStore(QCoreApplication::applicationDirPath().toStdString(),
                         configuration.toStdString(), state.toStdString());
}

SettingsStore::Seen SettingsStore::seenNow(const fs::path& file, std::optional<std::size_t> hash) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return {};
    return {true,
            st.st_dev,
            st.st_ino,
            st.st_size,
            std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec,
            hash.value_or(0)};
}

// Whether the file is no longer what this window last read or wrote: another file now, or other
// bytes. A file rewritten with the same bytes is no change.
bool SettingsStore::changedSince(const Seen& seen) const {
    const Seen now = seenNow(path_);
    if (!now.present || !seen.present)
        return now.present != seen.present;
    if (now.device == seen.device && now.inode == seen.inode && now.size == seen.size &&
        now.modified == seen.modified)
        return false;
    try {
        if (const std::optional<Descriptor> file = openChecked(path_, Access::Read))
            return hashOf(readBounded(*file)) != seen.hash;
    } catch (const FileRefused&) {
    }
    return true;
}

std::optional<std::string> SettingsStore::read() {
    std::error_code ec;
    const fs::path& source = earlier_ && !fs::exists(path_, ec) ? *earlier_ : path_;
    try {
        std::optional<std::string> bytes;
        if (const std::optional<Descriptor> file = openChecked(source, Access::Read))
            bytes = readBounded(*file);
        seen_ = seenNow(path_, bytes ? std::optional(hashOf(*bytes)) : std::nullopt);
        return bytes;
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

std::optional<std::string> SettingsStore::write(std::string_view bytes) {
    if (refusal_)
        throw PlatformError("cannot save settings to " + path_.string() + ": " + *refusal_);
    if (!beside_ && seen_ && changedSince(*seen_)) {
        // Both versions are kept byte for byte: theirs where it is, this window's beside it.
        const fs::path beside = besideFor(path_);
        writeFileAtomically(beside, bytes);
        beside_ = beside;
        return path_.string() + " was changed by another program since this window read it; " +
               "it stays as it is, and this window's settings are saved in " + beside.string();
    }
    std::optional<std::string> warning = writeFileAtomically(beside_.value_or(path_), bytes);
    if (!beside_)
        seen_ = seenNow(path_, hashOf(bytes));
    return warning;
}

// Named after the settings file it stands for, so that each settings file has its own.
fs::path SettingsStore::unsavedPath() const {
    if (state_.empty())
        throw PlatformError("there is no folder to keep them in");
    return state_ / "tamberlight" / ("unsaved-" + fileKey(path_) + ".ini");
}

fs::path SettingsStore::keepUnsaved(std::string_view bytes) const {
    const fs::path copy = unsavedPath();
    writeFileAtomically(copy, bytes);
    return copy;
}

std::optional<fs::path> SettingsStore::unsavedCopy() const {
    std::error_code ec;
    const fs::path copy = state_.empty() ? fs::path() : unsavedPath();
    const auto kept = fs::last_write_time(copy, ec);
    if (ec)
        return std::nullopt;
    const auto saved = fs::last_write_time(path_, ec);
    if (!ec && saved >= kept)
        return std::nullopt;
    return copy;
}

} // namespace tamberlight
