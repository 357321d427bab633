# Writes the desktop entry at install time, straight to its place below DESTDIR, and lists it in
# the install manifest as CMake lists the files it installs itself: by its path under the prefix,
# without DESTDIR. Exec starts the command by its full path under the prefix, written as the
# freedesktop.org rules for desktop entries ask: a path that holds a reserved character (a space, a quote, a
# dollar sign...) is quoted whole, with ", `, $ and \ escaped by a backslash; a % is doubled, as
# in any Exec; and then, as in any string of a key file, backslashes are doubled and a newline,
# tab or carriage return is escaped. GLib looks for the program that Exec's first word names as
# the word is written, with its % still doubled, and refuses an entry whose program it does not
# find: a command whose path holds a % is started by the shell (sh -c 'exec "$0"' <command>),
# which GLib finds on the PATH.
#
# Set by the install code that includes it:
#   QUILLON_ENTRY_TEMPLATE  the entry, with @QUILLON_COMMAND@ for Exec's value
#   QUILLON_ENTRY           the entry's path under the prefix
#   QUILLON_PROGRAM         the command's path under the prefix
set(QUILLON_COMMAND "${QUILLON_PROGRAM}")
string(REPLACE "%" "%%" QUILLON_COMMAND "${QUILLON_COMMAND}")
if(QUILLON_COMMAND MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
  string(REPLACE "\\" "\\\\" QUILLON_COMMAND "${QUILLON_COMMAND}")
  string(REPLACE "\"" "\\\"" QUILLON_COMMAND "${QUILLON_COMMAND}")
  string(REPLACE "`" "\\`" QUILLON_COMMAND "${QUILLON_COMMAND}")
  string(REPLACE "$" "\\$" QUILLON_COMMAND "${QUILLON_COMMAND}")
  set(QUILLON_COMMAND "\"${QUILLON_COMMAND}\"")
endif()
if(QUILLON_PROGRAM MATCHES "%")
  set(QUILLON_COMMAND "sh -c \"exec \\\"\\$0\\\"\" ${QUILLON_COMMAND}")
endif()
string(REPLACE "\\" "\\\\" QUILLON_COMMAND "${QUILLON_COMMAND}")
string(REPLACE "\n" "\\n" QUILLON_COMMAND "${QUILLON_COMMAND}")
string(REPLACE "\t" "\\t" QUILLON_COMMAND "${QUILLON_COMMAND}")
string(REPLACE "\r" "\\r" QUILLON_COMMAND "${QUILLON_COMMAND}")

set(QUILLON_INSTALLED_ENTRY "$ENV{DESTDIR}${QUILLON_ENTRY}")
message(STATUS "Installing: ${QUILLON_INSTALLED_ENTRY}")
configure_file("${QUILLON_ENTRY_TEMPLATE}" "${QUILLON_INSTALLED_ENTRY}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${QUILLON_ENTRY}")
