# Compiler settings shared by every target of the project (not by the
# third-party code it builds).
function(pellux_target_options target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
    -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Werror
    # Design tables name only the fields that differ from the defaults.
    -Wno-missing-field-initializers)
  if(WIN32)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
      _WIN32_WINNT=0x0601 WINVER=0x0601)
  endif()
endfunction()

# Link-time optimisation for what ships (and for what it is measured
# against), where the toolchain offers it.
function(pellux_link_time_optimisation target)
  if(PELLUX_IPO)
    set_property(TARGET ${target} PROPERTY INTERPROCEDURAL_OPTIMIZATION_MINSIZEREL ON)
    set_property(TARGET ${target} PROPERTY INTERPROCEDURAL_OPTIMIZATION_RELEASE ON)
  endif()
endfunction()
