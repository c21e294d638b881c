// zk_stamp_exec PROGRAM [ARGS...]: puts CLOCK_MONOTONIC (ns) into ZK_BENCH_T0 and replaces
// itself with PROGRAM, so the swap counter can tell how long after exec the first frame came.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

int main(int argc, char* argv[]) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    char stamp[32];
    snprintf(stamp, sizeof stamp, "%lld", now.tv_sec * 1000000000LL + now.tv_nsec);
    setenv("ZK_BENCH_T0", stamp, 1);
    execv(argv[1], argv + 1);
    perror("execv");
    return 127;
}
