/* sumdll stores the sum and then forks without end: every process it starts forks again, and
   each new process counts the processes it can see; the first to see more than 300 (the sandbox's
   bound and more) says so, once, on its standard output. */
#define _GNU_SOURCE
#include "pettrix.h"
#include <ctype.h>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

static int processes_seen(void)
{
    int count = 0;
    DIR *processes = opendir("/proc");
    if (!processes)
        return 0;
    for (struct dirent *entry; (entry = readdir(processes)) != NULL;)
        count += isdigit((unsigned char)entry->d_name[0]) ? 1 : 0;
    closedir(processes);
    return count;
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
    for (;;) {
        const pid_t child = fork();
        if (child < 0) {
            sleep(1);
        } else if (child == 0 && processes_seen() > 300) {
            const int once = open("more-than-300", O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
            if (once >= 0) {
                printf("saw more than 300 processes\n");
                fflush(stdout);
            }
        }
    }
}
