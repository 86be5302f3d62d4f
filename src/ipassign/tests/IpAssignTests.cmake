# The IP pane's host side run for real, with stand-in host commands first on PATH, and the shipped host
# adapters run directly on loopback.
pelmora2_add_test(ipassign_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/IpPaneTest.cpp
    LIBS pelmora2_ipassign pelmora2_test_support)
if(TARGET ipassign_test)
    target_compile_definitions(ipassign_test PRIVATE IPASSIGN_TEST_DATA="${CMAKE_CURRENT_LIST_DIR}/data")
endif()
