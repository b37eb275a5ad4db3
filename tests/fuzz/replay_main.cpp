// Runs a fuzz target over files instead of generated inputs: each argument is a file or a folder
// of files. Used where libFuzzer is not available, so every seed stays a regression test.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int RunFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 0;
    LLVMFuzzerTestOneInput(nullptr, 0);  // the empty input is always worth a run
    ++runs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg)) {
                runs += RunFile(entry.path());
            }
        } else if (std::filesystem::exists(arg)) {
            runs += RunFile(arg);
        }
    }
    std::printf("replayed %d inputs\n", runs);
    return 0;
}
