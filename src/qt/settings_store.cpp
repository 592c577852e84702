#include "qt/settings_store.h"

#include "qt/atomic_file.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <fcntl.h>
#include <unistd.h>

namespace tamberlight {

namespace fs = std::filesystem;

namespace {

constexpr const char* SettingsFileName = "tamberl.ini";

// What opening the file for writing, or making a file in the folder, answers; nothing is
// changed either way.
bool writable(const fs::path& file) {
    std::error_code ec;
    if (fs::exists(file, ec)) {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
        return fd >= 0 && ::close(fd) == 0;
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
    if (!isInstalled(executableDirectory) && writable(beside)) {
        path_ = beside;
        return;
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

std::optional<std::string> SettingsStore::read() const {
    std::error_code ec;
    if (earlier_ && !fs::exists(path_, ec))
        return readFileBytes(*earlier_);
    return readFileBytes(path_);
}

void SettingsStore::write(std::string_view bytes) const {
    writeFileAtomically(path_, bytes);
}

} // namespace tamberlight
