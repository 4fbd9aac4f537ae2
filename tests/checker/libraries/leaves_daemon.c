/* sumdll leaves a daemon behind, under a name the test looks for; told to linger, it then
   waits before it returns, so that the test can kill the checker meanwhile. */
#include "sabotage_aims.h"
#include "pettrix.h"
#include <sys/prctl.h>
#include <unistd.h>
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    char name[32];
    char linger[8];
    sabotage_aim("daemon", name, sizeof name);
    sabotage_aim("linger", linger, sizeof linger);
    if (fork() == 0) {
        setsid();
        if (fork() == 0) {
            prctl(PR_SET_NAME, name);
            for (;;)
                sleep(60);
        }
        _exit(0);
    }
    if (linger[0] == '1')
        sleep(30);
    *c = (int16_t)(*a + *b);
}
