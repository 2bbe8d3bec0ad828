# What a person sees, window included (offscreen), on databases of 500 to
# 50,000 users (scale_fixture.h): start-up (bench_startup) and selecting a
# person, her history and the report (bench_scale). Each has its own main,
# which makes and ends the QApplication.
if(TARGET velmora_app)
  find_package(SQLite3 REQUIRED)
  foreach(name IN ITEMS bench_startup bench_scale)
    add_executable(${name} ${name}.cpp)
    target_link_libraries(${name} PRIVATE velmora_app SQLite::SQLite3 benchmark::benchmark)
  endforeach()
endif()
