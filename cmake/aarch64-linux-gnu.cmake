# Cross-building for 64-bit ARM Linux (a Raspberry Pi class board on Debian 12) with Debian's
# cross compiler and the arm64 libraries installed beside the amd64 ones (multiarch: they live
# under /usr/lib/aarch64-linux-gnu, so the root stays /). Tests run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(_triple aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${_triple}-gcc)
set(CMAKE_CXX_COMPILER ${_triple}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${_triple})
# Debian's wrapper looks only at the arm64 .pc files.
set(PKG_CONFIG_EXECUTABLE /usr/bin/${_triple}-pkg-config CACHE FILEPATH "")

# Libraries, headers and CMake packages only from the arm64 side, programs from this machine.
set(CMAKE_FIND_ROOT_PATH /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /usr/lib/x86_64-linux-gnu/cmake)

# Qt's moc, rcc and uic are Multi-Arch: foreign, so the host's serve; Qt finds them here.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")

# The ELF interpreter and the libraries are the multiarch ones, found from /.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-aarch64 -L /)
