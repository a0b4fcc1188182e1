# quarnel_add_test(<name> SOURCES ... [LIBRARIES ...] [OFFSCREEN] [LABELS ...] [TIMEOUT n]
#                  [WRAPPER command ...])
#
# One Qt Test executable run by ctest. OFFSCREEN runs it on Qt's offscreen platform,
# for widget tests that need no real display. WRAPPER runs it through a command that sets
# up its surroundings first, such as tests/e2e/with-x11.sh.
function(quarnel_add_test name)
    cmake_parse_arguments(ARG "OFFSCREEN" "TIMEOUT" "SOURCES;LIBRARIES;LABELS;WRAPPER" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test quarnel_warnings ${ARG_LIBRARIES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${ARG_WRAPPER} $<TARGET_FILE:${name}>)
    if(ARG_OFFSCREEN)
        set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    endif()
    if(ARG_LABELS)
        set_property(TEST ${name} PROPERTY LABELS ${ARG_LABELS})
    endif()
    if(ARG_TIMEOUT)
        set_property(TEST ${name} PROPERTY TIMEOUT ${ARG_TIMEOUT})
    endif()
endfunction()
