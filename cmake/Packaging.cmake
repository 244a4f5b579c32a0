# `cpack` (or the `package` target) makes nexoquadrix_VERSION_ARCH.deb from the install rules. The
# dependencies on shared libraries come from dpkg-shlibdeps; the rest are programs and plugins the
# player runs or loads by name.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nexoquadrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "communication-board player for people who cannot speak")
set(CPACK_PACKAGE_DESCRIPTION
    "NexoQuadrix shows communication boards: grids of up to 21 x 21 cells with
pictures and captions. Choosing a cell speaks it with a Catalan or Spanish
voice, adds it to a message, opens another board or runs a command. Cells are
chosen with a mouse, by dwelling with an eye tracker, by scanning with one or
two switches or by a sound into a microphone. In the external-window mode the
board types into other applications like an on-screen keyboard.

The package holds the player, the board tool nexoquadrix-tool, demo boards in
Catalan and Spanish, and a speech library that speaks through espeak-ng.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NQ_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libupctv.so speaks through the espeak-ng program; Qt finds its X11 platform in libqt6gui6.
# The symbol library names its pictograms from the Unicode CLDR annotations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng, unicode-cldr-core")
# Ona is offered where her voice is installed, in the player and, with the Festival module, in the
# desktop speech service; the service speaks through espeak-ng otherwise.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "speech-dispatcher, speech-dispatcher-espeak-ng, festvox-ca-ona-hts, festival-ca, speech-dispatcher-festival, fonts-liberation2, xdg-utils, qt6-translations-l10n, fonts-noto-color-emoji")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
