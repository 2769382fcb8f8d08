# Lays the installed files out for the prefix given at install time (included by the install
# script with TARVONA_* set).
#
# Under /usr (a distribution package) the program is bin/tarvona, and each user's table lives in
# their own data folder; the login run's autostart entry goes to /etc/xdg/autostart. Under any
# other prefix (a per-user install) the program keeps its own folder lib/tarvona, where a user's
# files have always been, and bin/tarvona links to it.
#
# TARVONA_DATA_DIR, default <prefix>/share, lets a per-user install follow XDG_DATA_HOME;
# TARVONA_USER_UNIT_DIR, when set, is where a per-user install puts the systemd user units of
# the dated run (a package puts them under /usr/lib/systemd/user, and its maintainer scripts
# enable them for every user under /etc/systemd/user).

if(NOT TARVONA_DATA_DIR)
  set(TARVONA_DATA_DIR "${CMAKE_INSTALL_PREFIX}/share")
endif()
set(stage "${TARVONA_BUILD_DIR}/install-stage")
file(MAKE_DIRECTORY "${stage}")

if(CMAKE_INSTALL_PREFIX MATCHES "^/usr(/|$)")
  set(system TRUE)
  set(program "${CMAKE_INSTALL_PREFIX}/bin/tarvona")
else()
  set(system FALSE)
  set(program "${CMAKE_INSTALL_PREFIX}/lib/tarvona/Tarvona")
endif()

get_filename_component(programDir "${program}" DIRECTORY)
get_filename_component(programName "${program}" NAME)
file(INSTALL DESTINATION "${programDir}" TYPE PROGRAM RENAME "${programName}"
     FILES "${TARVONA_BINARY}")
# The window program, which Tarvona hands over to, and the shell module it opens at its first
# launch, in the program's private folder.
set(private "${CMAKE_INSTALL_PREFIX}/lib/tarvona")
file(INSTALL DESTINATION "${private}" TYPE PROGRAM FILES "${TARVONA_WINDOWS_BINARY}")
file(INSTALL DESTINATION "${private}" TYPE FILE FILES "${TARVONA_GIO_MODULE}")
if(CMAKE_INSTALL_DO_STRIP AND TARVONA_STRIP)
  foreach(file "${program}" "${private}/tarvona-windows" "${private}/tarvona-gio.so")
    execute_process(COMMAND "${TARVONA_STRIP}" "$ENV{DESTDIR}${file}" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endif()
if(NOT system)
  file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
  file(CREATE_LINK ../lib/tarvona/Tarvona "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/tarvona"
       SYMBOLIC)
  message(STATUS "Installing: $ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/tarvona -> ../lib/tarvona/Tarvona")
endif()

# freedesktop.org's desktop-entry quoting, for any path: an Exec argument goes in double quotes
# with " ` $ and \ escaped by a backslash; then, as for every string value, each backslash is
# doubled; and a literal % is written %%. TryExec is a plain string value.
string(REPLACE "\\" "\\\\" quoted "${program}")
string(REPLACE "\"" "\\\"" quoted "${quoted}")
string(REPLACE "`" "\\`" quoted "${quoted}")
string(REPLACE "$" "\\$" quoted "${quoted}")
string(REPLACE "\\" "\\\\" TARVONA_EXEC "\"${quoted}\"")
string(REPLACE "%" "%%" TARVONA_EXEC "${TARVONA_EXEC}")
string(REPLACE "\\" "\\\\" TARVONA_TRYEXEC "${program}")

# Made for this prefix; the installed copy is removed first, since an install of the same second
# for another prefix would count as up to date.
function(tarvona_install_entry template folder name)
  configure_file("${TARVONA_SOURCE_DIR}/packaging/${template}" "${stage}/${name}" @ONLY)
  file(REMOVE "$ENV{DESTDIR}${folder}/${name}")
  file(INSTALL DESTINATION "${folder}" TYPE FILE FILES "${stage}/${name}")
endfunction()
tarvona_install_entry(tarvona.desktop.in "${TARVONA_DATA_DIR}/applications"
                      "${TARVONA_APP_ID}.desktop")
if(system)
  tarvona_install_entry(tarvona-launch.desktop.in /etc/xdg/autostart
                        "${TARVONA_APP_ID}-launch.desktop")
endif()

file(INSTALL DESTINATION "${TARVONA_DATA_DIR}/metainfo" TYPE FILE
     FILES "${TARVONA_BUILD_DIR}/${TARVONA_APP_ID}.metainfo.xml")
file(INSTALL DESTINATION "${TARVONA_DATA_DIR}/icons/hicolor/scalable/apps" TYPE FILE
     RENAME "${TARVONA_APP_ID}.svg" FILES "${TARVONA_SOURCE_DIR}/resources/tarvona.svg")
foreach(size 16 32 48 64 128 256)
  file(INSTALL DESTINATION "${TARVONA_DATA_DIR}/icons/hicolor/${size}x${size}/apps" TYPE FILE
       RENAME "${TARVONA_APP_ID}.png" FILES "${TARVONA_SOURCE_DIR}/resources/icons/${size}.png")
endforeach()

# The dated run's units. systemd reads ExecStart's program in double quotes with C escapes, and
# takes % for a specifier and $ for a variable.
string(REPLACE "\\" "\\\\" unitPath "${program}")
string(REPLACE "\"" "\\\"" unitPath "${unitPath}")
string(REPLACE "%" "%%" unitPath "${unitPath}")
string(REPLACE "$" "$$" unitPath "${unitPath}")
set(TARVONA_SYSTEMD_EXEC "\"${unitPath}\"")
if(system)
  set(unitDir "${CMAKE_INSTALL_PREFIX}/lib/systemd/user")
else()
  set(unitDir "${TARVONA_USER_UNIT_DIR}")
endif()
if(unitDir)
  tarvona_install_entry(tarvona-dated.service.in "${unitDir}" tarvona-dated.service)
  file(INSTALL DESTINATION "${unitDir}" TYPE FILE
       FILES "${TARVONA_SOURCE_DIR}/packaging/tarvona-dated.timer")
endif()

# A package's copyright file and changelog are debhelper's to install (from debian/).
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/man/man1" TYPE FILE
     FILES "${TARVONA_BUILD_DIR}/tarvona.1")
if(NOT system)
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/doc/tarvona" TYPE FILE
       FILES "${TARVONA_SOURCE_DIR}/LICENSE")
endif()
