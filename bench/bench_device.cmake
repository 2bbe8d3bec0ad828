# Reminder protocol against the simulated reminder (bench/bench_device.cpp).
velmora_bench(bench_device velmora_device velmora_reminder_sim)
