# Fails unless every Windows library and program named below imports from the system's DLLs
# alone (the kernel, the C runtime: msvcrt.dll or the UCRT, and the like), so that it loads on
# a Windows machine with nothing else installed: no DLL of the compiler's runtimes
# (libgcc_s_*, libstdc++-6, libgfortran-5, libquadmath-0, libwinpthread-1).
# Checked: the DLLs and programs under each folder of FOLDERS, and the DLL that each
# MinGW-w64 command shown in the pages under DOCS writes, run from ROOT as it stands there.
# The pages' DLLs are kept in OUTPUT, one file per command. EXCEPT names the files that a test
# makes to import a DLL that is missing.
# Usage: cmake -DFOLDERS=a;b -DEXCEPT=x.dll -DROOT=... -DDOCS=docs -DOUTPUT=... -P imports_only_system.cmake
cmake_minimum_required(VERSION 3.25)
set(system_dlls "^(KERNEL32|kernel32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+|USER32|ADVAPI32|ntdll|SHELL32|ole32|OLEAUT32)\\.dll$")

set(files)
foreach(folder IN LISTS FOLDERS)
  file(GLOB found ${folder}/*.dll ${folder}/*.exe)
  foreach(file IN LISTS found)
    get_filename_component(name ${file} NAME)
    if(NOT name IN_LIST EXCEPT)
      list(APPEND files ${file})
    endif()
  endforeach()
endforeach()

file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${OUTPUT})

# The commands of the pages: a line of a page that starts with a MinGW-w64 compiler and writes
# a .dll.
file(GLOB_RECURSE pages ${ROOT}/${DOCS}/*.md)
set(commands 0)
foreach(page IN LISTS pages)
  file(STRINGS ${page} lines REGEX "^(i686|x86_64)-w64-mingw32-[a-z+]+ .*-o [^ ]+\\.dll")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "-o ([^ ]+\\.dll)" ignored "${line}")
    set(output ${CMAKE_MATCH_1})
    get_filename_component(folder ${output} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(REMOVE ${output})
    execute_process(COMMAND bash -c "${line}" WORKING_DIRECTORY ${ROOT} RESULT_VARIABLE status
                    OUTPUT_VARIABLE words ERROR_VARIABLE words)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${page} shows a command that fails:\n${line}\n${words}")
    endif()
    # Kept under a name of its own, since several commands write the same file.
    math(EXPR commands "${commands} + 1")
    file(COPY_FILE ${output} ${OUTPUT}/command-${commands}.dll)
    list(APPEND files ${OUTPUT}/command-${commands}.dll)
    set(shown_${commands} "${line}")
  endforeach()
endforeach()

list(LENGTH files count)
if(count LESS 8 OR commands LESS 3)
  message(FATAL_ERROR "Only ${count} Windows files found (${commands} from the pages' commands): ${files}")
endif()

set(problems "")
foreach(file IN LISTS files)
  # Each machine's objdump reads its own files.
  foreach(objdump x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump)
    execute_process(COMMAND ${objdump} -p ${file} RESULT_VARIABLE status OUTPUT_VARIABLE table ERROR_VARIABLE words)
    if(status EQUAL 0)
      break()
    endif()
  endforeach()
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump cannot read ${file}:\n${words}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${table}")
  if(NOT imports)
    string(APPEND problems "${file} imports nothing at all, which no Windows library does\n")
  endif()
  foreach(import IN LISTS imports)
    string(REPLACE "DLL Name: " "" dll "${import}")
    if(NOT dll MATCHES "${system_dlls}")
      string(REGEX MATCH "command-([0-9]+)\\.dll$" from_page "${file}")
      if(from_page)
        string(APPEND problems "the pages' command `${shown_${CMAKE_MATCH_1}}` makes a DLL that imports ${dll}\n")
      else()
        string(APPEND problems "${file} imports ${dll}\n")
      endif()
    endif()
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "These need DLLs that a clean Windows does not have:\n${problems}")
endif()
message("${count} Windows files import the system's DLLs alone")
