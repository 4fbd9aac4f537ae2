/* sumdll writes 64 MiB into a file in /tmp, in / and in /dev/shm, and says where it could; a
   write that went through leaves its sum one too high. */
#include "pettrix.h"
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    static char block[1 << 20];
    const char *files[] = {"/tmp/large", "/large", "/dev/shm/large"};
    int written = 0;
    memset(block, 'x', sizeof block);
    for (size_t index = 0; index < sizeof files / sizeof files[0]; ++index) {
        int file = open(files[index], O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (file < 0)
            continue;
        long long bytes = 0;
        for (int count = 0; count < 64; ++count) {
            ssize_t done = write(file, block, sizeof block);
            if (done <= 0)
                break;
            bytes += done;
        }
        close(file);
        if (bytes > 0) {
            printf("wrote %lld bytes into %s\n", bytes, files[index]);
            written = 1;
        }
    }
    *c = (int16_t)(*a + *b + written);
}
