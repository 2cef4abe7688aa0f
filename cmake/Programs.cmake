# A Windows program of ours: its sources compile once, into the object library <target>_objects (give it
# the program's own include folders and definitions), which links with the makers' public key into
# bin/<target>.exe. The end-to-end build links the same objects once more without the key, into
# bin/keyless/<target>.exe, for the tests of what a build without a key accepts.
function(stickwell_program target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBRARIES")
  add_library(${target}_objects OBJECT ${arg_SOURCES})
  target_link_libraries(${target}_objects PUBLIC ${arg_LIBRARIES})
  stickwell_warnings(${target}_objects)
  set(keys stickwell_update_key)
  if(STICKWELL_E2E)
    list(APPEND keys stickwell_update_key_none)
  endif()
  foreach(key ${keys})
    set(program ${target})
    if(key STREQUAL "stickwell_update_key_none")
      set(program ${target}_keyless)
    endif()
    add_executable(${program} WIN32)
    target_link_libraries(${program} PRIVATE ${target}_objects ${key})
    if(MINGW)
      target_link_options(${program} PRIVATE -municode)
    endif()
  endforeach()
  if(STICKWELL_E2E)
    set_target_properties(${target}_keyless PROPERTIES OUTPUT_NAME ${target}
                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/keyless)
  endif()
endfunction()
