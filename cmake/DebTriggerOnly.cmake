# Run by cpack after it has made the packages (CPACK_POST_BUILD_SCRIPTS). The library package
# CPACK_ZQ_LIBRARY_PACKAGE declares the ldconfig trigger (packaging/triggers), which is how a
# Debian library package has the loader's cache updated; CPack also writes ldconfig calls into
# its postinst and postrm, which the trigger makes redundant. The package is rebuilt without them.
find_program(ZQ_DPKG_DEB dpkg-deb REQUIRED)
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name ${deb} NAME)
  if(NOT name MATCHES "^${CPACK_ZQ_LIBRARY_PACKAGE}_.*\\.deb$")
    continue()
  endif()
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND ${ZQ_DPKG_DEB} --raw-extract ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  file(READ ${tree}/DEBIAN/triggers triggers)
  if(NOT triggers MATCHES "activate-noawait ldconfig")
    message(FATAL_ERROR "${name} declares no ldconfig trigger: its ldconfig calls are kept")
  endif()
  file(REMOVE ${tree}/DEBIAN/postinst ${tree}/DEBIAN/postrm)
  execute_process(COMMAND ${ZQ_DPKG_DEB} --root-owner-group -Z${CPACK_DEBIAN_COMPRESSION_TYPE} --build ${tree} ${deb}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
