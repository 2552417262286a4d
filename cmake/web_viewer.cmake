# The deep zoom viewer page's files: the page template from data/web/ and OpenSeadragon's
# script, button pictures and licence from the npm package pinned in package-lock.json.
# They are copied beside the programs (bin/web/), where the programs look for them, as the
# install puts them in share/lumexa/web/.
#
# The package is installed with `npm ci` (scripts/setup runs it; so does this file when
# node_modules lacks the locked version), which checks it against the lock file's hash: the
# repository holds no copy of a minified script, and an upgrade is one line of package.json.
set(LUMEXA_VIEWER_PACKAGE ${PROJECT_SOURCE_DIR}/node_modules/openseadragon)
file(READ ${PROJECT_SOURCE_DIR}/package-lock.json lumexa_lock)
string(JSON lumexa_viewer_version GET ${lumexa_lock} packages node_modules/openseadragon version)
set(lumexa_viewer_installed "")
if(EXISTS ${LUMEXA_VIEWER_PACKAGE}/package.json)
  file(READ ${LUMEXA_VIEWER_PACKAGE}/package.json lumexa_viewer_manifest)
  string(JSON lumexa_viewer_installed GET ${lumexa_viewer_manifest} version)
endif()
if(NOT lumexa_viewer_installed STREQUAL lumexa_viewer_version)
  find_program(LUMEXA_NPM npm)
  if(NOT LUMEXA_NPM)
    message(FATAL_ERROR "OpenSeadragon ${lumexa_viewer_version} (package-lock.json) is not in "
                        "node_modules and there is no npm to install it: run scripts/setup")
  endif()
  message(STATUS "Installing OpenSeadragon ${lumexa_viewer_version} with npm ci")
  execute_process(COMMAND ${LUMEXA_NPM} ci --no-audit --no-fund
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} RESULT_VARIABLE lumexa_npm_status
                  OUTPUT_QUIET)
  if(NOT lumexa_npm_status EQUAL 0)
    message(FATAL_ERROR "npm ci could not install OpenSeadragon ${lumexa_viewer_version}")
  endif()
endif()

set(LUMEXA_WEB_DIR ${CMAKE_BINARY_DIR}/bin/web)
file(REMOVE_RECURSE ${LUMEXA_WEB_DIR})
configure_file(${PROJECT_SOURCE_DIR}/data/web/deep_zoom.html ${LUMEXA_WEB_DIR}/deep_zoom.html COPYONLY)
set(lumexa_viewer_build ${LUMEXA_VIEWER_PACKAGE}/build/openseadragon)
configure_file(${lumexa_viewer_build}/openseadragon.min.js ${LUMEXA_WEB_DIR}/openseadragon/openseadragon.min.js
               COPYONLY)
configure_file(${LUMEXA_VIEWER_PACKAGE}/LICENSE.txt ${LUMEXA_WEB_DIR}/openseadragon/LICENSE.txt COPYONLY)
file(GLOB lumexa_viewer_images ${lumexa_viewer_build}/images/*.png)
foreach(picture ${lumexa_viewer_images})
  get_filename_component(name ${picture} NAME)
  configure_file(${picture} ${LUMEXA_WEB_DIR}/openseadragon/images/${name} COPYONLY)
endforeach()
