# The same sources make the same bytes, wherever and whenever they are built.
#
# No path of the build machine gets into what is built: the compiler records
# the sources' and the build's own paths relative to them, in __FILE__, debug
# information and link-time objects alike. (The last map given wins, so the
# build folder's, which may lie inside the sources, comes last.)
add_compile_options(
  -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
  -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)

# On Windows the linker would stamp the time of the link into the program's
# header, and the checksum it computes over the bytes would follow it.
if(WIN32)
  add_link_options(-Wl,--no-insert-timestamp)
endif()

# The time the downloads' files carry (zip entries, the installer's files):
# SOURCE_DATE_EPOCH when the build is given one (scripts/release.sh takes the
# last commit's), else the last commit's time, else the start of 1980, the
# earliest time a zip entry can hold.
set(PELLUX_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(PELLUX_SOURCE_DATE_EPOCH STREQUAL "")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE PELLUX_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE git_result ERROR_QUIET)
    if(NOT git_result EQUAL 0)
      set(PELLUX_SOURCE_DATE_EPOCH "")
    endif()
  endif()
endif()
if(NOT PELLUX_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  set(PELLUX_SOURCE_DATE_EPOCH 315532800)
endif()
