# The WAV reader on arbitrary bytes; the seeds come from make_wav_corpus.py.
drunvale_add_fuzzer(wav_reader_fuzzer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/wav_reader_fuzzer.cpp
  LIBS sound
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/wav_corpus)
