# The Debian package, built by scripts/package.sh with `cpack -G DEB`: the
# three programs, the desktop entry and icons (resources/), a man page for
# each program, Depends computed from the binaries by dpkg-shlibdeps.
option(STELMAP_MAN_PAGES "Generate the programs' man pages with help2man (for the package)" OFF)

if(STELMAP_MAN_PAGES)
  # Only packaging looks for help2man; the start path never needs it.
  find_program(STELMAP_HELP2MAN help2man REQUIRED)
  find_program(STELMAP_GZIP gzip REQUIRED)
  set(stelmap_summary "monitor a GNSS receiver that speaks NMEA 0183")
  set(stelmap-cli_summary "decode NMEA 0183 recordings and compute position statistics")
  set(stelmap-sim_summary "simulate a GNSS receiver that speaks NMEA 0183")
  set(pages)
  foreach(program stelmap stelmap-cli stelmap-sim)
    set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
    # No display is needed: every program answers --help without one. A
    # program with subcommands gets each one's --help too.
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${PROJECT_SOURCE_DIR}/cmake/man_commands.sh $<TARGET_FILE:${program}> ${page}.commands
      COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
              ${STELMAP_HELP2MAN} --no-info --no-discard-stderr
              --version-string=${PROJECT_VERSION}
              "--name=${${program}_summary}" --include=${page}.commands
              --output=${page} $<TARGET_FILE:${program}>
      COMMAND ${STELMAP_GZIP} -9nf ${page}
      DEPENDS ${program} ${PROJECT_SOURCE_DIR}/cmake/man_commands.sh
      COMMENT "Man page of ${program}"
      VERBATIM)
    list(APPEND pages ${page}.gz)
  endforeach()
  add_custom_target(stelmap_man_pages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION share/man/man1)
endif()

set(CPACK_PACKAGE_NAME stelmap)
set(CPACK_PACKAGE_VENDOR Helmarc)
set(CPACK_PACKAGE_CONTACT "Stelmap developers <stelmap@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Monitor for GNSS receivers that speak NMEA 0183")
set(CPACK_PACKAGE_DESCRIPTION "Stelmap shows what a GNSS receiver on a serial line reports: live
position, DOPs, signal bars and sky plot, a scatter plot of the fixes,
position and integrity over time, the raw traffic in both directions and
the receiver's configuration commands. Sessions can be recorded and played
back. stelmap-cli decodes recordings without a window; stelmap-sim is a
receiver simulator on a pseudo-terminal.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The pages' look relies on Tahoma (fonts-wine) and the metric twins of
# Arial and Courier New; without them Qt falls back to other faces.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine, fonts-liberation")
include(CPack)
