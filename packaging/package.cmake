# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# The Debian package: `cpack -G DEB` in a build folder makes tamberlight_<version>_<arch>.deb
# with everything `cmake --install` installs, under /usr.

# What Debian wants beside the program: the copyright, a changelog and a manual page, the last
# two compressed without a name or a time stamp.
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(compressed)
foreach(file changelog tamberlight.1)
    set(copy ${CMAKE_CURRENT_BINARY_DIR}/packaging/${file})
    add_custom_command(OUTPUT ${copy}.gz
                       COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/${file} ${copy}
                       COMMAND gzip -9nf ${copy}
                       DEPENDS packaging/${file} VERBATIM)
    list(APPEND compressed ${copy}.gz)
endforeach()
add_custom_target(tamberlight_package_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/tamberlight.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamberlight)
set(CPACK_PACKAGE_CONTACT "Tamberlight developers <tamberlight@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "game-day clock with its own time and a schedule that announces itself")
set(CPACK_PACKAGE_DESCRIPTION
    "Tamberlight keeps a clock of its own: its time starts at midnight when the
program starts and moves on one clock minute per tick of a timer you set.
The window shows an analog dial, the time as HH:MM and a free-form schedule.
When the clock reaches a schedule line that starts with a time of day,
Tamberlight plays your sound and announces that line and the next one.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps finds the libraries the binaries link. What the program needs without linking
# it comes on top: the captions' Japanese gothic and Comic Neue (without a Japanese font every
# caption is boxes), and the GStreamer plugins that decode and play the sounds. Qt's Wayland
# platform lets the clock run natively on Wayland; without it, it runs through XWayland. Qt's
# translations let its dialogs speak the user's language.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-comic-neue, \
gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
include(CPack)
