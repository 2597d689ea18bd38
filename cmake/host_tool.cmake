# Native helper programs (X clients the tests and benchmarks run beside Wine), built with the host's
# C compiler into <build>/host/<name>; the path is left in the variable named by `out_var`.
find_program(QL_HOST_CC NAMES gcc cc REQUIRED)

function(ql_add_host_tool name source out_var)
  set(output ${CMAKE_BINARY_DIR}/host/${name})
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
    COMMAND ${QL_HOST_CC} -std=c11 -O2 -Wall -Wextra -Werror ${source} -o ${output} ${ARGN}
    DEPENDS ${source}
    COMMENT "Building the host tool ${name}")
  string(REPLACE "_" "-" target ${name})
  add_custom_target(${target}-tool ALL DEPENDS ${output})
  set(${out_var} ${output} PARENT_SCOPE)
endfunction()
