# Replies from the control unit are untrusted bytes: the header parser and the whole exchange.
drunvale_add_fuzzer(link_response_fuzzer
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/link_response_fuzzer.cpp
  LIBS link platform_doubles
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/link_corpus)
