# The main frame: settings at start-up, the editor actions and the window menu.
add_executable(app_window_tests MainFormTest.cpp ${CMAKE_SOURCE_DIR}/tests/tlk/TlkWindowTestMain.cpp)
target_link_libraries(app_window_tests PRIVATE app_windows tlk_windows twoda_windows platform GTest::gtest)
gtest_discover_tests(app_window_tests
  TEST_PREFIX "app_window."
  DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
)
