/* What a sabotaging library aims at, as the test wrote it beside the library: one "key=value"
   line each (secret, outside, port, sibling, checker, daemon). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char sabotage_anchor = 0;

static void sabotage_aim(const char *key, char *value, size_t room)
{
    Dl_info self;
    char path[4096];
    char line[4096];
    value[0] = '\0';
    if (!dladdr(&sabotage_anchor, &self) || !self.dli_fname)
        return;
    snprintf(path, sizeof path, "%s", self.dli_fname);
    char *slash = strrchr(path, '/');
    if (!slash)
        return;
    snprintf(slash + 1, sizeof path - (size_t)(slash + 1 - path), "aims.txt");
    FILE *file = fopen(path, "r");
    if (!file)
        return;
    while (fgets(line, sizeof line, file)) {
        size_t length = strlen(key);
        if (strncmp(line, key, length) == 0 && line[length] == '=') {
            const char *found = line + length + 1;
            size_t count = strcspn(found, "\n");
            count = count < room - 1 ? count : room - 1;
            memcpy(value, found, count);
            value[count] = '\0';
        }
    }
    fclose(file);
}
