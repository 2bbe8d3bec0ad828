velmora_bench(bench_online velmora_online velmora_service_sim)
target_include_directories(bench_online PRIVATE ${PROJECT_SOURCE_DIR}/tests/online)
