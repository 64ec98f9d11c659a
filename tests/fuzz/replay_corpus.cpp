// Without libFuzzer (the gcc builds) a fuzz target still runs its checks on every file of its
// seed corpus, so the everyday suite holds the parsers to their oracles too.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int seeds = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++seeds;
        }
    }
    std::printf("%d seeds passed\n", seeds);
    return seeds > 0 ? 0 : 1;  // an empty or missing corpus checks nothing
}
