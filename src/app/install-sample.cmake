# Install-time step of `cmake --install` into a writable prefix: the sample catalogue beside the
# program. Expects VELBOR_PROGRAM_DIR (relative to the install prefix) and VELBOR_SAMPLE_DATA. The
# Debian package leaves this component out: there each user's catalogue is in their home.

set(staged "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

# The catalogue lives beside the program. The sample goes there only when there is none yet: a
# reinstall or an upgrade must never replace the user's catalogue. It is left out of the install
# manifest on purpose, so that removing the installed files does not remove the catalogue.
set(data "${staged}/${VELBOR_PROGRAM_DIR}/Velbor.dat")
if(EXISTS "${data}" OR IS_SYMLINK "${data}")
    message(STATUS "Keeping: ${data}")
else()
    message(STATUS "Installing: ${data} (the sample catalogue)")
    file(COPY_FILE "${VELBOR_SAMPLE_DATA}" "${data}")
    file(CHMOD "${data}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endif()
