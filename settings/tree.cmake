# The menu list tree control of the editor page: its entries, its drop target and the reading
# of dropped shell data.
add_library(corvina_settings_tree STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CMenuListDropTarget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DroppedItemIdList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MenuListEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MenuListTree.cpp)
target_include_directories(corvina_settings_tree PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(corvina_settings_tree PUBLIC corvina_common comctl32 gdi32 ole32 shell32
  user32)
target_compile_options(corvina_settings_tree PRIVATE -Wall -Wextra)
