# Helpers that give every folder of the project the same shape:
#   <folder>/include/<Name>/   public headers
#   <folder>/src/              implementation
#   <folder>/resources/        the resource bundle (modules) copied next to the executables
#   <folder>/tests/            GoogleTest cases, one executable per folder

set(QUILLON_WARNINGS -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
if(QUILLON_WERROR)
  list(APPEND QUILLON_WARNINGS -Werror)
endif()
set(QUILLON_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

if(QUILLON_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (CXX=clang++)")
  endif()
  add_compile_options(${QUILLON_SANITIZER_FLAGS} -fsanitize=fuzzer-no-link)
  add_link_options(${QUILLON_SANITIZER_FLAGS})
  add_compile_definitions(QUILLON_ADDRESS_SANITIZER=1)
elseif(QUILLON_SANITIZE)
  add_compile_options(${QUILLON_SANITIZER_FLAGS})
  add_link_options(${QUILLON_SANITIZER_FLAGS})
  add_compile_definitions(QUILLON_ADDRESS_SANITIZER=1)
endif()

# A program depends only on the shared libraries it uses: the static libraries of the platform
# bring their dependencies to every program that links them, and one that never makes an HTTP
# transfer, say, loads no HTTP library.
add_link_options(LINKER:--as-needed)

function(quillon_compile_options target)
  target_compile_options(${target} PRIVATE ${QUILLON_WARNINGS})
endfunction()

# quillon_library(<name> [DEPS <targets...>])
# A static library built from the folder's src/, with include/ as its public headers.
function(quillon_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                     PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  quillon_compile_options(${name})
endfunction()

# quillon_tests(<name> DEPS <targets...>)
# One GoogleTest executable from the folder's tests/, registered with CTest test by test.
function(quillon_tests name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/testing)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock quillon_testing)
  quillon_compile_options(${name})
  target_compile_definitions(${name} PRIVATE
    QUILLON_SOURCE_DIR="${CMAKE_SOURCE_DIR}" QUILLON_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/fixtures"
    QUILLON_BIN_DIR="${QUILLON_BIN_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       WORKING_DIRECTORY ${QUILLON_BIN_DIR}
                       PROPERTIES SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endfunction()

# quillon_bundle(<module>)
# Copies the module's resources/ folder next to the executables as "<module>_<module>.bundle".
# The module's library depends on it, so that every program that links the library, its tests
# among them, finds it built also when built alone.
function(quillon_bundle module)
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/resources)
  if(NOT EXISTS ${source})
    return()
  endif()
  set(destination ${QUILLON_BIN_DIR}/${module}_${module}.bundle)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${source}/*)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${module}_bundle.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${destination}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${source} ${destination}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${files}
    COMMENT "Bundling ${module} resources")
  add_custom_target(${module}_bundle ALL DEPENDS ${stamp})
  add_dependencies(${module} ${module}_bundle)
endfunction()
