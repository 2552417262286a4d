# Installation: programs in bin/, language files, the web viewer, manuals and examples in
# share/lumexa/ (where the programs look for them when they are not beside the program), the HTML
# manuals with their pictures, the copyright file and the changelog in share/doc/lumexa/,
# the manual pages, and the desktop entry, icons, AppStream metainfo and the MIME type of
# .led projects. cmake/package.cmake packs the same tree into a Debian package.
include(GNUInstallDirs)
include(cmake/compressed_docs.cmake)

set(LUMEXA_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/lumexa)

if(TARGET lumexa)
  install(TARGETS lumexa RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET lumexa-render)
  install(TARGETS lumexa-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${LUMEXA_LANGUAGE_FILES} DESTINATION ${LUMEXA_SHARE_DIR})
# The deep zoom viewer page's template and OpenSeadragon (cmake/web_viewer.cmake).
install(DIRECTORY ${LUMEXA_WEB_DIR} DESTINATION ${LUMEXA_SHARE_DIR})
install(FILES ${CMAKE_BINARY_DIR}/bin/lumexa_TesselEN.pdf DESTINATION ${LUMEXA_SHARE_DIR} OPTIONAL)
install(FILES ${CMAKE_BINARY_DIR}/bin/lumexa_TesselPL.pdf DESTINATION ${LUMEXA_SHARE_DIR} OPTIONAL)
foreach(lang en pl)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/manual/${lang} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumexa
          OPTIONAL PATTERN made EXCLUDE)
endforeach()
install(FILES packaging/copyright ${LUMEXA_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumexa)
# The HTML manuals registered with doc-base, where Debian's documentation browsers list
# them (doc-base takes only files in share/doc, so the PDFs are not named there).
if(LUMEXA_BUILD_TOOLS)
  set(LUMEXA_FULL_DOC_DIR ${CMAKE_INSTALL_FULL_DATADIR}/doc/lumexa)
  foreach(doc lumexa-manual lumexa-manual-pl)
    configure_file(packaging/doc-base/${doc}.in ${CMAKE_BINARY_DIR}/doc-base/lumexa.${doc} @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/doc-base/lumexa.${doc} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base)
  endforeach()
endif()
if(LUMEXA_MAN_PAGES)
  install(FILES ${LUMEXA_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(DIRECTORY data/examples DESTINATION ${LUMEXA_SHARE_DIR} PATTERN "*.py" EXCLUDE)

install(FILES data/desktop/org.lumexa.Lumexa.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/desktop/org.lumexa.Lumexa.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/desktop/org.lumexa.Lumexa.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons OPTIONAL)

include(cmake/package.cmake)
