# What an installed tree and the Debian package must hold, and how the checks collect failures.
# Included by installed_tree.cmake and installed_package.cmake, which take the install folders
# (-DBINDIR -DLIBDIR -DHEADERDIR -DDATADIR -DMANDIR -DDOCDIR) and the source tree (-DSOURCE).

set(programs Korvik Vandrel Tolvan)
# Commands installed beside the programs, with their search path and manual page but no
# desktop entry.
set(commands routine-check)
set(libraries libMorvane.so libOstrum.so libPettrix.so)
# Each library as a versioned file, with the link named by its SONAME and the plain name.
set(library_version 1.00)
set(library_soversion 1)
set(headers morvane.h ostrum.h pettrix.h routine_abi.h)
# The Fortran twin of routine_abi.h, as source beside the headers.
set(fortran_sources routine_abi.f90)

set(failures "")
macro(fail text)
  string(APPEND failures "\n  ${text}")
endmacro()

# Every file and link an install holds, relative to its prefix, sorted, into `result`.
function(list_expected_files result)
  set(files "")
  foreach(program IN LISTS programs)
    string(TOLOWER ${program} name)
    list(APPEND files ${BINDIR}/${program}
                      ${DATADIR}/applications/${name}.desktop
                      ${DATADIR}/icons/hicolor/scalable/apps/${name}.svg
                      ${MANDIR}/man1/${program}.1.gz)
  endforeach()
  foreach(command IN LISTS commands)
    list(APPEND files ${BINDIR}/${command} ${MANDIR}/man1/${command}.1.gz)
  endforeach()
  foreach(library IN LISTS libraries)
    list(APPEND files ${LIBDIR}/${library} ${LIBDIR}/${library}.${library_soversion}
                      ${LIBDIR}/${library}.${library_version})
  endforeach()
  foreach(header IN LISTS headers fortran_sources)
    list(APPEND files ${HEADERDIR}/${header})
  endforeach()
  file(GLOB pages RELATIVE ${SOURCE}/docs/passing ${SOURCE}/docs/passing/*.md ${SOURCE}/docs/passing/pictures/*.svg)
  foreach(page IN LISTS pages)
    list(APPEND files ${DOCDIR}/passing/${page})
  endforeach()
  list(APPEND files ${DOCDIR}/copyright ${DOCDIR}/changelog.gz
                    ${DATADIR}/pkgconfig/routine-crossings.pc
                    ${DATADIR}/metainfo/invalid.routine_crossings.RoutineCrossings.metainfo.xml
                    ${DATADIR}/lintian/overrides/routine-crossings)
  list(SORT files)
  set(${result} ${files} PARENT_SCOPE)
endfunction()

# Fails with the files missing from `found` and those it holds beyond the expected ones.
function(expect_exactly what found)
  list_expected_files(expected)
  set(missing ${expected})
  if(found)
    list(REMOVE_ITEM missing ${found})
  endif()
  set(extra ${found})
  list(REMOVE_ITEM extra ${expected})
  if(missing)
    string(REPLACE ";" "\n    " missing "${missing}")
    set(failures "${failures}\n  ${what} lacks:\n    ${missing}")
  endif()
  if(extra)
    string(REPLACE ";" "\n    " extra "${extra}")
    set(failures "${failures}\n  ${what} holds beyond what it should:\n    ${extra}")
  endif()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()
