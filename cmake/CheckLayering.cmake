# Run at every build (cmake -P, SOURCE_DIR set): the platform libraries keep their layers.
#  - the picture codecs and the controls never include a back end;
#  - a back end never includes the organiser or the capture saver;
#  - no product file outside a back end folder includes an X11, POSIX-only or Win32 header.
# Tests and tools may talk to the system directly and are not checked.
set(backends "platform/(posix|x11|win|none)/")
set(os_headers "(xcb/|X11/|unistd\\.h|fcntl\\.h|sys/|dirent\\.h|poll\\.h|iconv\\.h|pwd\\.h|spawn\\.h|signal\\.h|dlfcn\\.h|windows\\.h|winuser\\.h|winbase\\.h|shlobj\\.h|shellapi\\.h|io\\.h)")
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
  "${SOURCE_DIR}/platform/*.cpp" "${SOURCE_DIR}/platform/*.h"
  "${SOURCE_DIR}/organiser/*.cpp" "${SOURCE_DIR}/organiser/*.h"
  "${SOURCE_DIR}/capture/*.cpp" "${SOURCE_DIR}/capture/*.h")
set(faults)
foreach(f ${sources})
  file(STRINGS "${SOURCE_DIR}/${f}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${includes})
    if(f MATCHES "^platform/(pictures|controls)/" AND line MATCHES "\"${backends}")
      list(APPEND faults "${f}: a picture codec or control includes a back end: ${line}")
    endif()
    if(f MATCHES "^${backends}" AND line MATCHES "\"(organiser|capture)/")
      list(APPEND faults "${f}: a back end includes a program: ${line}")
    endif()
    if(NOT f MATCHES "^${backends}" AND line MATCHES "<${os_headers}")
      list(APPEND faults "${f}: an operating-system header outside a back end: ${line}")
    endif()
  endforeach()
endforeach()
if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "Layering broken:\n${text}")
endif()
