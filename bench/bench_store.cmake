find_package(SQLite3 REQUIRED)
velmora_bench(bench_store velmora_store SQLite::SQLite3)
