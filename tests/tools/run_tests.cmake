# The test runner: its parts directly, and the program against the device simulator.
brantel_add_test(run_test SOURCES run_test.cpp LIBS brantel_run)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME run_sim_test
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/run_sim_test.py
                 $<TARGET_FILE:brantel-run> $<TARGET_FILE:brantel-sim>
                 ${PROJECT_BINARY_DIR}/packaging/man/brantel-run.1)
set_tests_properties(run_sim_test PROPERTIES TIMEOUT 120)
