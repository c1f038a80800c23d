# Installation: the programs, the static libraries with their public headers and
# a package configuration, so that another project can write
#   find_package(orbicutter)
#   target_link_libraries(app orbicutter::orbicutter)   # or orbicutter::orbicutter_sp
# The library example is built against an installed copy as a test.
include(GNUInstallDirs)

foreach(variant IN ITEMS dp sp)
  if(variant STREQUAL "dp")
    set(name orbicutter)
  else()
    set(name orbicutter_sp)
  endif()
  set_target_properties(orbicutter_core_${variant} PROPERTIES EXPORT_NAME ${name} OUTPUT_NAME ${name})
  # The public headers need C++17.
  target_compile_features(orbicutter_core_${variant} INTERFACE cxx_std_17)
endforeach()

install(TARGETS orbicutter orbicutter_sp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS orbicutter_core_dp orbicutter_core_sp EXPORT orbicutterTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/orbicutter DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${CMAKE_BINARY_DIR}/generated/orbicutter/version.hpp DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/orbicutter)
install(EXPORT orbicutterTargets NAMESPACE orbicutter:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orbicutter)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/orbicutterConfig.cmake DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orbicutter)

# examples/api, configured and built against this build installed into a scratch
# prefix, then run on a real crystal. A sanitizer build's library needs the
# sanitizer runtime, which an outside project does not link: skipped there.
if(ORBICUTTER_TESTS AND NOT ORBICUTTER_SANITIZE)
  add_test(NAME orbicutter_api_example
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
      -P ${CMAKE_SOURCE_DIR}/cmake/api_example_test.cmake)
endif()

# What `make demo` builds: the program, and the CIF converter when there is one.
add_custom_target(demo_programs)
add_dependencies(demo_programs orbicutter)
if(TARGET orbicutter-cif)
  add_dependencies(demo_programs orbicutter-cif)
endif()
