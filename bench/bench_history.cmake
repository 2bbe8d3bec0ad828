# The history dialog's adherence figures and chronology chart.
if(TARGET velmora_ui_qt)
  velmora_bench(bench_history velmora_ui_qt)
endif()
