# 32-bit ARM, hard-float (Debian armhf):
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-armhf.cmake
set(CMAKE_SYSTEM_PROCESSOR arm)
set(ONU_TARGET_TRIPLET arm-linux-gnueabihf)
set(ONU_TARGET_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
