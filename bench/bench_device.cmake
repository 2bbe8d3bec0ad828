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
