# The main frame and the program.
add_library(app_windows STATIC Mainunit.cpp)
target_include_directories(app_windows PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(app_windows PUBLIC app_core platform tlk_windows twoda_windows Qt6::Widgets)

add_executable(quellmoor-toolkit main.cpp)
target_link_libraries(quellmoor-toolkit PRIVATE app_windows)
