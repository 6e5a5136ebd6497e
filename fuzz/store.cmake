# The settings file: arbitrary bytes as the content of 1.0.reg, through the parser and Load.
# Run: build/fuzz/fuzz/store_fuzzer -max_total_time=30 <work-dir> fuzz/store_corpus
if(TARGET settings)
  drunvale_add_fuzzer(store_fuzzer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/store_fuzzer.cpp
    LIBS settings)
endif()
