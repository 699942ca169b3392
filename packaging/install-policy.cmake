# Run by `cmake --install`: writes the polkit action with the installed program's path, under
# the prefix the install is made to (pkexec matches the action by that path).
# Set before: PALVIR_POLICY_TEMPLATE, PALVIR_PROGRAM_SUBPATH, PALVIR_POLKIT_SUBDIR.
if(IS_ABSOLUTE "${PALVIR_POLKIT_SUBDIR}")
  set(actions_dir "${PALVIR_POLKIT_SUBDIR}")
else()
  set(actions_dir "${CMAKE_INSTALL_PREFIX}/${PALVIR_POLKIT_SUBDIR}")
endif()
set(PALVIR_PROGRAM_PATH "${CMAKE_INSTALL_PREFIX}/${PALVIR_PROGRAM_SUBPATH}")
configure_file("${PALVIR_POLICY_TEMPLATE}" "$ENV{DESTDIR}${actions_dir}/invalid.varnel.palvir.policy" @ONLY)
message(STATUS "Installing: $ENV{DESTDIR}${actions_dir}/invalid.varnel.palvir.policy")

# The program's command in the search path: a link to where the program lives beside its
# translators folder (it finds them from its own folder, through the link's target).
set(link "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/palvir")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
file(CREATE_LINK "../${PALVIR_PROGRAM_SUBPATH}" "${link}" SYMBOLIC)
message(STATUS "Installing: ${link} -> ../${PALVIR_PROGRAM_SUBPATH}")
