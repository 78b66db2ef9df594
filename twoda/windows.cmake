# The 2DA editor's windows.
add_library(twoda_windows STATIC Edit2daunit.cpp)
target_include_directories(twoda_windows PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(twoda_windows PUBLIC twoda_core platform app_windows Qt6::Widgets)
