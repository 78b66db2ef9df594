# The talk table editor's windows driven through the flows a user goes
# through, on the offscreen platform with scripted dialogs.
add_executable(tlk_window_tests
  TlkWindowTestMain.cpp
  TlkWindowFixture.cpp
  TlkWindowFileTest.cpp
  TlkWindowRowTest.cpp
  TlkWindowSearchTest.cpp
  TlkWindowAppendTest.cpp
)
target_link_libraries(tlk_window_tests PRIVATE tlk_windows app_windows platform Qt6::Test GTest::gtest)
# Discovery runs the binary (which makes a QApplication), so it waits until
# the tests run; the prefix lets "ctest -R tlk_window" pick them.
gtest_discover_tests(tlk_window_tests
  TEST_PREFIX "tlk_window."
  DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
)
