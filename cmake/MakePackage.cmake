# Lays out the distributable package and zips it; run by the build (cmake -P).
#
#   -DREADME_SOURCE=setup/Readme.txt.in   UTF-8, any line ends; @CORVINA_PRODUCT_VERSION@ filled in
#   -DCORVINA_PRODUCT_VERSION=2.03
#   -DDELIVERABLES=a.exe|b.dll|...        the five built programs and libraries
#   -DPACKAGE_DIR=.../package/Corvina     made afresh: nothing of an earlier layout survives
#   -DZIP=.../Corvina-2.03-x86_64.zip     the folder as the zip's top folder
#
# Readme.txt is written in code page 932 with CR LF line ends, as Notepad on a Japanese
# Windows 9x reads it. A text that code page 932 cannot hold fails the build.
cmake_minimum_required(VERSION 3.25)

# The installer examines and copies the files in this order; the zip lists them the same way.
set(package_files Readme.txt Corvset.exe Corvina.dll CorvinaBar.dll CorvinaPlus.exe Uninstall.exe)

foreach(var README_SOURCE CORVINA_PRODUCT_VERSION DELIVERABLES PACKAGE_DIR ZIP)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "MakePackage: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${PACKAGE_DIR}")
file(REMOVE "${ZIP}")
file(MAKE_DIRECTORY "${PACKAGE_DIR}")

string(REPLACE "|" ";" deliverables "${DELIVERABLES}")
foreach(path IN LISTS deliverables)
  get_filename_component(name "${path}" NAME)
  if(NOT name IN_LIST package_files OR name STREQUAL "Readme.txt")
    message(FATAL_ERROR "MakePackage: ${name} is not one of the package's programs")
  endif()
  file(COPY_FILE "${path}" "${PACKAGE_DIR}/${name}" ONLY_IF_DIFFERENT)
endforeach()

file(READ "${README_SOURCE}" text)
string(CONFIGURE "${text}" text @ONLY)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
get_filename_component(package_parent "${PACKAGE_DIR}" DIRECTORY)
set(readme_utf8 "${package_parent}/Readme.txt.utf8")
file(WRITE "${readme_utf8}" "${text}")
execute_process(COMMAND iconv -f UTF-8 -t CP932 -o "${PACKAGE_DIR}/Readme.txt" "${readme_utf8}"
  RESULT_VARIABLE iconv_result ERROR_VARIABLE iconv_error)
file(REMOVE "${readme_utf8}")
if(NOT iconv_result EQUAL 0)
  # No half-converted Readme.txt may be left for the next build to zip.
  file(REMOVE "${PACKAGE_DIR}/Readme.txt")
  message(FATAL_ERROR "MakePackage: ${README_SOURCE} does not convert to code page 932: ${iconv_error}")
endif()

set(members "")
foreach(name IN LISTS package_files)
  if(NOT EXISTS "${PACKAGE_DIR}/${name}")
    message(FATAL_ERROR "MakePackage: ${name} is missing from the package")
  endif()
  get_filename_component(top "${PACKAGE_DIR}" NAME)
  list(APPEND members "${top}/${name}")
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${ZIP}" --format=zip ${members}
  WORKING_DIRECTORY "${package_parent}" RESULT_VARIABLE zip_result)
if(NOT zip_result EQUAL 0)
  file(REMOVE "${ZIP}")
  message(FATAL_ERROR "MakePackage: could not write ${ZIP}")
endif()
