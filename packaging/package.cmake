# What `cmake --install` puts in place besides the programs, and how `cpack -G DEB` wraps it.
# Included before the source folders so that they can use pavaneflow_man_page().
include(GNUInstallDirs)

set(PAVANEFLOW_MAINTAINER
    "Pavaneflow maintainers <maintainers@users.noreply.c-seed-7a277061.example>"
    CACHE STRING "Maintainer named in the Debian package and its changelog")
# Debian keeps a package's documents under its own name, whatever GNUInstallDirs says.
set(PAVANEFLOW_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/pavaneflow)
set(PAVANEFLOW_EXAMPLE_DIR ${CMAKE_INSTALL_PREFIX}/${PAVANEFLOW_DOC_DIR}/examples)

# Configures `name`.in of the calling folder (version, date, paths), compresses it as the
# packaging rules ask, and installs it as a section 1 page.
function(pavaneflow_man_page name)
  configure_file(${name}.in ${name} @ONLY)
  add_custom_command(OUTPUT ${name}.gz
                     COMMAND gzip -9 -n -f -k ${name}
                     DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${name}
                     WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                     VERBATIM)
  add_custom_target(man_${name} ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

set(PAVANEFLOW_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
configure_file(${PAVANEFLOW_PACKAGING_DIR}/changelog.in changelog @ONLY)
add_custom_command(OUTPUT changelog.gz
                   COMMAND gzip -9 -n -f -k changelog
                   DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog
                   WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                   VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
install(FILES ${PAVANEFLOW_PACKAGING_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${PAVANEFLOW_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/examples/demo.dwi ${PROJECT_SOURCE_DIR}/examples/demo.ssc
        DESTINATION ${PAVANEFLOW_DOC_DIR}/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pavaneflow)
set(CPACK_PACKAGE_VENDOR "ぱゔぁーぬ工房")
set(CPACK_PACKAGE_CONTACT ${PAVANEFLOW_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dance motions (VMD) from DWI step charts")
# The summary above is the synopsis line; this is the long description below it.
set(CPACK_PACKAGE_DESCRIPTION
    "Pavaneflow reads a DWI step file, with a song's title, artist, tempo and
charts of arrows on a four-arrow dance pad, and writes a VMD motion for a
3D character at 30 frames per second: the centre bone and both feet step
onto the pad's arrows in time with the song, and the upper body and the
neck can turn with the steps.

This package holds the desktop application, pavaneflow, with a Japanese
interface, and the command-line tool pavaneflow-cli for scripts and whole
song folders.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The libraries come from the binaries (the X11 and offscreen plug-ins come with Qt's GUI
# library). What is loaded at run time is recommended: the native Wayland plug-in, the
# translations that make Qt's own dialogs Japanese, a Japanese font, and the GStreamer decoders
# and sound output the preview plays songs with (Ogg Vorbis in base; WAV and MP3 in good).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-wayland, qt6-translations-l10n, fonts-vlgothic | fonts-noto-cjk, \
gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-pulseaudio")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/package)
include(CPack)
