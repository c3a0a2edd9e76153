# The distribution's hardening flags for the native build, as Debian builds its
# own packages (dpkg-buildflags with every hardening feature): the stack
# protector, _FORTIFY_SOURCE, format string checks, and relro with BIND_NOW.
# The build type keeps its own optimisation and debug information (the -g -O2 of
# the distribution's defaults are stripped), and file paths stay as they are, so
# that builds in different folders share the compiler cache. The flags apply to
# optimised builds only: _FORTIFY_SOURCE needs the optimiser.
option(DORVANTA_HARDENING "Build natively with the hardening flags of dpkg-buildflags" ON)
if(DORVANTA_HARDENING AND NOT WIN32)
  find_program(DORVANTA_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  set(DORVANTA_OPTIMISED "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  foreach(kind IN ITEMS CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND "${CMAKE_COMMAND}" -E env
              "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-fixfilepath,-fixdebugpath"
              "DEB_CXXFLAGS_MAINT_STRIP=-g -O2" "${DORVANTA_DPKG_BUILDFLAGS}" --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    if(kind STREQUAL "LDFLAGS")
      add_link_options("$<${DORVANTA_OPTIMISED}:${flags}>")
    else()
      add_compile_options("$<${DORVANTA_OPTIMISED}:${flags}>")
    endif()
    message(STATUS "dpkg-buildflags ${kind}: ${flags}")
  endforeach()
endif()
