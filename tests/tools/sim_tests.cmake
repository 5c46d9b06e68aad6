# The device simulator: its protocol and options directly, and the running program over its line.
brantel_add_test(sim_test SOURCES sim_test.cpp LIBS brantel_sim)
target_compile_definitions(sim_test PRIVATE BRANTEL_SIM_EXE="$<TARGET_FILE:brantel-sim>")
add_dependencies(sim_test brantel-sim)

# A command table played as a device, for Debian's mbpoll and for brantel-run.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME table_device_test
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/table_device_test.py
                 $<TARGET_FILE:brantel-sim> $<TARGET_FILE:brantel-run>
                 ${PROJECT_SOURCE_DIR}/scripts/demo-files/modbus-device.ini)
set_tests_properties(table_device_test PROPERTIES TIMEOUT 120)
