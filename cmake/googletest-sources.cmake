# GoogleTest for a cross build: Debian ships no MinGW build of it, so it is built here
# from the sources of the Debian package googletest (/usr/src/googletest).
set(KASLNK_GTEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${KASLNK_GTEST_SOURCES}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${KASLNK_GTEST_SOURCES} (Debian package googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Our warning options (and -Werror) are not for third-party code.
get_directory_property(_kaslnk_opts COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${KASLNK_GTEST_SOURCES} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${_kaslnk_opts}")
