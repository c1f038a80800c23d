# Installs the build into a scratch prefix, builds examples/api against it with
# find_package(orbicutter), and runs the example on a crystal whose cluster and
# dimers are known from the program's own files.
set(work "${BUILD_DIR}/api-example")
file(REMOVE_RECURSE "${work}")

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

run("install" ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${work}/prefix")
run("configure" ${CMAKE_COMMAND} -S "${SOURCE_DIR}/examples/api" -B "${work}/build" -DCMAKE_BUILD_TYPE=Release
    "-DCMAKE_PREFIX_PATH=${work}/prefix")
run("build" ${CMAKE_COMMAND} --build "${work}/build")
run("example" "${work}/build/cluster_summary" "${SOURCE_DIR}/tests/data/crystals/aspirin_dimr.inp")

foreach(expected "40 molecules, 840 atoms" "dimer 4: operation 1, code 54501, distance 6.544 A, 2 alike"
                 "dimer 34: operation 4, code 57504, distance 6.047 A, 2 alike")
  string(FIND "${out}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the example printed:\n${out}\nwithout: ${expected}")
  endif()
endforeach()
file(REMOVE_RECURSE "${work}")
