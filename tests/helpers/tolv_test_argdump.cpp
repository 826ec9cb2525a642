// Reports the arguments it was started with: each one, followed by a zero
// byte, into the pipe named by TOLV_ARGDUMP. Tests of program starts read
// them back to see what arrived.
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    const char* pipePath = std::getenv("TOLV_ARGDUMP");
    if (pipePath == nullptr) {
        return 2;
    }
    std::FILE* out = std::fopen(pipePath, "wb");
    if (out == nullptr) {
        return 3;
    }
    for (int i = 1; i < argc; ++i) {
        std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, out);
    }
    return std::fclose(out) == 0 ? 0 : 4;
}
