# Registering servers by loading them, the privilege tests and the missing-server messages:
# used by the uninstaller and by the settings program.
add_library(corvina_setup_shared STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CCurrentDirectoryRestorer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Privileges.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ServerLoading.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ServerMessages.cpp)
target_include_directories(corvina_setup_shared PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(corvina_setup_shared PUBLIC corvina_common corvina_core advapi32 user32)
