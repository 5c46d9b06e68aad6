# brantel_add_test(<name> SOURCES <files...> LIBS <libs...> [QT])
# Registers one test program (every name ends in _test) with CTest. Every program links the test
# support library; QT programs get a main() that creates the application object. Every test
# runs with the offscreen platform so no display is needed.
function(brantel_add_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  brantel_compile_options(${name})
  if(ARG_QT)
    target_link_libraries(${name} PRIVATE brantel_test_qt_main ${ARG_LIBS})
  else()
    target_link_libraries(${name} PRIVATE brantel_test_support ${ARG_LIBS} GTest::gtest_main)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
