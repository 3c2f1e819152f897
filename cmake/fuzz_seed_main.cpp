// Runs a fuzz target's entry point over every file of its seed folder, so that the seeds act as a
// regression test in the ordinary build. Exits non-zero when the folder is missing or empty.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SEED_FOLDER\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(argv[1], ec)) {
        std::fprintf(stderr, "seed folder %s is missing\n", argv[1]);
        return 2;
    }
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(argv[1])) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++count;
    }
    std::printf("%d seeds run\n", count);
    return count > 0 ? 0 : 2;
}
