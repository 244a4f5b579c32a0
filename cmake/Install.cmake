# The installed layout (FHS): bin/ the three programs, lib/<multiarch>/nexoquadrix/ the speech library
# (the player looks for it there, relative to its own folder), share/nexoquadrix/ the bundled data,
# and the desktop integration files under share/.
include(GNUInstallDirs)

# A private library folder: only the player loads libupctv.so, so it stays off the linker's path.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(NQ_PRIVATE_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/nexoquadrix)
else()
  set(NQ_PRIVATE_LIBDIR lib/nexoquadrix)
endif()
if(TARGET nq_linux)
  target_compile_definitions(nq_linux PRIVATE NQ_PRIVATE_LIBDIR="${NQ_PRIVATE_LIBDIR}")
endif()

set(NQ_APP_ID "org.nexoquadrix.nexoquadrix" CACHE STRING "Desktop and AppStream id of the program")
set(NQ_PROJECT_LICENSE "LicenseRef-NexoQuadrix" CACHE STRING "SPDX licence of the program's own code")
set(NQ_MAINTAINER "NexoQuadrix developers <nexoquadrix@lists.nexoquadrix.org>"
    CACHE STRING "Maintainer of the Debian package and its changelog")
set(NQ_ICON_SIZES 16 22 24 32 48 64 128 256)

set(pack_src ${PROJECT_SOURCE_DIR}/packaging)
set(pack_out ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${pack_out})
configure_file(${pack_src}/nexoquadrix.desktop.in ${pack_out}/${NQ_APP_ID}.desktop @ONLY)
configure_file(${pack_src}/nexoquadrix-editor.desktop.in ${pack_out}/${NQ_APP_ID}.editor.desktop @ONLY)
configure_file(${pack_src}/nexoquadrix.metainfo.xml.in ${pack_out}/${NQ_APP_ID}.metainfo.xml @ONLY)
configure_file(${pack_src}/copyright ${pack_out}/copyright @ONLY)
configure_file(${pack_src}/changelog ${pack_out}/changelog @ONLY)
configure_file(${pack_src}/nexoquadrix.1 ${pack_out}/nexoquadrix.1 @ONLY)
configure_file(${pack_src}/nexoquadrix-tool.1 ${pack_out}/nexoquadrix-tool.1 @ONLY)
configure_file(${pack_src}/nexoquadrix-editor.1 ${pack_out}/nexoquadrix-editor.1 @ONLY)

# Manual pages and the changelog are shipped compressed, without time stamps, as Debian expects.
set(generated)
foreach(name nexoquadrix.1 nexoquadrix-tool.1 nexoquadrix-editor.1 changelog)
  add_custom_command(OUTPUT ${pack_out}/${name}.gz
                     COMMAND gzip -9 -n -c ${pack_out}/${name} > ${pack_out}/${name}.gz
                     DEPENDS ${pack_out}/${name} VERBATIM)
  list(APPEND generated ${pack_out}/${name}.gz)
endforeach()

# The PNG icons are drawn from the one SVG at build time.
find_program(NQ_RSVG_CONVERT rsvg-convert)
if(NQ_RSVG_CONVERT)
  foreach(size ${NQ_ICON_SIZES})
    set(png ${pack_out}/icons/${size}x${size}/${NQ_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${pack_out}/icons/${size}x${size}
                       COMMAND ${NQ_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${pack_src}/nexoquadrix.svg
                       DEPENDS ${pack_src}/nexoquadrix.svg VERBATIM)
    list(APPEND generated ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
else()
  message(WARNING "rsvg-convert not found (librsvg2-bin): only the SVG icon is installed")
endif()
add_custom_target(nq_packaging_files ALL DEPENDS ${generated})

if(TARGET nexoquadrix)
  install(TARGETS nexoquadrix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS nexoquadrix-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET nexoquadrix-editor)
  install(TARGETS nexoquadrix-editor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET upctv)
  install(TARGETS upctv LIBRARY DESTINATION ${NQ_PRIVATE_LIBDIR})
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/nexoquadrix
        PATTERN README.md EXCLUDE)

# The player and the editor both open boards; the player comes first, the editor is the second choice.
install(FILES ${pack_out}/${NQ_APP_ID}.desktop ${pack_out}/${NQ_APP_ID}.editor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${pack_out}/${NQ_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The built-in pictograms of the symbol library (fetched by scripts/install-deps.sh): the colour SVGs,
# their data file and the licence.
set(NQ_PICTOGRAMS ${PROJECT_SOURCE_DIR}/third_party/openmoji)
if(EXISTS ${NQ_PICTOGRAMS}/data/openmoji.json)
  install(DIRECTORY ${NQ_PICTOGRAMS}/color ${NQ_PICTOGRAMS}/data DESTINATION ${CMAKE_INSTALL_DATADIR}/nexoquadrix/openmoji
          PATTERN "*.ttx" EXCLUDE PATTERN "*.csv" EXCLUDE PATTERN "openmoji-tester.json" EXCLUDE)
  install(FILES ${NQ_PICTOGRAMS}/LICENSE.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/nexoquadrix/openmoji)
else()
  message(WARNING "The pictograms were not fetched (scripts/install-deps.sh): the symbol library will have none")
endif()

install(FILES ${pack_src}/nexoquadrix-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME nexoquadrix.xml)
install(FILES ${pack_src}/nexoquadrix.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${NQ_APP_ID}.svg)
# Board files show the program's icon in file managers (the name shared-mime-info derives from the type).
install(FILES ${pack_src}/nexoquadrix.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
        RENAME application-x-nexoquadrix-board.svg)
install(FILES ${pack_out}/nexoquadrix.1.gz ${pack_out}/nexoquadrix-tool.1.gz ${pack_out}/nexoquadrix-editor.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${pack_out}/copyright ${pack_out}/changelog.gz ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/nexoquadrix)
# The README points into docs/ with relative links, so the guides keep that place beside it.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/nexoquadrix/docs)
