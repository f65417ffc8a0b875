# Shared by the target toolchain files: Debian's cross compiler for
# ONU_TARGET_TRIPLET, its sysroot, and qemu user-mode emulation to run what it
# builds (tests, test discovery) on the build machine.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${ONU_TARGET_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${ONU_TARGET_TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${ONU_TARGET_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -L: the target's loader and C library come from the cross sysroot.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/${ONU_TARGET_QEMU} -L /usr/${ONU_TARGET_TRIPLET})

# The unit's flash is small: unused functions and data are dropped at link
# time, and the C++ runtime is linked in, so that a program carries only the
# parts of it that it uses and needs no libstdc++ on the unit.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--gc-sections -static-libstdc++ -static-libgcc")
