// Runs a fuzz target without libFuzzer: every file named on the command line,
// then a number of seeded random inputs (--runs N, --seed S). Used by ordinary
// builds so that each target is compiled and exercised under CTest.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    long runs = 1000;
    unsigned seed = 12345;
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
            runs = std::atol(argv[++i]);
        } else if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) {
            seed = unsigned(std::atol(argv[++i]));
        } else {
            ++files;
            std::ifstream in(argv[i], std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        }
    }
    std::mt19937 rng(seed);
    std::vector<uint8_t> buf;
    for (long r = 0; r < runs; ++r) {
        // Mostly short inputs, sometimes long ones; a bias toward printable
        // bytes and line ends so that text parsers get past their first check.
        const size_t len = (r % 10 == 0) ? rng() % 70000 : rng() % 512;
        buf.resize(len);
        const int mode = rng() % 3;
        for (auto &b : buf) {
            const unsigned v = rng();
            if (mode == 0)
                b = uint8_t(v);
            else if (mode == 1)
                b = (v % 16 == 0) ? uint8_t("\r\n%,:#*"[v % 7]) : uint8_t(0x20 + v % 95);
            else
                b = uint8_t("%A%N%S%D:%DIR:%BOX: 0123456789,\r\n\xAAW\x03\x04"[v % 37]);
        }
        LLVMFuzzerTestOneInput(buf.data(), buf.size());
    }
    std::printf("%ld random inputs and %d files run\n", runs, files);
    return 0;
}
