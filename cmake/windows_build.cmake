# Builds the Windows programs with mingw-w64 as a sub-build of the native
# project, so that one `cmake --build` makes everything and one `ctest` runs
# the native unit tests, the same unit tests under Wine and the end-to-end
# tests of measurix.exe under Wine.
include(ExternalProject)

set(WINDOWS_BUILD_DIR ${CMAKE_BINARY_DIR}/windows)
ExternalProject_Add(windows_build
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${WINDOWS_BUILD_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DGTEST_SOURCE_DIR=${GTEST_SOURCE_DIR}
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${WINDOWS_BUILD_DIR}/measurix.exe
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

set(MEASURIX_EXE ${WINDOWS_BUILD_DIR}/measurix.exe)
set(MXDRIVER_EXE ${WINDOWS_BUILD_DIR}/mxdriver.exe)
set(E2E_DIR ${CMAKE_SOURCE_DIR}/tests/e2e)
set(E2E_STATE_DIR ${CMAKE_BINARY_DIR}/e2e)

# The release packages of this build (scripts/package.sh: the zip, the per-user
# MSI and their checksums) in build/dist: a change that breaks them fails the
# build, and the end-to-end tests install them.
set(DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(PACKAGE_FILES ${DIST_DIR}/measurix-${PROJECT_VERSION}-win64.zip ${DIST_DIR}/measurix-${PROJECT_VERSION}-win64.msi
  ${DIST_DIR}/SHA256SUMS)
add_custom_command(OUTPUT ${PACKAGE_FILES}
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/package.sh --from ${WINDOWS_BUILD_DIR} --dist ${DIST_DIR}
  DEPENDS ${MEASURIX_EXE} ${CMAKE_SOURCE_DIR}/scripts/package.sh ${CMAKE_SOURCE_DIR}/packaging/measurix.wxs
    ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
  COMMENT "Packaging measurix.exe"
  VERBATIM)
add_custom_target(packages ALL DEPENDS ${PACKAGE_FILES})
add_dependencies(packages windows_build)

# One Xvfb and one fresh Wine prefix per test run: a ctest fixture.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(E2E_ENV
  MEASURIX_EXE=${MEASURIX_EXE}
  MXDRIVER_EXE=${MXDRIVER_EXE}
  MEASURIX_E2E_STATE=${E2E_STATE_DIR}
  MEASURIX_DIST=${DIST_DIR}
  PYTHONPATH=${E2E_DIR}
  PYTHONDONTWRITEBYTECODE=1)

add_test(NAME e2e_environment_up
  COMMAND ${Python3_EXECUTABLE} -m harness.environment up)
add_test(NAME e2e_environment_down
  COMMAND ${Python3_EXECUTABLE} -m harness.environment down)
set_tests_properties(e2e_environment_up PROPERTIES FIXTURES_SETUP wine_env ENVIRONMENT "${E2E_ENV}" RESOURCE_LOCK wine_desktop
  LABELS "wine;e2e" TIMEOUT 600)
set_tests_properties(e2e_environment_down PROPERTIES FIXTURES_CLEANUP wine_env ENVIRONMENT "${E2E_ENV}" RESOURCE_LOCK wine_desktop
  LABELS "wine;e2e" TIMEOUT 120)

# The unit tests again, as a Windows program under Wine.
add_test(NAME unit_tests_wine
  COMMAND ${Python3_EXECUTABLE} -m harness.environment run ${WINDOWS_BUILD_DIR}/measurix_unit_tests.exe)
set_tests_properties(unit_tests_wine PROPERTIES FIXTURES_REQUIRED wine_env ENVIRONMENT "${E2E_ENV}" RESOURCE_LOCK wine_desktop
  LABELS "unit;wine" TIMEOUT 600)
# Labels select a layer: ctest -L unit, ctest -L e2e, ctest -L wine.
set_tests_properties(unit_tests_native PROPERTIES LABELS "unit;native")

# End-to-end tests: every tests/e2e/test_*.py is one ctest test; they share the
# one Wine desktop, so they run one after the other.
file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${E2E_DIR}/test_*.py)
foreach(test_file ${E2E_TESTS})
  get_filename_component(test_name ${test_file} NAME_WE)
  add_test(NAME e2e_${test_name}
    COMMAND ${Python3_EXECUTABLE} -m unittest -v ${test_name}
    WORKING_DIRECTORY ${E2E_DIR})
  set_tests_properties(e2e_${test_name} PROPERTIES
    FIXTURES_REQUIRED wine_env ENVIRONMENT "${E2E_ENV}" RESOURCE_LOCK wine_desktop TIMEOUT 600 LABELS "wine;e2e")
endforeach()
