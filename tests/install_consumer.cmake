# Installs the built library into a scratch prefix, then configures, builds
# and runs examples/consumer against it with find_package(kest).
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
