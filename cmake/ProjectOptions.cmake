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
