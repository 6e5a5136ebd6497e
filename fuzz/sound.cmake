# The WAV reader on arbitrary bytes.
drunvale_add_fuzzer(wav_reader_fuzzer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/wav_reader_fuzzer.cpp
  LIBS sound)
