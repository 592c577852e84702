#include "settings/settings_file.h"

#include "platform/platform_error.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iconv.h>
#include <langinfo.h>
#include <pwd.h>
#include <sstream>
#include <unistd.h>

namespace tamberlight {

namespace fs = std::filesystem;

namespace {

bool canWriteInto(const fs::path& directory) {
    std::error_code ec;
    return fs::is_directory(directory, ec) && ::access(directory.c_str(), W_OK | X_OK) == 0;
}

fs::path configurationDirectory() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/')
        return fs::path(xdg);
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* entry = ::getpwuid(::getuid());
        home = entry != nullptr ? entry->pw_dir : "/";
    }
    return fs::path(home) / ".config";
}

[[noreturn]] void fail(const std::string& what, const fs::path& path, int error) {
    throw PlatformError("cannot " + what + " " + path.string() + ": " + std::strerror(error));
}

void writeAll(int fd, std::string_view bytes, const fs::path& path) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail("write", path, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// The locale's character set, where it is one that text must be converted to; nothing for
// UTF-8, and for the C locale's plain ASCII, which would lose every Japanese character.
std::optional<std::string> localeCharset() {
    const std::string codeset = ::nl_langinfo(CODESET);
    if (codeset == "UTF-8" || codeset == "utf8" || codeset == "ANSI_X3.4-1968" ||
        codeset == "ASCII")
        return std::nullopt;
    return codeset;
}

std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(in.size() * 4 + 16, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const bool complete =
        result != static_cast<std::size_t>(-1) &&
        ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(cd);
    if (!complete || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

// Length of the valid UTF-8 sequence at the start of text, 0 when it is not valid.
std::size_t utf8Sequence(std::string_view text) {
    const auto c = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        code = c & 0x1FU;
        minimum = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        code = c & 0x0FU;
        minimum = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        code = c & 0x07U;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0U) != 0x80U)
            return 0;
        code = code << 6 | (next & 0x3FU);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

bool isUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = utf8Sequence(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

// Last resort for bytes that are neither: keep what is valid, mark the rest.
std::string replaceInvalid(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        const std::size_t length = utf8Sequence(text);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            text.remove_prefix(1);
        } else {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return out;
}

void writeInPlace(const fs::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        fail("write", path, errno);
    try {
        writeAll(fd, bytes, path);
        if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
            fail("write", path, errno);
        if (::fsync(fd) != 0)
            fail("flush", path, errno);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0)
        fail("close", path, errno);
}

// Temporary files of saves whose process died before the rename.
void removeStaleTemporaries(const fs::path& path) {
    const std::string prefix = path.filename().string() + ".tmp.";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(path.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0)
            continue;
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            fs::remove(entry.path(), ec);
    }
}

} // namespace

bool isInstalled(const fs::path& executableDirectory) {
    std::error_code ec;
    return executableDirectory.filename() == "bin" &&
           fs::exists(executableDirectory.parent_path() / "share" / "applications" /
                          (std::string(ApplicationId) + ".desktop"),
                      ec);
}

fs::path settingsFilePath(const fs::path& executableDirectory) {
    const fs::path configured = configurationDirectory() / "tamberlight" / SettingsFileName;
    // An installed program's folder belongs to the system, even when root can write there.
    if (isInstalled(executableDirectory))
        return configured;
    const fs::path beside = executableDirectory / SettingsFileName;
    std::error_code ec;
    const bool present = fs::exists(beside, ec);
    if (present ? ::access(beside.c_str(), W_OK) == 0 : canWriteInto(executableDirectory))
        return beside;
    return configured;
}

std::optional<std::string> readFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return std::move(bytes).str();
}

void writeFileAtomically(const fs::path& path, std::string_view bytes) {
    static std::atomic<unsigned> serial{0};
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    fs::path temporary = path;
    temporary += ".tmp." + std::to_string(::getpid()) + "." + std::to_string(serial++);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        // A writable file in a directory that cannot be written: it can only be rewritten in
        // place, the one case where a failing save can leave it partly written.
        if ((error == EACCES || error == EPERM) && ::access(path.c_str(), W_OK) == 0) {
            writeInPlace(path, bytes);
            return;
        }
        fail("create", temporary, error);
    }
    try {
        writeAll(fd, bytes, temporary);
        if (::fsync(fd) != 0)
            fail("flush", temporary, errno);
    } catch (...) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail("close", temporary, error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail("replace", path, error);
    }
    // The rename itself reaches the disk with the directory.
    const int directory = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
    removeStaleTemporaries(path);
}

std::string encodeForFile(std::string_view utf8) {
    if (const auto charset = localeCharset()) {
        // Text the locale cannot hold is kept in UTF-8 rather than lost.
        if (auto converted = convert(charset->c_str(), "UTF-8", utf8))
            return *converted;
    }
    return std::string(utf8);
}

std::string decodeFromFile(std::string_view bytes) {
    if (const auto charset = localeCharset()) {
        if (auto converted = convert("UTF-8", charset->c_str(), bytes))
            return *converted;
    }
    if (isUtf8(bytes))
        return std::string(bytes);
    if (auto converted = convert("UTF-8", "CP932", bytes))
        return *converted;
    return replaceInvalid(bytes);
}

} // namespace tamberlight
