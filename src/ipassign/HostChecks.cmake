# Host checks at start-up with the bilingual messages, and the platform's answers to them.
if(WIN32)
    set(pelmora2_hostquestions_platform win)
else()
    set(pelmora2_hostquestions_platform posix)
endif()

add_library(pelmora2_hostchecks STATIC
    ${CMAKE_CURRENT_LIST_DIR}/HostChecks.h
    ${CMAKE_CURRENT_LIST_DIR}/HostChecks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/platform/HostQuestions.h
    ${CMAKE_CURRENT_LIST_DIR}/platform/HostQuestions_${pelmora2_hostquestions_platform}.cpp)
target_include_directories(pelmora2_hostchecks PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(pelmora2_hostchecks PUBLIC pelmora2_input Qt6::Core)
if(WIN32)
    target_link_libraries(pelmora2_hostchecks PRIVATE shell32)
endif()

set(pelmora2_hostchecks_tests ${CMAKE_CURRENT_LIST_DIR}/tests/hostchecks)
pelmora2_add_test(hostchecks_test
    SOURCES ${pelmora2_hostchecks_tests}/HostChecksTest.cpp
    LIBS pelmora2_hostchecks)
if(NOT WIN32)
    pelmora2_add_test(hostquestions_posix_test
        SOURCES ${pelmora2_hostchecks_tests}/PosixHostQuestionsTest.cpp
        LIBS pelmora2_hostchecks)
endif()
