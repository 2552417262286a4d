# The manual pages and the changelog, compressed as Debian's tools expect (gzip -9 with
# no name or time stamp, so that the same sources give the same bytes).
# lumexa-render's manual page is made from its --help by help2man, with the sections of
# docs/lumexa-render.h2m; lumexa takes no options of its own, so its page is written by
# hand in docs/lumexa.1. They are made with the other manuals (LUMEXA_BUILD_TOOLS), so
# that the sanitizer builds never run an instrumented program at build time.
find_program(LUMEXA_GZIP gzip REQUIRED)
set(LUMEXA_DOCS_DIR ${CMAKE_BINARY_DIR}/docs)
set(LUMEXA_MAN_PAGES)

set(LUMEXA_CHANGELOG ${LUMEXA_DOCS_DIR}/changelog.gz)
add_custom_command(OUTPUT ${LUMEXA_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog ${LUMEXA_DOCS_DIR}/changelog
  COMMAND ${LUMEXA_GZIP} -9nf ${LUMEXA_DOCS_DIR}/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the changelog"
  VERBATIM)
add_custom_target(changelog ALL DEPENDS ${LUMEXA_CHANGELOG})

if(LUMEXA_BUILD_TOOLS AND TARGET lumexa)
  add_custom_command(OUTPUT ${LUMEXA_DOCS_DIR}/lumexa.1.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/lumexa.1 ${LUMEXA_DOCS_DIR}/lumexa.1
    COMMAND ${LUMEXA_GZIP} -9nf ${LUMEXA_DOCS_DIR}/lumexa.1
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/lumexa.1
    COMMENT "Compressing lumexa's manual page"
    VERBATIM)
  list(APPEND LUMEXA_MAN_PAGES ${LUMEXA_DOCS_DIR}/lumexa.1.gz)
endif()

if(LUMEXA_BUILD_TOOLS AND TARGET lumexa-render)
  find_program(LUMEXA_HELP2MAN help2man)
  if(LUMEXA_HELP2MAN)
    add_custom_command(OUTPUT ${LUMEXA_DOCS_DIR}/lumexa-render.1.gz
      COMMAND ${LUMEXA_HELP2MAN} --no-info --section=1 --version-string=${PROJECT_VERSION}
              "--name=render a Lumexa project into a picture file without a window"
              --include=${PROJECT_SOURCE_DIR}/docs/lumexa-render.h2m
              --output=${LUMEXA_DOCS_DIR}/lumexa-render.1 $<TARGET_FILE:lumexa-render>
      COMMAND ${LUMEXA_GZIP} -9nf ${LUMEXA_DOCS_DIR}/lumexa-render.1
      DEPENDS lumexa-render ${PROJECT_SOURCE_DIR}/docs/lumexa-render.h2m
      COMMENT "Making lumexa-render's manual page from its --help"
      VERBATIM)
    list(APPEND LUMEXA_MAN_PAGES ${LUMEXA_DOCS_DIR}/lumexa-render.1.gz)
  else()
    message(STATUS "help2man not found (scripts/setup installs it): lumexa-render's manual page is not made")
  endif()
endif()

if(LUMEXA_MAN_PAGES)
  add_custom_target(man_pages ALL DEPENDS ${LUMEXA_MAN_PAGES})
endif()
