# The shared library's C-linkage symbols are its entry points, each the
# routine name plus one underscore. Any other unmangled name it exports can
# clash with, or be taken over by, a caller's own symbol of that name.
execute_process(COMMAND ${NM} -D --defined-only ${LIB}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} could not read ${LIB}")
endif()
string(REPLACE "\n" ";" lines "${out}")
set(entries 0)
set(strays "")
foreach(line IN LISTS lines)
  if(line MATCHES " ([^ ]+)$")
    set(name "${CMAKE_MATCH_1}")
    if(name MATCHES "^_")
      # C++-mangled names and the toolchain's reserved names.
    elseif(name MATCHES "[^_]_$")
      math(EXPR entries "${entries} + 1")
    else()
      list(APPEND strays "${name}")
    endif()
  endif()
endforeach()
if(strays)
  message(FATAL_ERROR "exported without the entry-point underscore: ${strays}")
endif()
if(entries LESS 200)
  message(FATAL_ERROR "only ${entries} entry points found in ${LIB}")
endif()
