# The calendar views' refresh (items and painting) against the expansion alone.
if(TARGET velmora_ui_qt)
  velmora_bench(bench_calendar velmora_ui_qt)
endif()
