# Reminder protocol against the simulated reminder (bench/bench_device.cpp).
velmora_bench(bench_device velmora_device velmora_reminder_sim)

# The same through the real libusb transport against the emulated USB
# reminder (bench/bench_device_usb.cpp); it has its own main, which puts
# itself under the umockdev preload.
if(TARGET velmora_reminder_usb_emulation)
  add_executable(bench_device_usb bench_device_usb.cpp)
  target_link_libraries(bench_device_usb PRIVATE velmora_device velmora_reminder_usb_emulation
                        benchmark::benchmark)
endif()

# The user-interface thread's stall during a model-3 read and programming
# pass, directly and through the program's worker runner
# (bench/bench_reminder_worker.cpp); its own main, like bench_device_usb.
if(TARGET velmora_reminder_usb_emulation AND TARGET velmora_ui_qt)
  add_executable(bench_reminder_worker bench_reminder_worker.cpp)
  target_link_libraries(bench_reminder_worker PRIVATE velmora_ui_qt velmora_reminder_usb_emulation
                        benchmark::benchmark)
endif()
