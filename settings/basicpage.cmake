# The rename dialog of the menu list editor page.
target_sources(corvina_settings PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ItemNameDialog.cpp)
