# The settings file: arbitrary bytes as the content of 1.0.reg, through the parser and Load.
if(TARGET settings)
  drunvale_add_fuzzer(store_fuzzer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/store_fuzzer.cpp
    LIBS settings
    CORPUS ${CMAKE_CURRENT_LIST_DIR}/store_corpus)
endif()
