// Shared by the fuzz targets: their scratch folder, and the input laid down as a file. It lies in TMPDIR (which
// fuzz/run-fuzzers points at memory where it can, as the stores sync every
// save) and goes, with all in it, when the target ends. Called once per target.
#ifndef ONU_FUZZ_FUZZ_SUPPORT_H
#define ONU_FUZZ_FUZZ_SUPPORT_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string scratchFolder()
{
    static std::string folder;
    folder = (std::filesystem::temp_directory_path() / "onu_fuzz_XXXXXX").string();
    if (!mkdtemp(&folder[0]))
        std::abort();
    std::atexit([] { std::filesystem::remove_all(folder); });
    return folder;
}

// Replaces the file at path with the fuzzer's input.
inline void writeInput(const std::string &path, const uint8_t *data, size_t size)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

#endif
