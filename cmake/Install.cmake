# What `cmake --install` puts where, and the Debian package built from it with `cpack -G DEB`.
# The program itself goes to bin/; the launcher entry, the AppStream metadata and the icons are
# named by JORNIX_APP_ID, so that desktops tie the running window to its launcher.

set(JORNIX_PROGRAM_NAME jornix)
string(TOUPPER "${JORNIX_PROGRAM_NAME}" JORNIX_PROGRAM_NAME_UPPER)
set(JORNIX_RELEASE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
set(JORNIX_RELEASE_DATE "2026-12-08")
set(JORNIX_RELEASE_DATE_RFC2822 "Tue, 08 Dec 2026 12:00:00 +0000")
set(JORNIX_HOMEPAGE_URL "https://tarvex-diary.example/" CACHE STRING
    "The project's home page, named in the AppStream metadata")
set(JORNIX_SCREENSHOT_URL "${JORNIX_HOMEPAGE_URL}screenshots/main-window.png" CACHE STRING
    "Where software centres fetch the screenshot of the AppStream metadata (docs/screenshot.png)")
set(JORNIX_MAINTAINER "The Tarvex's Diary developers <diary@tarvex-diary.example>" CACHE STRING
    "The package's maintainer, name and e-mail address")
set(JORNIX_GUIDE_INSTALLED "${CMAKE_INSTALL_FULL_DOCDIR}/user-guide.html")

set(_desktop ${PROJECT_SOURCE_DIR}/resources/desktop)
set(_out ${CMAKE_BINARY_DIR}/desktop)
configure_file(${_desktop}/app.desktop.in ${_out}/${JORNIX_APP_ID}.desktop @ONLY)
configure_file(${_desktop}/app.metainfo.xml.in ${_out}/${JORNIX_APP_ID}.metainfo.xml @ONLY)
configure_file(${_desktop}/jornix.1.in ${_out}/${JORNIX_PROGRAM_NAME}.1 @ONLY)
configure_file(${_desktop}/copyright.in ${_out}/copyright @ONLY)
configure_file(${_desktop}/changelog.in ${_out}/changelog @ONLY)

# Compressed without a time stamp, so that two builds of the same sources give the same package.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(_generated)
foreach(_file ${JORNIX_PROGRAM_NAME}.1 changelog)
  add_custom_command(OUTPUT ${_out}/${_file}.gz
                     COMMAND ${GZIP_PROGRAM} -9n -c ${_out}/${_file} > ${_out}/${_file}.gz
                     DEPENDS ${_out}/${_file} VERBATIM)
  list(APPEND _generated ${_out}/${_file}.gz)
endforeach()

# The PNG sizes are drawn from the SVG at build time.
set(JORNIX_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  foreach(_size ${JORNIX_ICON_SIZES})
    set(_png ${_out}/icons/${_size}x${_size}/${JORNIX_APP_ID}.png)
    add_custom_command(OUTPUT ${_png}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${_out}/icons/${_size}x${_size}
                       COMMAND ${RSVG_CONVERT} -w ${_size} -h ${_size} ${_desktop}/icon.svg -o ${_png}
                       DEPENDS ${_desktop}/icon.svg VERBATIM)
    list(APPEND _generated ${_png})
    install(FILES ${_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps)
  endforeach()
else()
  message(WARNING "rsvg-convert (Debian: librsvg2-bin) was not found: the installed icon has no PNG sizes")
endif()
add_custom_target(jornix_desktop_files ALL DEPENDS ${_generated})

install(TARGETS jornix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_out}/${JORNIX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_out}/${JORNIX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_desktop}/icon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${JORNIX_APP_ID}.svg)
install(FILES ${_out}/${JORNIX_PROGRAM_NAME}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/docs/user-guide.html ${_out}/copyright ${_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME ${JORNIX_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${JORNIX_RELEASE_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tarvex's Diary developers")
set(CPACK_PACKAGE_CONTACT "${JORNIX_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop journal with a rich-text page for every day")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${JORNIX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${JORNIX_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plug-ins Qt loads at run time, which dpkg-shlibdeps cannot see: the window system's, and the
# SQLite driver the journal search keeps its index with. The reader fills documents through
# Qt's private text API, which holds only for the very Qt release it was built with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6sql6-sqlite, qt6-base-abi (= ${Qt6Core_VERSION})")
# Opening the user guide and web addresses goes through xdg-open; spelling needs a dictionary.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, hunspell-en-us | hunspell-dictionary")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis is the summary above; CPack indents these lines and marks the empty one.
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvex's Diary keeps one rich-text page for every day, the diary entry,
and any number of named pages, the keyword files. Every page is an RTF
file in one folder, so any word processor can open it too.

One window shows a row of tabs over one editor, a date control with jumps
to the previous and next entry, and a Quick List of stored entries. It
formats text, finds and replaces, counts words and prints with a header
and page numbers. It saves by itself and keeps the previous version of
every page in a backup folder.")
include(CPack)
