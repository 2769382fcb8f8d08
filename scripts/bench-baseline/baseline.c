/* The least program that does the durable work of a launch run with every event due: for each
 * of N events, one detached start of a program (its own session, never waited for) and one
 * atomic, synced replacement of the settings file (FOLDER/Tarvona.ini's bytes, as
 * FOLDER/baseline.ini). The bench compares Tarvona with it.
 * Usage: baseline FOLDER N PROGRAM (N = 0: an empty process). */
#define _GNU_SOURCE
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <stdio.h>
#include <unistd.h>

extern char **environ;

static int replace(int folder, const char *bytes, size_t size) {
    const int fd = openat(folder, "baseline.ini.new", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || write(fd, bytes, size) != (ssize_t)size || fsync(fd) != 0 || close(fd) != 0)
        return -1;
    if (renameat(folder, "baseline.ini.new", folder, "baseline.ini") != 0) return -1;
    return fsync(folder);
}

int main(int argc, char **argv) {
    if (argc != 4) return 2;
    const int count = atoi(argv[2]);
    if (count == 0) return 0;
    const int folder = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return 1;
    static char bytes[1 << 16];
    const int table = openat(folder, "Tarvona.ini", O_RDONLY | O_CLOEXEC);
    const ssize_t size = table < 0 ? -1 : read(table, bytes, sizeof bytes);
    if (size < 0) return 1;
    close(table);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    for (int i = 0; i < count; ++i) {
        char *child[] = {argv[3], NULL};
        pid_t pid;
        if (posix_spawn(&pid, argv[3], NULL, &attributes, child, environ) != 0) return 1;
        if (replace(folder, bytes, (size_t)size) != 0) return 1;
    }
    return 0;
}
