// The reference loop for the join benchmark: read one chunk, write it, with
// nothing else around it.
//   plain_copy CHUNK TARGET SOURCE...
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

static bool writeAll(int fd, const char* p, ssize_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, size_t(n));
        if (w <= 0)
            return false;
        p += w;
        n -= w;
    }
    return true;
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: plain_copy CHUNK TARGET SOURCE...\n");
        return 2;
    }
    const long chunk = std::atol(argv[1]);
    std::vector<char> buf(size_t(chunk > 0 ? chunk : 1));
    const auto t0 = std::chrono::steady_clock::now();
    const int out = ::open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (out < 0) {
        std::perror(argv[2]);
        return 1;
    }
    long long total = 0;
    for (int i = 3; i < argc; ++i) {
        const int in = ::open(argv[i], O_RDONLY);
        if (in < 0) {
            std::perror(argv[i]);
            return 1;
        }
        ssize_t n;
        while ((n = ::read(in, buf.data(), buf.size())) > 0) {
            if (!writeAll(out, buf.data(), n)) {
                std::perror(argv[2]);
                return 1;
            }
            total += n;
        }
        ::close(in);
    }
    if (::close(out) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("bytes=%lld seconds=%.4f\n", total, s);
    return 0;
}
