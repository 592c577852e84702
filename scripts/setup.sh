# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# Shared set-up for the entry points: installs what is missing and builds a preset.
# Sourced by scripts/run and scripts/test; not meant to be run on its own.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# A shell started with an empty environment (env -i) has a search path of its own that it does
# not export: CMake could not find itself, nor dpkg the system's tools, without this one.
case ":${PATH:-}:" in
*:/usr/sbin:*) ;;
*) PATH="${PATH:-/usr/local/bin:/usr/bin:/bin}:/usr/local/sbin:/usr/sbin:/sbin" ;;
esac
export PATH

# What building and running the clock needs.
RUN_PACKAGES=(cmake ninja-build g++ pkgconf qt6-base-dev qt6-multimedia-dev libxcb1-dev
    libfontconfig-dev libmosquitto-dev qt6-httpserver-dev qt6-websockets-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    fonts-ipafont-gothic fonts-comic-neue xvfb xauth qt6-wayland qt6-translations-l10n)
# What the test suite needs besides: GoogleTest; an audio server, a Wayland compositor and a
# screen reader's bus it starts on its own; the X tools that type into the window, close it and
# read it; the validators of the installed desktop entry and metainfo; a browser for the page.
TEST_PACKAGES=(libgtest-dev mosquitto mosquitto-clients openssl pulseaudio pulseaudio-utils gstreamer1.0-tools weston xdotool
    x11-utils x11-apps python3-xlib dbus-daemon at-spi2-core python3-pyatspi python3-gi appstream
    desktop-file-utils binutils chromium curl file)
# What the benchmarks, the stress tools and the screenshot helper need on top of the tests: the
# X DAMAGE extension's library, through which they watch the screen.
TOOL_PACKAGES=(libxcb-damage0-dev)
# What making the Debian package and checking it needs: dpkg-shlibdeps, the file type probe
# CPack runs before it, and lintian.
PACKAGE_PACKAGES=(dpkg-dev file lintian)
# What CI checks besides the tests: the code's formatting and the licence headers.
LINT_PACKAGES=(clang-format reuse git)
# What the fuzz targets need: the core alone, built by clang with libFuzzer and the sanitizers;
# g++ brings the C++ library that clang compiles against.
FUZZ_PACKAGES=(cmake ninja-build g++ clang-14 libclang-rt-14-dev)

# Installs the Debian packages that are not installed yet; does nothing when all are there.
ensure_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || {
            echo "tamberlight: these packages are missing and installing them needs root: ${missing[*]}" >&2
            return 1
        }
        sudo=(sudo)
    fi
    echo "tamberlight: installing ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt_get install -y -q --no-install-recommends "${missing[@]}" >&2 ||
        { apt_get update -q >&2 && apt_get install -y -q --no-install-recommends "${missing[@]}" >&2; }
}

# apt-get, waiting for another package manager (a fresh desktop's automatic updates) to finish
# rather than failing: the install waits on the lock itself, the update is tried again.
# (The caller's sudo, if any, is used.)
apt_get() {
    local errors status=0
    errors="$(mktemp)"
    for _ in $(seq 120); do
        status=0
        "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 "$@" 2>"$errors" || status=$?
        [ "$status" -ne 0 ] && grep -q "Could not get lock" "$errors" || break
        echo "tamberlight: another package manager is at work; waiting for it to finish" >&2
        sleep 5
    done
    cat "$errors" >&2
    rm -f "$errors"
    return "$status"
}

# Configures and builds one of the CMake presets (dev, asan, release, bench, fuzz); given
# targets after the preset, only those and what they need.
build_preset() {
    local preset="$1" targets=()
    shift
    [ $# -eq 0 ] || targets=(--target "$@")
    (cd "$ROOT" && cmake --preset "$preset" >/dev/null &&
        cmake --build --preset "$preset" "${targets[@]}")
}

# Qt wants a private runtime directory; a root shell without a session has none.
ensure_runtime_dir() {
    if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ]; then
        XDG_RUNTIME_DIR="$(mktemp -d "${TMPDIR:-/tmp}/tamberlight-runtime-XXXXXX")"
        export XDG_RUNTIME_DIR
    fi
}
