# Run by CPack after it has made the Debian package: takes out the postinst and postrm scripts
# that CPack writes to call ldconfig for the libraries in /usr/lib. The package's triggers
# file has dpkg refresh the loader's cache instead, once for all packages unpacked together,
# as Debian's own library packages do.

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  get_filename_component(folder ${package} DIRECTORY)
  set(tree ${folder}/without-ldconfig-calls)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb --raw-extract ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE ${tree}/DEBIAN/postinst ${tree}/DEBIAN/postrm)
  execute_process(COMMAND dpkg-deb --root-owner-group --build ${tree} ${package}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
