# One static library per folder under src/; sources are picked up by glob so that
# adding a file to a layer never needs a CMake edit elsewhere.
function(jornix_layer name)
  cmake_parse_arguments(ARG "" "" "LINK" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER _sources INCLUDE REGEX "\\.(cpp|qrc)$")
  if(_sources)
    file(GLOB _all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
         ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    add_library(jornix_${name} STATIC ${_all})
    target_include_directories(jornix_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(jornix_${name} PUBLIC ${ARG_LINK})
  else()
    # A layer that has no code yet still has to be linkable by the others.
    add_library(jornix_${name} INTERFACE)
    target_include_directories(jornix_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(jornix_${name} INTERFACE ${ARG_LINK})
  endif()
endfunction()

# One GoogleTest program per layer, registered with ctest.
function(jornix_test name)
  cmake_parse_arguments(ARG "" "" "LINK;LABELS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${_sources})
  target_link_libraries(${name} PRIVATE ${ARG_LINK} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;JORNIX_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    LABELS "${ARG_LABELS}" TIMEOUT 900)
endfunction()
