// A second process for the exclusivity tests: opens COM<n> through the
// library, prints the result, holds the port for the given milliseconds.
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "Commport.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    SetCommPort(atoi(argv[1]));
    const int32_t code = OpenPort();
    printf("%d\n", code);
    fflush(stdout);
    if (argc > 2) usleep(static_cast<useconds_t>(atoi(argv[2])) * 1000);
    ClosePort();
    return 0;
}
