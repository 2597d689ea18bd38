# minizip's unzip interface, compiled from Debian's zlib sources against the static mingw zlib.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

foreach(f unzip.c ioapi.c iowin32.c unzip.h ioapi.h iowin32.h)
  if(NOT EXISTS ${QL_MINIZIP_DIR}/${f})
    message(FATAL_ERROR "${QL_MINIZIP_DIR}/${f} is missing: run scripts/setup")
  endif()
endforeach()

add_library(minizip STATIC
  ${QL_MINIZIP_DIR}/unzip.c ${QL_MINIZIP_DIR}/ioapi.c ${QL_MINIZIP_DIR}/iowin32.c)
target_include_directories(minizip SYSTEM PUBLIC ${QL_MINIZIP_DIR})
target_compile_definitions(minizip PUBLIC NOUNCRYPT NOCRYPT)
target_compile_options(minizip PRIVATE -w)
target_link_libraries(minizip PUBLIC ZLIB::ZLIB)
