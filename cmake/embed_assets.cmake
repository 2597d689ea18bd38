# Script mode: writes a C++ header with one byte array per asset.
#   cmake -DOUTPUT=<header> -DASSETS="<symbol>=<file>|<symbol>=<file>|..." -P embed_assets.cmake
string(REPLACE "|" ";" pairs "${ASSETS}")
set(text "// Generated at build time from the committed assets; do not edit.\n#pragma once\n\n")
foreach(pair IN LISTS pairs)
  string(FIND "${pair}" "=" eq)
  string(SUBSTRING "${pair}" 0 ${eq} symbol)
  math(EXPR start "${eq} + 1")
  string(SUBSTRING "${pair}" ${start} -1 file)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)"
         "\\1\n    " bytes "${bytes}")
  string(APPEND text "static const unsigned char ${symbol}[] = {\n    ${bytes}\n};\n\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "${text}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
