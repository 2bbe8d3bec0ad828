# A model-3 programming job and the alarm time report with the main window
# (offscreen), against the simulated reminder in the process.
if(TARGET velmora_app)
  find_package(SQLite3 REQUIRED)
  add_executable(bench_job bench_job.cpp)
  target_link_libraries(bench_job PRIVATE velmora_app velmora_reminder_sim SQLite::SQLite3 benchmark::benchmark)
endif()
