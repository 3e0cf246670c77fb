# Installs the desktop files and the sample libraries into a fresh prefix
# and checks what lands there: the layout, the program the desktop entry
# starts, and both validators on the installed files.
# cmake -DBUILD_DIR=.. -DPREFIX=.. -DAPP_ID=.. -DSUBDIR=.. -DDESKTOP_FILE_VALIDATE=..
#       -DAPPSTREAMCLI=.. -DSAMPLE=<one sample file under the working folder> -P CheckInstall.cmake

file(REMOVE_RECURSE "${PREFIX}")
foreach(component zorvane_desktop zorvane_samples)
    execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}"
                            --component ${component} --prefix "${PREFIX}"
                    RESULT_VARIABLE result OUTPUT_QUIET)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "cmake --install of ${component} failed: ${result}")
    endif()
endforeach()

set(desktop "${PREFIX}/share/applications/${APP_ID}.desktop")
set(metainfo "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml")
set(expected "${desktop}" "${metainfo}" "${PREFIX}/share/icons/hicolor/scalable/apps/${APP_ID}.svg"
             "${PREFIX}/${SUBDIR}/${SAMPLE}")
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png")
endforeach()
foreach(file IN LISTS expected)
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

file(STRINGS "${desktop}" exec_line REGEX "^Exec=")
if(NOT exec_line STREQUAL "Exec=${PREFIX}/${SUBDIR}/zorvane")
    message(FATAL_ERROR "the desktop entry starts '${exec_line}', not ${PREFIX}/${SUBDIR}/zorvane")
endif()

foreach(check "${DESKTOP_FILE_VALIDATE};${desktop}" "${APPSTREAMCLI};validate;--no-net;${metainfo}")
    execute_process(COMMAND ${check} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${check} failed:\n${out}")
    endif()
endforeach()
