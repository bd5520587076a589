# Shared build settings for every target of the project.

if(WIN32)
  # Static runtime: the program folder must run on a bare Windows.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    # The shipped program folder.
    set(STAVLO_DIST_DIR "${CMAKE_SOURCE_DIR}/dist/stavlo" CACHE PATH "program folder")
  else()
    # A 64-bit twin of the program folder, for Wine hosts without 32-bit support.
    set(STAVLO_DIST_DIR "${CMAKE_BINARY_DIR}/dist/stavlo" CACHE PATH "program folder")
  endif()
  file(MAKE_DIRECTORY "${STAVLO_DIST_DIR}/Data")
endif()

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
endif()

# Copies a built program or library into the program folder after each build.
function(stavlo_to_dist target)
  if(WIN32)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory "${STAVLO_DIST_DIR}/Data"
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:${target}>" "${STAVLO_DIST_DIR}/"
      VERBATIM)
  endif()
endfunction()
