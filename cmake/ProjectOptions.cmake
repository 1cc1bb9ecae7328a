# Settings shared by every target of the project.

# Warnings, applied per target so that third-party code is left alone.
function(ostrivane_set_warnings target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion>)
endfunction()

# Code that runs inside the host's process: it never throws, so no unwinding can cross an export
# or a trampoline.
function(ostrivane_plugin_code target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
  set_target_properties(${target} PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  ostrivane_set_warnings(${target})
endfunction()

# Windows: a version resource for `target`, from the project's version, with `description`: what
# the file's Properties show.
function(ostrivane_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  set(VERSION_DESCRIPTION "${description}")
  set(VERSION_INTERNAL_NAME ${target})
  if(type STREQUAL "SHARED_LIBRARY")
    set(VERSION_FILE_NAME ${target}.dll)
    set(VERSION_FILE_TYPE VFT_DLL)
  else()
    set(VERSION_FILE_NAME ${target}.exe)
    set(VERSION_FILE_TYPE VFT_APP)
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/platform/win32_version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
endfunction()
