# Delay-import libraries for system DLLs that are not on every Windows' list of known DLLs. A
# downloaded installer runs from a folder full of other files: a static import would be looked up
# there before WinMain restricts the DLL search to the system directory, a delay import is loaded
# on first use, after that restriction.
#
# ql_delay_import(<library> <DLL name>) defines the imported library <library>_delayed, made by
# dlltool from every export that the toolchain's own import library lib<library>.a lists.
function(ql_delay_import library dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${library}.a
                  OUTPUT_VARIABLE implib OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT EXISTS "${implib}")
    message(FATAL_ERROR "No import library lib${library}.a in the toolchain")
  endif()
  execute_process(COMMAND ${CMAKE_NM} -g "${implib}" OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
  string(REGEX MATCHALL " I __imp_[^\n]+" imports "${symbols}")
  if(NOT rc EQUAL 0 OR NOT imports)
    message(FATAL_ERROR "Cannot read the exports of ${implib}")
  endif()
  set(text "LIBRARY ${dll}\nEXPORTS\n")
  foreach(symbol ${imports})
    string(REGEX REPLACE "^ I __imp_" "" name "${symbol}")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(REGEX REPLACE "^_" "" name "${name}")  # i686 decoration: _Name@bytes
    endif()
    string(APPEND text "${name}\n")
  endforeach()
  set(def ${CMAKE_BINARY_DIR}/delay/${library}.def)
  set(lib ${CMAKE_BINARY_DIR}/delay/lib${library}_delay.a)
  file(WRITE ${def} "${text}")
  # On i686 the DLL exports the names without the stdcall decoration.
  set(kill_at)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(kill_at --kill-at)
  endif()
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll} ${kill_at} --output-delaylib ${lib}
    DEPENDS ${def} COMMENT "Making the delay-import library of ${dll}")
  add_custom_target(${library}-delay DEPENDS ${lib})
  add_library(${library}_delayed STATIC IMPORTED GLOBAL)
  # The plain import library follows for the data it also carries (GUIDs such as ImageFormatPNG);
  # its functions are never taken from it, the delay library comes first.
  set_target_properties(${library}_delayed PROPERTIES IMPORTED_LOCATION ${lib}
                                                      INTERFACE_LINK_LIBRARIES "delayimp;${library}")
  add_dependencies(${library}_delayed ${library}-delay)
endfunction()
