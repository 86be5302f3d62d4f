# The IP pane's host side: command runner and capture file, ping, IP assignment, neighbour command,
# and the POSIX host adapters that stand in for the Windows host commands.
if(WIN32)
    set(pelmora2_host_platform win)
else()
    set(pelmora2_host_platform posix)
endif()

add_library(pelmora2_ipassign STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/platform/CommandRunner.h
    ${CMAKE_CURRENT_SOURCE_DIR}/platform/CommandRunner_${pelmora2_host_platform}.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/platform/CaptureFolder.h
    ${CMAKE_CURRENT_SOURCE_DIR}/platform/CaptureFolder_${pelmora2_host_platform}.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HostShell.h
    ${CMAKE_CURRENT_SOURCE_DIR}/HostShell.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/CaptureFile.h
    ${CMAKE_CURRENT_SOURCE_DIR}/CaptureFile.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HostAddressText.h
    ${CMAKE_CURRENT_SOURCE_DIR}/HostAddressText.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/NeighborCommand.h
    ${CMAKE_CURRENT_SOURCE_DIR}/NeighborCommand.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/IpPaneOperations.h
    ${CMAKE_CURRENT_SOURCE_DIR}/IpPaneOperations.cpp)
target_include_directories(pelmora2_ipassign PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}
                                                    ${CMAKE_CURRENT_SOURCE_DIR}/platform)
target_link_libraries(pelmora2_ipassign PUBLIC pelmora2_input Qt6::Core)
if(TARGET pelmora2_hostchecks)
    target_link_libraries(pelmora2_ipassign PUBLIC pelmora2_hostchecks)
endif()

# The host adapters go next to the program, in <bin>/hostcmd, where the runner looks for them.
set(pelmora2_hostcmd_files arp ping Ping netsh chcp hostcmd-lib.sh)
set(pelmora2_hostcmd_outputs)
foreach(adapter ${pelmora2_hostcmd_files})
    set(source ${CMAKE_CURRENT_SOURCE_DIR}/hostcmd/${adapter})
    set(target_file ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/hostcmd/${adapter})
    add_custom_command(OUTPUT ${target_file}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/hostcmd
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${target_file}
        DEPENDS ${source}
        COMMENT "Host adapter ${adapter}")
    list(APPEND pelmora2_hostcmd_outputs ${target_file})
endforeach()
add_custom_target(pelmora2_hostcmd ALL DEPENDS ${pelmora2_hostcmd_outputs})
add_dependencies(pelmora2_ipassign pelmora2_hostcmd)
if(NOT WIN32)
    list(TRANSFORM pelmora2_hostcmd_files PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/hostcmd/)
    install(PROGRAMS ${pelmora2_hostcmd_files} DESTINATION bin/hostcmd)
endif()

include(${CMAKE_CURRENT_SOURCE_DIR}/tests/IpAssignTests.cmake OPTIONAL)
