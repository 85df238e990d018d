// The floor for reading tags in a process of its own: open every file named on the command
// line, read its first 64 KiB and last 4 KiB, close it.

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    static unsigned char head[64 * 1024], tail[4096];
    unsigned long sum = 0;
    for (int i = 1; i < argc; ++i) {
        const int fd = ::open(argv[i], O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st { };
        if (::fstat(fd, &st) == 0) {
            const ssize_t got = ::pread(fd, head, sizeof head, 0);
            const off_t at = std::max<off_t>(0, st.st_size - off_t(sizeof tail));
            const ssize_t end = ::pread(fd, tail, sizeof tail, at);
            sum += (got > 0 ? head[got - 1] : 0u) + (end > 0 ? tail[end - 1] : 0u);
        }
        ::close(fd);
    }
    std::printf("%lu\n", sum);
    return 0;
}
