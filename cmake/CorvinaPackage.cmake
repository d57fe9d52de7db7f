# The distributable package of a Windows build: package/Corvina/ with the six files a user
# unpacks and installs from, and Corvina-<version>-<processor>.zip of that folder. Part of the
# default build, remade whenever a deliverable or the Readme source changes.

# "2.03" from the project's 2.3.0.34: the product version the version resources carry.
if(PROJECT_VERSION_MINOR LESS 10)
  set(CORVINA_PRODUCT_VERSION "${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}")
else()
  set(CORVINA_PRODUCT_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
endif()
if(NOT CMAKE_SYSTEM_PROCESSOR MATCHES "^(i686|x86_64)$")
  message(FATAL_ERROR "The package is named after i686 or x86_64, not '${CMAKE_SYSTEM_PROCESSOR}'")
endif()

set(CORVINA_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package/Corvina)
set(CORVINA_PACKAGE_ZIP
  ${CMAKE_BINARY_DIR}/Corvina-${CORVINA_PRODUCT_VERSION}-${CMAKE_SYSTEM_PROCESSOR}.zip)
set(corvina_package_targets Corvset Corvina CorvinaBar CorvinaPlus Uninstall)
set(corvina_package_script ${CMAKE_SOURCE_DIR}/cmake/MakePackage.cmake)
set(corvina_readme_source ${CMAKE_SOURCE_DIR}/setup/Readme.txt.in)

set(corvina_deliverables "")
foreach(target IN LISTS corvina_package_targets)
  list(APPEND corvina_deliverables "$<TARGET_FILE:${target}>")
endforeach()
# The script's list separator: a ';' would split the argument.
string(JOIN "|" corvina_deliverables ${corvina_deliverables})

set(corvina_package_outputs ${CORVINA_PACKAGE_ZIP})
foreach(name Readme.txt Corvset.exe Corvina.dll CorvinaBar.dll CorvinaPlus.exe Uninstall.exe)
  list(APPEND corvina_package_outputs ${CORVINA_PACKAGE_DIR}/${name})
endforeach()

add_custom_command(
  OUTPUT ${corvina_package_outputs}
  COMMAND ${CMAKE_COMMAND}
    -DREADME_SOURCE=${corvina_readme_source}
    -DCORVINA_PRODUCT_VERSION=${CORVINA_PRODUCT_VERSION}
    -DDELIVERABLES=${corvina_deliverables}
    -DPACKAGE_DIR=${CORVINA_PACKAGE_DIR}
    -DZIP=${CORVINA_PACKAGE_ZIP}
    -P ${corvina_package_script}
  # Target names: the package is remade after any of them is linked again.
  DEPENDS ${corvina_package_targets} ${corvina_readme_source} ${corvina_package_script}
  COMMENT "Packaging Corvina-${CORVINA_PRODUCT_VERSION}-${CMAKE_SYSTEM_PROCESSOR}.zip"
  VERBATIM)
add_custom_target(corvina_package ALL DEPENDS ${corvina_package_outputs})

# The package built here, checked as the user gets it; the same test checks the packaging
# script on stand-ins first.
add_test(NAME package.layout
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/package-layout.sh --required ${CMAKE_BINARY_DIR})
