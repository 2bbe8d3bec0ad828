# The calendar views' refresh (items and painting) against the expansion
# alone; its own main makes and ends the QApplication.
if(TARGET velmora_ui_qt)
  add_executable(bench_calendar bench_calendar.cpp)
  target_link_libraries(bench_calendar PRIVATE velmora_ui_qt velmora_test_support benchmark::benchmark)
endif()
