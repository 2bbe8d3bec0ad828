# Start-up to the main window shown (offscreen), empty database and 5,000 users.
if(TARGET velmora_app)
  find_package(SQLite3 REQUIRED)
  velmora_bench(bench_startup velmora_app SQLite::SQLite3)
endif()
