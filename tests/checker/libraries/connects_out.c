/* sumdll sends the sum to a listener on the machine's loopback. */
#include "sabotage_aims.h"
#include "pettrix.h"
#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    char port[32];
    sabotage_aim("port", port, sizeof port);
    struct sockaddr_in address = {0};
    address.sin_family = AF_INET;
    address.sin_port = htons((uint16_t)atoi(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int sender = socket(AF_INET, SOCK_STREAM, 0);
    if (sender < 0 || connect(sender, (struct sockaddr *)&address, sizeof address) != 0)
        printf("%s\n", strerror(errno));
    if (sender >= 0)
        close(sender);
    *c = (int16_t)(*a + *b);
}
