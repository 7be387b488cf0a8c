# `cmake --install`: the program as it runs from its build folder, in one
# program folder SONMIRA_PROGRAM_DIR (the executables, the serial library,
# the drivers, the sound back end and the help viewer install themselves
# there; the data files are added here), links to the three programs on the
# PATH, and the desktop's entry, icon, project file type and metadata.
set(programs sonmira-cli sonmira-modsim)
if(SONMIRA_QT)
  list(PREPEND programs sonmira)
endif()
install(FILES ${SONMIRA_OUT}/Sonmira.INI ${SONMIRA_OUT}/sound.dat ${SONMIRA_OUT}/qv.dat DESTINATION ${SONMIRA_PROGRAM_DIR})
if(SONMIRA_QT)
  install(FILES ${SONMIRA_OUT}/qv_help.chm DESTINATION ${SONMIRA_PROGRAM_DIR})
endif()

# The programs find their folder through /proc/self/exe, which names the
# link's target, so relative links are enough.
foreach(p ${programs})
  file(RELATIVE_PATH target /${CMAKE_INSTALL_BINDIR} /${SONMIRA_PROGRAM_DIR}/${p})
  install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${bin}\")
    message(STATUS \"Installing: \${bin}/${p} -> ${target}\")
    file(CREATE_LINK \"${target}\" \"\${bin}/${p}\" SYMBOLIC)")
endforeach()

# Desktop integration. The icon is drawn from its SVG at the theme's sizes.
set(SONMIRA_APP_ID org.sonmira.Sonmira)
set(desktop ${CMAKE_CURRENT_SOURCE_DIR}/desktop)
if(SONMIRA_QT)
  install(FILES ${desktop}/${SONMIRA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${desktop}/${SONMIRA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${desktop}/${SONMIRA_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
  set(pngs)
  foreach(size 16 24 32 48 64 128 256)
    set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/${SONMIRA_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${desktop}/${SONMIRA_APP_ID}.svg
      DEPENDS ${desktop}/${SONMIRA_APP_ID}.svg
      COMMENT "Drawing the ${size}x${size} icon"
      VERBATIM)
    list(APPEND pngs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(sonmira_icons ALL DEPENDS ${pngs})
endif()
install(FILES ${desktop}/${SONMIRA_APP_ID}-project.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# The package's documents: the copyright and the changelog, compressed
# without a time stamp so that two builds give the same bytes.
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/sonmira)
set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog > ${changelog_gz}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog
  COMMENT "Compressing the changelog")
add_custom_target(sonmira_changelog ALL DEPENDS ${changelog_gz})
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/debian/copyright ${changelog_gz} DESTINATION ${docdir})
# The changelog's newest entry names the version the package carries.
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^sonmira \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "data/debian/changelog: the newest entry is not version ${PROJECT_VERSION}: ${newest}")
endif()
