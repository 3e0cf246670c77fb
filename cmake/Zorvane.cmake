# Helpers shared by every subsystem's CMakeLists.

set(ZORVANE_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
                     -Wcast-align -Woverloaded-virtual -Wnull-dereference)
if(ZORVANE_WERROR)
    list(APPEND ZORVANE_WARNINGS -Werror)
endif()

if(ZORVANE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

function(zorvane_target_defaults target)
    target_compile_options(${target} PRIVATE ${ZORVANE_WARNINGS})
    target_include_directories(${target} PUBLIC "${CMAKE_SOURCE_DIR}/src")
endfunction()

# zorvane_library(name SOURCES ... LIBS ...)
# The program's own code converts between bytes and text only on purpose.
set(ZORVANE_STRICT_DEFINES QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
                           QT_NO_CAST_FROM_BYTEARRAY QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

function(zorvane_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    zorvane_target_defaults(${name})
    target_compile_definitions(${name} PRIVATE ${ZORVANE_STRICT_DEFINES})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    if(ZORVANE_FUZZ)
        # The fuzzers are guided by the coverage of the code they reach, not
        # only of their own source.
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
endfunction()

# zorvane_program(name SOURCES ... LIBS ... [DESTINATION subfolder])
# The program lands in the staged working folder, and installs there too.
function(zorvane_program name)
    cmake_parse_arguments(ARG "" "DESTINATION;OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    zorvane_target_defaults(${name})
    target_compile_definitions(${name} PRIVATE ${ZORVANE_STRICT_DEFINES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    set(dest "${ZORVANE_STAGE_DIR}")
    set(install_dest "${ZORVANE_INSTALL_SUBDIR}")
    if(ARG_DESTINATION)
        set(dest "${dest}/${ARG_DESTINATION}")
        set(install_dest "${install_dest}/${ARG_DESTINATION}")
    endif()
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${dest}")
    if(ARG_OUTPUT_NAME)
        set_target_properties(${name} PROPERTIES OUTPUT_NAME "${ARG_OUTPUT_NAME}")
    endif()
    install(TARGETS ${name} RUNTIME DESTINATION "${install_dest}")
endfunction()

# zorvane_test(name SOURCES ... LIBS ...): one GoogleTest executable, headless.
function(zorvane_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    zorvane_target_defaults(${name})
    target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} zorvane_testsupport)
    target_compile_definitions(${name} PRIVATE
        ZORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}" ZORVANE_STAGE_DIR="${ZORVANE_STAGE_DIR}")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()

# The empty folders of the working folder; later targets fill them.
set(ZORVANE_WORKING_FOLDERS Engines Pictures/Packets Pictures/Surprises Sounds Fonts)
function(zorvane_stage_folders)
    set(dirs)
    foreach(d ${ZORVANE_WORKING_FOLDERS})
        list(APPEND dirs "${ZORVANE_STAGE_DIR}/${d}")
        install(DIRECTORY DESTINATION "${ZORVANE_INSTALL_SUBDIR}/${d}")
    endforeach()
    add_custom_target(zorvane_stage ALL COMMAND ${CMAKE_COMMAND} -E make_directory ${dirs}
        COMMENT "Staging the working folder")
endfunction()
