# orbicutter-cif: the CIF converter. It alone uses gemmi (a header library,
# Debian packages gemmi-dev and tao-pegtl-dev); without them it is skipped.
find_path(GEMMI_INCLUDE_DIR gemmi/smcif.hpp)
find_path(PEGTL_INCLUDE_DIR tao/pegtl.hpp)
if(NOT GEMMI_INCLUDE_DIR OR NOT PEGTL_INCLUDE_DIR)
  message(WARNING "gemmi not found (Debian: apt-get install gemmi-dev tao-pegtl-dev): "
                  "orbicutter-cif and its tests are skipped")
  set(ORBICUTTER_CIF_BUILT OFF)
else()
  set(ORBICUTTER_CIF_BUILT ON)
  set(ORBICUTTER_CIF_VERSION "${PROJECT_VERSION}")
  if(NOT ORBICUTTER_CIF_VERSION)
    set(ORBICUTTER_CIF_VERSION "0.1.0")
  endif()
  file(GLOB CIF_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/cif/*.cpp)
  list(FILTER CIF_SOURCES EXCLUDE REGEX ".*/src/cif/main\\.cpp$")
  add_library(orbicutter_cif_lib STATIC ${CIF_SOURCES})
  target_include_directories(orbicutter_cif_lib PUBLIC ${CMAKE_SOURCE_DIR}/src)
  # Before writing, the input is read by the program's own reader, so that the
  # converter never writes what the program refuses; the table of writers and
  # the molecules come from the library too.
  target_link_libraries(orbicutter_cif_lib PUBLIC orbicutter_core_dp)
  # gemmi 0.5.7's cifdoc.hpp destroys a vector of the still incomplete Item,
  # which clang refuses in C++20; the one file that includes it stays at C++17.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/src/cif/cif_reader.cpp PROPERTIES COMPILE_OPTIONS "-std=c++17")
  target_include_directories(orbicutter_cif_lib SYSTEM PRIVATE ${GEMMI_INCLUDE_DIR} ${PEGTL_INCLUDE_DIR})
  # The distribution ships gemmi without its bundled number formatter; the
  # C library's serves the little formatting the reader does.
  target_compile_definitions(orbicutter_cif_lib PRIVATE USE_STD_SNPRINTF
    ORBICUTTER_CIF_VERSION="${ORBICUTTER_CIF_VERSION}")
  add_executable(orbicutter-cif src/cif/main.cpp)
  target_link_libraries(orbicutter-cif PRIVATE orbicutter_cif_lib)
  install(TARGETS orbicutter-cif RUNTIME DESTINATION bin)

  if(ORBICUTTER_TESTS)
    file(GLOB CIF_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/cif/*.cpp)
    add_executable(orbicutter_cif_tests ${CIF_TEST_SOURCES})
    target_link_libraries(orbicutter_cif_tests PRIVATE orbicutter_cif_lib GTest::gtest GTest::gtest_main)
    target_include_directories(orbicutter_cif_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(orbicutter_cif_tests PRIVATE
      ORBICUTTER_CIF_DATA="${CMAKE_SOURCE_DIR}/tests/data/cif"
      ORBICUTTER_CIF_EXE="$<TARGET_FILE:orbicutter-cif>"
      ORBICUTTER_EXE="$<TARGET_FILE:orbicutter>")
    add_dependencies(orbicutter_cif_tests orbicutter-cif orbicutter)
    add_test(NAME orbicutter_cif_tests COMMAND orbicutter_cif_tests WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  endif()
endif()

# orbicutter and orbicutter_sp themselves use nothing but the C++ standard library.
if(ORBICUTTER_TESTS)
  add_test(NAME orbicutter_layers COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
    -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake)
  add_test(NAME orbicutter_std_only
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
      "-DEXECUTABLES=$<TARGET_FILE:orbicutter>;$<TARGET_FILE:orbicutter_sp>"
      -DSANITIZE=${ORBICUTTER_SANITIZE}
      -P ${CMAKE_SOURCE_DIR}/cmake/check_std_only.cmake)
endif()
