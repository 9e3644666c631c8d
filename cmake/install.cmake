# Installation and the Debian packages (Linux only).
#
#   cmake --install build --prefix /usr      bin/, share/kaslnk/, share/doc/kaslnk/, share/man/man1/
#   scripts/package.sh                       kaslnk_<version>_<arch>.deb (and kaslnk-okno_... with the window)
#
# Component "kaslnk": the unattended program, the simulator, the files the operations need,
# the examples, the documentation and the manual pages; it needs only the C and C++ runtime.
# Component "okno": the window program with its desktop entry and icon; only that package
# pulls in Qt.
include(GNUInstallDirs)

set(KASLNK_DATADIR_REL ${CMAKE_INSTALL_DATADIR}/kaslnk)
set(KASLNK_DOCDIR_REL ${CMAKE_INSTALL_DATAROOTDIR}/doc/kaslnk)
# Where "kaslnk --init" looks when share/kaslnk is not beside the program's bin/ directory.
set_source_files_properties(${CMAKE_SOURCE_DIR}/core/instalace.cpp PROPERTIES
  COMPILE_DEFINITIONS KASLNK_DATADIR="${CMAKE_INSTALL_FULL_DATADIR}/kaslnk")

install(TARGETS kaslnk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT kaslnk)
if(TARGET kaslnk-sim)
  install(TARGETS kaslnk-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT kaslnk)
endif()

# The library for other programs: libkaslnk.so.N with its link name, the header, the
# pkg-config file (cc prog.c $(pkg-config --cflags --libs kaslnk)) and the C example.
install(TARGETS kaslnk_lib LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT kaslnk
        NAMELINK_COMPONENT kaslnk)
install(FILES include/kaslnk.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT kaslnk)
configure_file(packaging/kaslnk.pc.in ${CMAKE_BINARY_DIR}/kaslnk.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/kaslnk.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT kaslnk)
install(FILES examples/api/cti_plu.c DESTINATION ${KASLNK_DATADIR_REL}/examples/api COMPONENT kaslnk)

# What "kaslnk --init" copies into a program directory, and beside it the examples.
install(FILES examples/p_time.fds examples/glogo.fds examples/fdsu.cmx
        DESTINATION ${KASLNK_DATADIR_REL} COMPONENT kaslnk)
file(GLOB KASLNK_EXAMPLE_CMDS ${CMAKE_SOURCE_DIR}/examples/*.cmd)
install(FILES ${KASLNK_EXAMPLE_CMDS} examples/kaslnk.ini
        DESTINATION ${KASLNK_DATADIR_REL}/examples COMPONENT kaslnk)
install(DIRECTORY examples/register DESTINATION ${KASLNK_DATADIR_REL}/examples COMPONENT kaslnk)

file(GLOB KASLNK_DOCS ${CMAKE_SOURCE_DIR}/docs/*.md)
install(FILES README.md ${KASLNK_DOCS} packaging/copyright
        DESTINATION ${KASLNK_DOCDIR_REL} COMPONENT kaslnk)

# Manual pages and the package change log, compressed reproducibly (gzip -n: no name or
# time stamp inside).
set(KASLNK_GZ_DIR ${CMAKE_BINARY_DIR}/gz)
configure_file(packaging/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
set(KASLNK_GZ_FILES)
foreach(zdroj ${CMAKE_SOURCE_DIR}/docs/man/kaslnk.1 ${CMAKE_SOURCE_DIR}/docs/man/kaslnk-sim.1
              ${CMAKE_SOURCE_DIR}/docs/man/kaslnk-okno.1 ${CMAKE_BINARY_DIR}/changelog)
  get_filename_component(jmeno ${zdroj} NAME)
  add_custom_command(OUTPUT ${KASLNK_GZ_DIR}/${jmeno}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KASLNK_GZ_DIR}
    COMMAND gzip -9nc ${zdroj} > ${KASLNK_GZ_DIR}/${jmeno}.gz
    DEPENDS ${zdroj} VERBATIM)
  list(APPEND KASLNK_GZ_FILES ${KASLNK_GZ_DIR}/${jmeno}.gz)
endforeach()
add_custom_target(kaslnk_gz ALL DEPENDS ${KASLNK_GZ_FILES})
install(FILES ${KASLNK_GZ_DIR}/kaslnk.1.gz ${KASLNK_GZ_DIR}/kaslnk-sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT kaslnk)
install(FILES ${KASLNK_GZ_DIR}/changelog.gz DESTINATION ${KASLNK_DOCDIR_REL} COMPONENT kaslnk)
# fdsu.cmx is a command file of the program, not the OCaml object lintian takes it for.
install(FILES packaging/lintian/kaslnk
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides COMPONENT kaslnk)

set(KASLNK_KOMPONENTY kaslnk)
if(TARGET kaslnk-okno)
  install(TARGETS kaslnk-okno RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT okno)
  install(FILES ${KASLNK_GZ_DIR}/kaslnk-okno.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT okno)
  install(FILES packaging/kaslnk-okno.desktop
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications COMPONENT okno)
  install(FILES packaging/kaslnk-okno.svg
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps COMPONENT okno)
  install(FILES packaging/copyright
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kaslnk-okno COMPONENT okno)
  install(FILES ${KASLNK_GZ_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kaslnk-okno COMPONENT okno)
  list(APPEND KASLNK_KOMPONENTY okno)
endif()
# Component "python": the module kaslnk (python/CMakeLists.txt installs it) as the package
# python3-kaslnk, for the Python version it was built for; the program needs no Python.
if(TARGET kaslnk_py)
  install(FILES packaging/copyright ${KASLNK_GZ_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/python3-kaslnk COMPONENT python)
  list(APPEND KASLNK_KOMPONENTY python)
endif()

# Debian packages, one per component.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kaslnk)
set(CPACK_PACKAGE_VENDOR "kaslnk")
set(CPACK_PACKAGE_CONTACT "Seed 66fc4597 maintainers <maintainers@users.noreply.c-seed-66fc4597.example>")
# Each package's description starts with its own summary line (no common summary is set,
# which CPack would put in front of both).
set(CPACK_DEBIAN_KASLNK_DESCRIPTION "data exchange with an ER-A227E cash register
kaslnk reads and writes the files and tables of an ER-A227E electronic cash
register over RS-232, directly or through a Hayes modem. Another program
starts it with a command file. It converts the register's records to
comma-separated text and back, and reports through a log, result files and
its exit code. The package also holds the register simulator kaslnk-sim
and the engine as a library for other programs (libkaslnk, kaslnk.h).")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${KASLNK_KOMPONENTY})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libkaslnk.so.N: its shlibs file and the ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_KASLNK_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_KASLNK_PACKAGE_NAME kaslnk)
if(TARGET kaslnk-okno)
  set(CPACK_DEBIAN_KASLNK_PACKAGE_SUGGESTS kaslnk-okno)
  set(CPACK_DEBIAN_OKNO_PACKAGE_NAME kaslnk-okno)
  set(CPACK_DEBIAN_OKNO_PACKAGE_SECTION utils)
  set(CPACK_COMPONENT_OKNO_DEPENDS kaslnk)  # Depends: kaslnk (= version)
  # Qt's own dialogs (files, fonts, colours, printing) in Czech: qtbase_cs.qm.
  set(CPACK_DEBIAN_OKNO_PACKAGE_DEPENDS qt6-translations-l10n)
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
  set(CPACK_DEBIAN_OKNO_DESCRIPTION "main window of kaslnk (Qt)
The window program of kaslnk: edit and run command files, follow the
transfer on a terminal screen, change the port and speed of command files.")
endif()
if(TARGET kaslnk_py)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-kaslnk)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  set(CPACK_COMPONENT_PYTHON_DEPENDS kaslnk)  # Depends: kaslnk (= version), libkaslnk.so.N
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "${KASLNK_PYTHON_DEPENDS}")
  # dpkg-shlibdeps finds the module's libkaslnk.so.N in the build directory.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
  set(CPACK_DEBIAN_PYTHON_DESCRIPTION "Python 3 module of kaslnk
The module kaslnk runs kaslnk's command files against an ER-A227E cash
register from Python: sessions in program directories, per-session ports,
progress and message callbacks, cancel from another thread; transfers run
without the interpreter lock, so sessions run in threads at once.")
endif()
include(CPack)
