# The device simulator: its protocol and options directly, and the running program over its line.
brantel_add_test(sim_test SOURCES sim_test.cpp LIBS brantel_sim)
target_compile_definitions(sim_test PRIVATE BRANTEL_SIM_EXE="$<TARGET_FILE:brantel-sim>")
add_dependencies(sim_test brantel-sim)
