# Tests of the IP pane's host side. They run the real runner with stand-in host commands first on PATH.
add_library(pelmora2_ipassign_test_support STATIC
    ${CMAKE_CURRENT_LIST_DIR}/support/FakeAdapters.h
    ${CMAKE_CURRENT_LIST_DIR}/support/FakeAdapters.cpp)
target_include_directories(pelmora2_ipassign_test_support PUBLIC ${CMAKE_CURRENT_LIST_DIR}/support)
target_compile_definitions(pelmora2_ipassign_test_support PRIVATE
    IPASSIGN_TEST_DATA="${CMAKE_CURRENT_LIST_DIR}/data")
target_link_libraries(pelmora2_ipassign_test_support PUBLIC Qt6::Core)

pelmora2_add_test(ipassign_capture_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/CaptureFileTest.cpp
    LIBS pelmora2_ipassign)
pelmora2_add_test(ipassign_runner_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/CommandRunnerTest.cpp
    LIBS pelmora2_ipassign pelmora2_ipassign_test_support)

add_library(pelmora2_ipassign_testbed STATIC
    ${CMAKE_CURRENT_LIST_DIR}/support/IpPaneTestBed.h
    ${CMAKE_CURRENT_LIST_DIR}/support/IpPaneTestBed.cpp)
target_link_libraries(pelmora2_ipassign_testbed PUBLIC
    pelmora2_ipassign pelmora2_ipassign_test_support pelmora2_test_support)

pelmora2_add_test(ipassign_ping_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PingOperationsTest.cpp
    LIBS pelmora2_ipassign_testbed)
pelmora2_add_test(ipassign_set_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SetOperationsTest.cpp
    LIBS pelmora2_ipassign_testbed)
pelmora2_add_test(ipassign_hostcmd_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/HostAdaptersTest.cpp
    LIBS Qt6::Core)
if(TARGET ipassign_hostcmd_test)
    target_compile_definitions(ipassign_hostcmd_test PRIVATE
        IPASSIGN_HOSTCMD_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/hostcmd")
    add_dependencies(ipassign_hostcmd_test pelmora2_hostcmd)
endif()
