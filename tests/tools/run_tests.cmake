# The test runner: its parts directly, and the program against the device simulator.
brantel_add_test(run_test SOURCES run_test.cpp LIBS brantel_run)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME run_sim_test
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/run_sim_test.py
                 $<TARGET_FILE:brantel-run> $<TARGET_FILE:brantel-sim>
                 ${PROJECT_BINARY_DIR}/packaging/man/brantel-run.1)
set_tests_properties(run_sim_test PROPERTIES TIMEOUT 120)

# The program against a Modbus RTU server it did not write (pymodbus, over a socat pair);
# skipped without them.
add_test(NAME run_modbus_test
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/run_modbus_test.py
                 $<TARGET_FILE:brantel-run>)
set_tests_properties(run_modbus_test PROPERTIES TIMEOUT 60 SKIP_RETURN_CODE 77)
