# Book file and download job suite.

# Temporary folders and file reading, shared with the front-end suite.
add_library(job_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/temp_dir.cpp)
target_include_directories(job_test_support PUBLIC ${PROJECT_SOURCE_DIR})

add_executable(job_tests
  ${CMAKE_CURRENT_LIST_DIR}/book_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/book_file_name_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/book_path_claim_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/download_book_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_calls_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fake_file_calls.cpp
)
target_link_libraries(job_tests PRIVATE engine test_support job_test_support GTest::gtest_main)
gtest_discover_tests(job_tests)
