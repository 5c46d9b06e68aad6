# brantel_add_library(<name> SOURCES <files...> [LINKS <libraries...>] [QT])
# One folder's library, with src/ as its include root. It sees the headers of what it links and
# nothing else of Qt; QT libraries get the moc, uic and rcc.
function(brantel_add_library name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTOUIC ON AUTORCC ON)
  endif()
  brantel_compile_options(${name})
endfunction()
