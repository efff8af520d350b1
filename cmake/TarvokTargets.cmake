# Compiler settings shared by every target of the project.

if(TARVOK_FUZZ)
  # Every library the fuzz targets link is instrumented for coverage; the targets add the driver.
  set(TARVOK_SANITIZER_FLAGS -fsanitize=address,undefined,fuzzer-no-link
                             -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(TARVOK_SANITIZE)
  set(TARVOK_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(TARVOK_TSAN)
  set(TARVOK_SANITIZER_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
endif()

# Warnings as errors apply to the project's own code only, never to Qt or GoogleTest headers,
# which are included as system headers by their imported targets.
function(tarvok_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion -Werror ${TARVOK_SANITIZER_FLAGS})
  target_link_options(${target} PRIVATE ${TARVOK_SANITIZER_FLAGS})
endfunction()

# The station core must stay testable without a display, a sound server or device files.
function(tarvok_check_core_dependencies target)
  get_target_property(libs ${target} LINK_LIBRARIES)
  foreach(lib IN LISTS libs)
    if(NOT lib STREQUAL "Qt6::Core")
      message(FATAL_ERROR "${target} may link Qt6::Core only, not ${lib}")
    endif()
  endforeach()
endfunction()
