// Without libFuzzer: runs every file of the corpus directories named on
// the command line once through the target. Fails when a directory holds
// no file, so that a lost corpus does not pass unnoticed.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "fuzz_check.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        int files = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i])) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++files;
        }
        std::cout << argv[i] << ": " << files << " inputs\n";
        if (files == 0) return 1;
    }
    return argc > 1 ? 0 : 1;
}
