# The game as a desktop program: the help page and its pictures next to the
# program in the build tree, the icons, the menu entry, the metainfo, the
# manual pages, the installation and the Debian package.
set(SALVORA_APP_ID "org.salvora.salvora" CACHE STRING "AppStream id of the program")
set(SALVORA_LICENSE "MIT" CACHE STRING "SPDX licence of the program, for the metainfo")
set(SALVORA_RELEASE_DATE "2026-12-08")
# Software centres show the screenshot from the web; set the address where
# docs/screenshot.png is published to have it in the metainfo.
set(SALVORA_SCREENSHOT_URL "" CACHE STRING "Web address of docs/screenshot.png, for the metainfo")

# Games live in games/ beside bin/ (/usr/games for the package, on the
# players' PATH); the program finds its data in ../share/salvora from there.
set(SALVORA_INSTALL_BINDIR "games" CACHE STRING "Directory under the prefix for the program")

set(SALVORA_DATA ${CMAKE_BINARY_DIR})

# The help page the game opens with F1 lives next to the program, its
# pictures in help/ beside it. The pictures, the frames of a real game and
# the icons are painted by the tools from the game's own images.
configure_file(${CMAKE_SOURCE_DIR}/data/Salvora.html ${SALVORA_DATA}/Salvora.html COPYONLY)
set(SALVORA_PICTURES_STAMP ${SALVORA_DATA}/help/.painted)
add_custom_command(OUTPUT ${SALVORA_PICTURES_STAMP}
  COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
          $<TARGET_FILE:help_pictures> ${SALVORA_DATA}/help
  COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
          $<TARGET_FILE:game_frame> ${SALVORA_DATA}/help
  COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
          $<TARGET_FILE:icon_painter> ${SALVORA_DATA}/icons
  COMMAND ${CMAKE_COMMAND} -E touch ${SALVORA_PICTURES_STAMP}
  DEPENDS help_pictures game_frame icon_painter
  COMMENT "Painting the help pictures and the icons")

# Manual pages and the changelog, compressed as the system keeps them.
set(SALVORA_DOCS ${SALVORA_DATA}/doc)
file(MAKE_DIRECTORY ${SALVORA_DOCS}/ru)
set(SALVORA_GZIPPED)
foreach(pair "salvora.6:salvora.6.gz" "salvora.ru.6:ru/salvora.6.gz" "changelog:changelog.gz")
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 src)
  list(GET pair 1 out)
  add_custom_command(OUTPUT ${SALVORA_DOCS}/${out}
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/data/${src} > ${SALVORA_DOCS}/${out}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/${src})
  list(APPEND SALVORA_GZIPPED ${SALVORA_DOCS}/${out})
endforeach()
add_custom_target(salvora_data ALL DEPENDS ${SALVORA_PICTURES_STAMP} ${SALVORA_GZIPPED})
add_dependencies(salvora salvora_data)

if(SALVORA_SCREENSHOT_URL)
  set(SALVORA_SCREENSHOT_XML "  <screenshots>
    <screenshot type=\"default\">
      <image>${SALVORA_SCREENSHOT_URL}</image>
      <caption>A battle against the computer</caption>
      <caption xml:lang=\"ru\">Бой с компьютером</caption>
    </screenshot>
  </screenshots>
")
else()
  set(SALVORA_SCREENSHOT_XML "")
endif()
configure_file(${CMAKE_SOURCE_DIR}/data/salvora.metainfo.xml.in ${SALVORA_DATA}/${SALVORA_APP_ID}.metainfo.xml @ONLY)

# Installing and packaging take what the build made; they build nothing
# themselves (the suite packages the tree while its tests run).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
install(TARGETS salvora RUNTIME DESTINATION ${SALVORA_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/salvora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES ${SALVORA_DATA}/icons/${size}x${size}/apps/salvora.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${SALVORA_DATA}/${SALVORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${SALVORA_DOCS}/salvora.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${SALVORA_DOCS}/ru/salvora.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man6)
install(FILES ${SALVORA_DATA}/Salvora.html DESTINATION ${CMAKE_INSTALL_DATADIR}/salvora)
install(DIRECTORY ${SALVORA_DATA}/help DESTINATION ${CMAKE_INSTALL_DATADIR}/salvora FILES_MATCHING PATTERN "*.png")
install(FILES ${CMAKE_SOURCE_DIR}/data/copyright ${SALVORA_DOCS}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/salvora)

# cpack -G DEB: salvora_<version>_<arch>.deb for /usr, its library
# dependencies worked out by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME salvora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Salvora developers <maintainers@users.noreply.c-seed-4cb7976e.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "naval battle for two with bent ships, hidden bonuses and bombs")
set(CPACK_PACKAGE_DESCRIPTION "Salvora is a naval battle for two players on a sea of 16 by 17 cells.
Each side places ten ships, straight, diagonal or bent, that never touch,
then the sides take turns shooting until one fleet is sunk. Misses next to
a ship show whether it touches them at a side or a corner; the sea hides
extra shots, bombs, penalty rockets and navigators.

The opponent is the computer at four levels or a second player on another
machine of the network, with a chat line. The game is in Russian.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The panels ask fontconfig for Arial, which Liberation Sans stands in for;
# F1 opens the help page through xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_THREADS 0)
include(CPack)

# The installation, the validators, the installed program's first run and
# the package, checked on the built tree (not in the sanitizer build, which
# builds the suite alone).
if(NOT SALVORA_SANITIZE)
  add_test(NAME InstalledProgram.InstallValidateRunAndPackage
           COMMAND ${CMAKE_SOURCE_DIR}/tests/install_check.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(InstalledProgram.InstallValidateRunAndPackage PROPERTIES TIMEOUT 300)
endif()
