# Page fetch and decode suite.
add_executable(fetch_tests
  ${CMAKE_CURRENT_LIST_DIR}/canned_server.cpp
  ${CMAKE_CURRENT_LIST_DIR}/code_page_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cp936_tables_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curl_global_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fetch_page_test.cpp
)
target_link_libraries(fetch_tests PRIVATE engine test_support GTest::gtest_main)
# The vendor table is the reference of the code page tests.
target_compile_definitions(fetch_tests PRIVATE
  CUIJIAN_CP936_TABLE="${PROJECT_SOURCE_DIR}/engine/data/CP936.TXT")
gtest_discover_tests(fetch_tests DISCOVERY_TIMEOUT 30)
