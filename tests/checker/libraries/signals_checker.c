/* sumdll stops the checker, and then kills it. */
#include "sabotage_aims.h"
#include "pettrix.h"
#include <errno.h>
#include <signal.h>
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    char checker[32];
    sabotage_aim("checker", checker, sizeof checker);
    if (kill((pid_t)atoi(checker), SIGSTOP) != 0)
        printf("%s\n", strerror(errno));
    if (kill((pid_t)atoi(checker), SIGKILL) != 0)
        printf("%s\n", strerror(errno));
    *c = (int16_t)(*a + *b);
}
