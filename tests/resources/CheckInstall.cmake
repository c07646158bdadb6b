# Installs the build into PREFIX and checks what the desktop needs of it:
#   cmake -DBUILD_DIR=... -DPREFIX=... -DAPP_ID=... -DEXECUTABLE=... -DPROGRAMS=a;b -P CheckInstall.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
  share/applications/${APP_ID}.desktop
  share/metainfo/${APP_ID}.metainfo.xml
  share/icons/hicolor/32x32/apps/${APP_ID}.png
  share/icons/hicolor/48x48/apps/${APP_ID}.png
  share/icons/hicolor/64x64/apps/${APP_ID}.png)
foreach(program IN LISTS PROGRAMS)
  list(APPEND expected bin/${program})
endforeach()
foreach(path IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${path})
    message(SEND_ERROR "not installed: ${path}")
  endif()
endforeach()
foreach(program IN LISTS PROGRAMS)
  execute_process(COMMAND test -x ${PREFIX}/bin/${program} RESULT_VARIABLE not_executable)
  if(not_executable)
    message(SEND_ERROR "not executable: bin/${program}")
  endif()
endforeach()

file(STRINGS ${PREFIX}/share/applications/${APP_ID}.desktop entry)
foreach(line "Name=Lokaro" "Exec=${EXECUTABLE}" "Icon=${APP_ID}" "Categories=Network;Utility;")
  list(FIND entry "${line}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "the desktop entry lacks the line ${line}")
  endif()
endforeach()
list(FILTER entry INCLUDE REGEX "^Name\\[zh_CN\\]=.")
if(NOT entry)
  message(SEND_ERROR "the desktop entry has no Chinese name")
endif()
