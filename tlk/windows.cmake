# The talk table editor's windows.
add_library(tlk_windows STATIC
  TlkGridModel.cpp
  Tlkeditunit.cpp
  Tlkeditrecunit.cpp
  Appendtlkunit.cpp
)
target_include_directories(tlk_windows PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tlk_windows PUBLIC tlk_core platform app_windows Qt6::Widgets)
