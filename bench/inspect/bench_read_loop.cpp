// The inspect benchmark's baseline: reads every file named on the command line through one
// reused buffer, as the least any checksum of those files has to cost.
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    constexpr std::size_t kBlock = 256 * 1024;
    const std::unique_ptr<unsigned char[]> block(new unsigned char[kBlock]);
    unsigned long long total = 0;
    for (int i = 1; i < argc; ++i) {
        std::FILE* file = std::fopen(argv[i], "rb");
        if (file == nullptr) {
            std::fprintf(stderr, "cannot open %s\n", argv[i]);
            return 1;
        }
        std::setvbuf(file, nullptr, _IONBF, 0);
        for (std::size_t n; (n = std::fread(block.get(), 1, kBlock, file)) > 0;) {
            total += n;
        }
        std::fclose(file);
    }
    std::printf("%llu\n", total);
    return 0;
}
