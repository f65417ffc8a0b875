/*
 * The floor of the request-cost benchmark: the least any CGI process does.
 * It writes the reply given as its argument to standard output and ends.
 * Linked statically, so no loader work either.
 */
#include <string.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 1;
    size_t left = strlen(argv[1]);
    const char *reply = argv[1];
    while (left > 0) {
        ssize_t written = write(STDOUT_FILENO, reply, left);
        if (written <= 0)
            return 1;
        reply += written;
        left -= (size_t)written;
    }
    return 0;
}
