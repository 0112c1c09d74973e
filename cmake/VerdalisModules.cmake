# Each library publishes only the headers of its own source folder, so a file can include a
# header only if its target links the library that owns it: the layers are enforced by the build.
#
# verdalis_publish_headers(TARGET FOLDER...): users of TARGET include the headers directly in
# src/FOLDER as "FOLDER/name.h". The headers are reached through links in a folder of the build
# tree that holds nothing else.
function(verdalis_publish_headers target)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})
  foreach(folder IN LISTS ARGN)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.h)
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(header IN LISTS headers)
      get_filename_component(name ${header} NAME)
      file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
    endforeach()
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
