find_package(SQLite3 REQUIRED)
velmora_bench(bench_dialogs velmora_ui_logic SQLite::SQLite3)
