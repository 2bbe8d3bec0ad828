# The history dialog's adherence figures and chronology chart; its own main
# makes and ends the QApplication.
if(TARGET velmora_ui_qt)
  add_executable(bench_history bench_history.cpp)
  target_link_libraries(bench_history PRIVATE velmora_ui_qt velmora_test_support benchmark::benchmark)
endif()
