# Installs the build tree BUILD_DIR into a fresh prefix under WORK_DIR and
# builds HOST_DIR's host against it twice, as hosts do: with CMake's
# find_package, and with pkg-config and the plain compiler CXX. Both hosts
# must run and print EXPECTED.
#
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DHOST_DIR=... -DCXX=... -P install_and_consume.cmake

set(prefix ${WORK_DIR}/prefix)
set(expected "formed 3 polygons, rounds -1 1 1")
file(REMOVE_RECURSE ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

function(expect_host_output program)
  run(${ARGN} ${program})
  string(STRIP "${output}" output)
  if(NOT output STREQUAL expected)
    message(FATAL_ERROR "${program} printed \"${output}\", expected \"${expected}\"")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(file include/loopweave.h lib/libloopweave.so lib/libloopweave.so.0 lib/cmake/Loopweave/LoopweaveConfigVersion.cmake
             lib/pkgconfig/loopweave.pc)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
file(READ_SYMLINK ${prefix}/lib/libloopweave.so.0 soname_target)
if(NOT soname_target MATCHES "^libloopweave\\.so\\.0\\.[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "libloopweave.so.0 points to ${soname_target}")
endif()

# CMake package: the imported target carries the include directory and the
# library, and the build tree's rpath finds it at run time.
run(${CMAKE_COMMAND} -S ${HOST_DIR} -B ${WORK_DIR}/cmake-host -G Ninja -DCMAKE_CXX_COMPILER=${CXX}
    -DCMAKE_PREFIX_PATH=${prefix} -DLOOPWEAVE_VERSION=0.1)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-host)
expect_host_output(${WORK_DIR}/cmake-host/host)

# A host that asks for another major version is turned away.
execute_process(COMMAND ${CMAKE_COMMAND} -S ${HOST_DIR} -B ${WORK_DIR}/wrong-version -G Ninja
                        -DCMAKE_PREFIX_PATH=${prefix} -DLOOPWEAVE_VERSION=1.0
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(status EQUAL 0)
  message(FATAL_ERROR "find_package(Loopweave 1.0) accepted version 0.1")
endif()

# pkg-config, found through the .pc file's own place, and the compiler alone.
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
run(pkg-config --cflags --libs loopweave)
separate_arguments(flags UNIX_COMMAND "${output}")
run(${CXX} -std=c++17 ${HOST_DIR}/host.cpp ${flags} -o ${WORK_DIR}/pkg-config-host)
expect_host_output(${WORK_DIR}/pkg-config-host ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib)
