# The Windows installer (CPack's NSIS generator; Debian's nsis builds it on Linux).
#
#   cpack --config build-win64/CPackConfig.cmake    kaslnk-<version>-win64-setup.exe
#   cpack --config build-win32/CPackConfig.cmake    kaslnk-<version>-win32-setup.exe
#
# It installs bin\kaslnk.exe and bin\kaslnk.dll (lib\libkaslnk.dll.a, include\kaslnk.h),
# share\kaslnk\ (the files "kaslnk --init" copies into a
# program directory, and the example command files), the documentation in doc\, a
# Start-menu entry for the window, and an uninstaller registered with the system
# (Add/Remove programs). Silent: setup.exe /S /D=C:\Folder, Uninstall.exe /S.
# "kaslnk --init" finds share\kaslnk beside the program's bin\ folder.

install(TARGETS kaslnk RUNTIME DESTINATION bin)
# The library for other programs: kaslnk.dll beside the program, its import library
# (MinGW), the header and the C example.
install(TARGETS kaslnk_lib RUNTIME DESTINATION bin ARCHIVE DESTINATION lib)
install(FILES include/kaslnk.h DESTINATION include)
install(FILES examples/api/cti_plu.c DESTINATION share/kaslnk/examples/api)
install(FILES examples/p_time.fds examples/glogo.fds examples/fdsu.cmx DESTINATION share/kaslnk)
file(GLOB KASLNK_EXAMPLE_CMDS ${CMAKE_SOURCE_DIR}/examples/*.cmd)
install(FILES ${KASLNK_EXAMPLE_CMDS} examples/kaslnk.ini DESTINATION share/kaslnk/examples)
install(FILES README.md docs/windows.md packaging/copyright DESTINATION doc)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KASLNK_WINDOWS_ARCH win64)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
else()
  set(KASLNK_WINDOWS_ARCH win32)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
endif()
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME kaslnk)
set(CPACK_PACKAGE_VENDOR kaslnk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Data exchange with an ER-A227E cash register")
set(CPACK_PACKAGE_FILE_NAME kaslnk-${PROJECT_VERSION}-${KASLNK_WINDOWS_ARCH}-setup)
set(CPACK_PACKAGE_INSTALL_DIRECTORY kaslnk)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY kaslnk)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/packaging/copyright)
set(CPACK_STRIP_FILES ON)
# The Start-menu entry: kaslnk.exe without a command file opens its window.
set(CPACK_PACKAGE_EXECUTABLES kaslnk kaslnk)
set(CPACK_NSIS_DISPLAY_NAME kaslnk)
set(CPACK_NSIS_PACKAGE_NAME kaslnk)
set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/ui/win32/kaslnk.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_SOURCE_DIR}/ui/win32/kaslnk.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\kaslnk.exe)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# cpack installs what is built (scripts/windows.sh and scripts/package.sh build it first)
# instead of building everything, the unit tests too.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
