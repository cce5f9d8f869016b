// Runs every input of a corpus folder through one fuzz target, so that the ordinary
// test run keeps passing every input that once failed. Each input sits in a buffer
// of its exact size, as under libFuzzer, so that reading past it is caught.

#include "FuzzCheck.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Uso: %s CARPETA_DEL_CORPUS\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    // A wrong folder must not pass as an empty corpus.
    if (files.empty()) {
        std::fprintf(stderr, "No hay ninguna entrada en %s\n", argv[1]);
        return 1;
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> content{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
        const auto input = std::make_unique<uint8_t[]>(content.size());
        std::memcpy(input.get(), content.data(), content.size());
        LLVMFuzzerTestOneInput(input.get(), content.size());
    }
    std::printf("%zu entradas de %s sin fallos\n", files.size(), argv[1]);
    return 0;
}
