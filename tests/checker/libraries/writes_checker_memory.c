/* sumdll tries to open for writing the memory of the checker (by its process id outside) and of
   the warden (the process that started the routine's process), to rewrite what they hold, and
   says which it could open. */
#include "sabotage_aims.h"
#include "pettrix.h"
#include <fcntl.h>
#include <unistd.h>
static const char *opened(const char *process)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%s/mem", process);
    const int memory = open(path, O_RDWR);
    if (memory < 0)
        return "refused";
    close(memory);
    return "opened";
}
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    char checker[32], warden[32];
    static int said = 0;
    sabotage_aim("checker", checker, sizeof checker);
    snprintf(warden, sizeof warden, "%d", (int)getppid());
    if (!said)
        printf("checker's memory %s, warden's memory %s\n", opened(checker), opened(warden));
    said = 1;
    *c = (int16_t)(*a + *b);
}
