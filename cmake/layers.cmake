# kaldo_layer_headers(<target> <folder>): the code of <target>, and of every target that links
# it, includes the folder's headers as "<folder>/name.h".
#
# Each folder is seen through a link of its own under build/layers/<target>, never through the
# source root, so a header resolves only for code that links the target it belongs to: a layer
# that includes a header of a layer above it (which it does not link) fails to compile.
function(kaldo_layer_headers target folder)
  set(root ${PROJECT_BINARY_DIR}/layers/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL INTERFACE_LIBRARY)
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# kaldo_system_headers(<target> <folder> <subfolder>): the headers of <folder>/<subfolder> are
# included as "<folder>/name.h" too, after the folder's own. A layer keeps what both systems share
# in <folder> and each system's part in a subfolder, and code above includes either by one name.
function(kaldo_system_headers target folder subfolder)
  set(root ${PROJECT_BINARY_DIR}/layers/${target}-${subfolder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder}/${subfolder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()
