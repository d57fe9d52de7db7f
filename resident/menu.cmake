# The menu host is shared with the toolbar band; the list's own menu is the resident
# program's alone.
target_sources(corvina_resident_shared PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ShellMenuHost.cpp)
target_link_libraries(corvina_resident_shared PUBLIC corvina_core shell32 ole32 uuid)

add_library(corvina_resident_menu STATIC ${CMAKE_CURRENT_LIST_DIR}/CorvinaPlusMenu.cpp)
target_link_libraries(corvina_resident_menu PUBLIC corvina_resident_shared)
