# The Python module `orbicutter` (pybind11 over the core library, and over the
# CIF converter when it is built). Needs pybind11 and the interpreter's headers
# (Debian: python3-pybind11 python3-dev); without them it is skipped. The core
# library itself gains no dependency: the module is a target of its own.
option(ORBICUTTER_PYTHON "Build the Python module when pybind11 is found" ON)

set(ORBICUTTER_PYTHON_BUILT OFF)
if(NOT ORBICUTTER_PYTHON)
  message(STATUS "Python module: off (ORBICUTTER_PYTHON=OFF)")
elseif(ORBICUTTER_SANITIZE OR ORBICUTTER_FUZZ)
  # An interpreter without the sanitizer runtime cannot load an instrumented module.
  message(STATUS "Python module: skipped in a sanitizer or fuzzing build")
else()
  # The distribution's interpreter, which has the distribution's numpy and
  # pybind11, comes before any other python3 on the PATH.
  if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
    set(Python3_EXECUTABLE /usr/bin/python3)
  endif()
  find_package(Python3 COMPONENTS Interpreter Development.Module)
  if(Python3_FOUND)
    find_package(pybind11 CONFIG QUIET)
  endif()
  if(NOT Python3_FOUND OR NOT pybind11_FOUND)
    message(WARNING "pybind11 or the Python headers not found (Debian: apt-get install python3-pybind11 "
                    "pybind11-dev python3-dev python3-numpy): the Python module and its tests are skipped")
  else()
    set(ORBICUTTER_PYTHON_BUILT ON)
    message(STATUS "Python module: for ${Python3_EXECUTABLE} (${Python3_VERSION})")
    # A shared module takes in the static libraries: their code must be position independent.
    set_target_properties(orbicutter_core_dp PROPERTIES POSITION_INDEPENDENT_CODE ON)
    set(python_sources ${CMAKE_SOURCE_DIR}/python/module.cpp)
    if(ORBICUTTER_CIF_BUILT)
      set_target_properties(orbicutter_cif_lib PROPERTIES POSITION_INDEPENDENT_CODE ON)
      list(APPEND python_sources ${CMAKE_SOURCE_DIR}/python/cif_adapter.cpp)
    endif()
    # The package in the build tree: PYTHONPATH=<build>/python.
    set(python_package ${CMAKE_BINARY_DIR}/python/orbicutter)
    pybind11_add_module(_orbicutter MODULE ${python_sources})
    target_link_libraries(_orbicutter PRIVATE orbicutter_core_dp)
    if(ORBICUTTER_CIF_BUILT)
      target_link_libraries(_orbicutter PRIVATE orbicutter_cif_lib)
      target_compile_definitions(_orbicutter PRIVATE ORBICUTTER_PYTHON_CIF)
    endif()
    set_target_properties(_orbicutter PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${python_package})
    set(python_files __init__.py __init__.pyi py.typed)
    foreach(f IN LISTS python_files)
      configure_file(${CMAKE_SOURCE_DIR}/python/orbicutter/${f} ${python_package}/${f} COPYONLY)
    endforeach()

    # Installed into the interpreter's packages folder under the prefix
    # (lib/python3.X/dist-packages for the distribution's interpreter).
    if(NOT ORBICUTTER_PYTHON_INSTALL_DIR)
      execute_process(COMMAND ${Python3_EXECUTABLE} -c
        "import sysconfig,site; d='dist-packages' if any(p.endswith('dist-packages') for p in site.getsitepackages()) else 'site-packages'; print('lib/python%d.%d/%s' % (*__import__('sys').version_info[:2], d))"
        OUTPUT_VARIABLE python_dir OUTPUT_STRIP_TRAILING_WHITESPACE)
      set(ORBICUTTER_PYTHON_INSTALL_DIR ${python_dir} CACHE STRING "Python packages folder, under the prefix")
    endif()
    install(TARGETS _orbicutter LIBRARY DESTINATION ${ORBICUTTER_PYTHON_INSTALL_DIR}/orbicutter)
    foreach(f IN LISTS python_files)
      install(FILES ${CMAKE_SOURCE_DIR}/python/orbicutter/${f} DESTINATION ${ORBICUTTER_PYTHON_INSTALL_DIR}/orbicutter)
    endforeach()

    if(ORBICUTTER_TESTS)
      execute_process(COMMAND ${Python3_EXECUTABLE} -c "import pytest, numpy" RESULT_VARIABLE no_pytest
                      OUTPUT_QUIET ERROR_QUIET)
      if(no_pytest)
        message(WARNING "pytest or numpy missing for ${Python3_EXECUTABLE} (Debian: python3-pytest python3-numpy): "
                        "the Python tests are skipped")
      else()
        # No bytecode written into the source tree by the test run.
        set(python_env PYTHONPATH=${CMAKE_BINARY_DIR}/python PYTHONDONTWRITEBYTECODE=1 ORBICUTTER_SOURCE=${CMAKE_SOURCE_DIR}
            ORBICUTTER_EXE=$<TARGET_FILE:orbicutter>)
        add_test(NAME orbicutter_python
                 COMMAND ${Python3_EXECUTABLE} -m pytest -q -p no:cacheprovider ${CMAKE_SOURCE_DIR}/tests/python
                 WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
        if(ORBICUTTER_CIF_BUILT)
          list(APPEND python_env ORBICUTTER_CIF_EXE=$<TARGET_FILE:orbicutter-cif>)
        endif()
        set_tests_properties(orbicutter_python PROPERTIES ENVIRONMENT "${python_env}")
        add_dependencies(_orbicutter orbicutter)
      endif()
    endif()
  endif()
endif()
