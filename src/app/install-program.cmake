# Install-time part of the program's installation, run by `cmake --install` after the binary and
# the icons are in place: the launcher and the desktop file. Expects VELBOR_PROGRAM_DIR,
# VELBOR_BIN_DIR, VELBOR_APPLICATIONS_DIR (relative to the install prefix), VELBOR_DESKTOP_FILE
# (its name) and VELBOR_DESKTOP_TEMPLATE.
#
# The prefix is read here, at install time, so that `cmake --install --prefix DIR` puts the right
# paths into the desktop file; DESTDIR is honoured for staged installs.

set(prefix "${CMAKE_INSTALL_PREFIX}")
set(staged "$ENV{DESTDIR}${prefix}")
set(program "${prefix}/${VELBOR_PROGRAM_DIR}/velbor")

# The launcher in the bin folder: a relative symbolic link to the program, which still finds its
# own folder (and Velbor.dat) through the link.
set(launcher "${staged}/${VELBOR_BIN_DIR}/velbor")
file(RELATIVE_PATH target "${prefix}/${VELBOR_BIN_DIR}" "${program}")
message(STATUS "Installing: ${launcher} -> ${target}")
file(MAKE_DIRECTORY "${staged}/${VELBOR_BIN_DIR}")
file(REMOVE "${launcher}")
file(CREATE_LINK "${target}" "${launcher}" SYMBOLIC)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${launcher}")

# The desktop file starts the program by its full path, so the menu entry works whether or not
# the bin folder is on the desktop session's PATH. A path with characters that the Exec key
# reserves is quoted, with the escapes that the desktop entry format asks for inside quotes.
if(program MATCHES "[\n\r]")
    message(FATAL_ERROR "The install prefix must not contain a line break: ${prefix}")
endif()
set(exec "${program}")
string(REPLACE "%" "%%" exec "${exec}")
if(exec MATCHES "[] \t\"'\\\\><~|&;$*?#()`[]")
    string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
    string(REPLACE "\"" "\\\\\"" exec "${exec}")
    string(REPLACE "`" "\\\\`" exec "${exec}")
    string(REPLACE "$" "\\\\$" exec "${exec}")
    set(exec "\"${exec}\"")
endif()
set(VELBOR_DESKTOP_EXEC "${exec}")
set(desktop "${staged}/${VELBOR_APPLICATIONS_DIR}/${VELBOR_DESKTOP_FILE}")
message(STATUS "Installing: ${desktop}")
configure_file("${VELBOR_DESKTOP_TEMPLATE}" "${desktop}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${desktop}")
