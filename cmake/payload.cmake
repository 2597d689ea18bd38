# The payload archive is made at build time by a native host tool over Debian's libminizip.
find_program(QL_HOST_CXX NAMES g++ c++ REQUIRED)
set(QL_MAKE_PAYLOAD ${CMAKE_BINARY_DIR}/host/make-payload)
add_custom_command(
  OUTPUT ${QL_MAKE_PAYLOAD}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${QL_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Werror
          -finput-charset=UTF-8 -fexec-charset=GBK -I${CMAKE_SOURCE_DIR}/app/engine
          ${CMAKE_SOURCE_DIR}/tools/make_payload.cpp -o ${QL_MAKE_PAYLOAD} -lminizip -lz
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_payload.cpp ${CMAKE_SOURCE_DIR}/app/engine/payload_entries.h
  COMMENT "Building the host tool make-payload")
add_custom_target(make-payload-tool DEPENDS ${QL_MAKE_PAYLOAD})
