# Replies from the control unit are untrusted bytes: the header parser and the whole exchange.
# Run: build/fuzz/fuzz/link_response_fuzzer -max_total_time=30 <scratch dir> fuzz/link_corpus
drunvale_add_fuzzer(link_response_fuzzer
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/link_response_fuzzer.cpp
  LIBS link platform_doubles)
# Coverage guidance inside the code under test, not only the target's own file.
target_compile_options(link PRIVATE -fsanitize=fuzzer-no-link)
target_compile_options(platform_doubles PRIVATE -fsanitize=fuzzer-no-link)
