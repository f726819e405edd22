# Installs the built library into a scratch prefix, then configures, builds
# and runs examples/consumer against it with find_package(kest), and runs
# the installed kestrun on one record.
file(REMOVE_RECURSE ${SCRATCH})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${KEST_BINARY_DIR} --prefix ${SCRATCH}/prefix
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${KEST_SOURCE_DIR}/examples/consumer -B ${SCRATCH}/build
                        -DCMAKE_PREFIX_PATH=${SCRATCH}/prefix
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "configuring the consumer failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${SCRATCH}/build RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "building the consumer failed")
endif()
execute_process(COMMAND ${SCRATCH}/build/consumer RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out MATCHES "julday\\(2000, 1, 1\\) = 2451545")
  message(FATAL_ERROR "consumer run failed: ${out}")
endif()

# The installed batch program starts from the prefix (it finds the installed
# library) and computes one record on the hour.
file(MAKE_DIRECTORY ${SCRATCH}/run)
file(WRITE ${SCRATCH}/run/epoch.tmp
     "    63246528000000.0  2004-03-15T00:00:00    8   -75.20\n")
execute_process(COMMAND ${SCRATCH}/prefix/bin/kestrun WORKING_DIRECTORY ${SCRATCH}/run
                RESULT_VARIABLE rc ERROR_VARIABLE err)
set(out "")
if(EXISTS ${SCRATCH}/run/position.tmp)
  file(READ ${SCRATCH}/run/position.tmp out)
endif()
if(NOT rc EQUAL 0 OR NOT out MATCHES "^    63246528000000.0, 2004-03-15T00:00:00,   8,")
  message(FATAL_ERROR "installed kestrun failed (${rc}): ${err}")
endif()
