# A Debian package of what the install rules put in place: the tool, its command-line companion,
# the simulated sensor, the desktop entry and the icon; for Windows a ZIP of the tool and its
# command-line companion. `cpack` in a configured build folder writes it.
set(CPACK_PACKAGE_NAME kaldo-sensor-setting)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME kaldo-sensor-setting-${PROJECT_VERSION}-windows-x86_64)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  return()
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_CONTACT "Kaldo Sensor Setting team <team@kaldo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Set up pressure sensors over a USB serial adapter")
set(CPACK_PACKAGE_DESCRIPTION
"A desktop tool with which a technician reads the settings of a LoRaWAN
or NB-IoT pressure sensor attached to a USB serial adapter (115200 baud,
8N1), changes the reporting interval and the alarm thresholds and writes
them back. kaldo-sensor-cli does the same from scripts, on the same code,
and lists the serial ports with what each device is. The package also
holds kaldo-sensor-sim, a simulated sensor on a pseudo-terminal for
trying the tool without hardware.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries come from dpkg-shlibdeps where dpkg-dev is installed. What no library names is
# listed by hand: Qt's platform plugins (without them no window opens) and the font whose metrics
# the dialog layouts assume.
set(kaldo_depends "qt6-qpa-plugins, fonts-liberation2")
find_program(KALDO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KALDO_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(PREPEND kaldo_depends "libqt6widgets6, ")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${kaldo_depends}")

include(CPack)
