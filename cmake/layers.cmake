# One library per source folder, and the order between them kept by the build.
#
# Every layer sees the headers of its own folder and of the layers it links, and no others:
# its headers are reached through a folder of links in the build tree that holds only that
# layer's headers, and that folder is the layer's public include path. A file that includes a
# header of a layer it does not link (one above it, or a sibling) fails to compile with
# "No such file or directory", so nothing can point back up unnoticed.

# lumexa_layer(TARGET FOLDER [INTERFACE] [DEPENDS libs...] [PRIVATE libs...])
#   FOLDER is the folder under src/ whose own files (not its subfolders) make the layer;
#   DEPENDS are the layers (and libraries) its headers need, linked publicly;
#   PRIVATE are libraries only its sources use.
function(lumexa_layer target folder)
  cmake_parse_arguments(LAYER "" "" "DEPENDS;PRIVATE" ${ARGN})
  set(dir ${PROJECT_SOURCE_DIR}/src/${folder})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")

  set(view ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${view})
  file(MAKE_DIRECTORY ${view}/${folder})
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${view}/${folder}/${name} SYMBOLIC)
  endforeach()

  if(sources)
    add_library(${target} STATIC ${sources} ${headers})
    target_include_directories(${target} PUBLIC ${view})
    target_link_libraries(${target} PUBLIC ${LAYER_DEPENDS} PRIVATE ${LAYER_PRIVATE})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${view})
    target_link_libraries(${target} INTERFACE ${LAYER_DEPENDS})
  endif()
endfunction()

# lumexa_layer_stack(PREFIX ROOT folder...): the folders of ROOT as layers named
# PREFIX_folder, each linking the one before it, the first linking the DEPENDS given.
function(lumexa_layer_stack prefix root)
  cmake_parse_arguments(STACK "" "" "FOLDERS;DEPENDS" ${ARGN})
  set(below ${STACK_DEPENDS})
  foreach(folder ${STACK_FOLDERS})
    lumexa_layer(${prefix}_${folder} ${root}/${folder} DEPENDS ${below})
    set(below ${prefix}_${folder})
  endforeach()
endfunction()
