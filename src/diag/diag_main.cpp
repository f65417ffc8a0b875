// onu-diag NAME: runs one console diagnostic routine. Exit status 0 when the
// routine's operation succeeded, 1 when it failed, 2 for an unknown name.
#include <cstdio>

#include "diag/diag_routines.h"

int main(int argc, char **argv)
{
    DiagRoutine routine = argc == 2 ? findDiagRoutine(argv[1]) : nullptr;
    if (!routine) {
        std::fprintf(stderr, "%s\n", diagUsage().c_str());
        return 2;
    }
    return routine() == 0 ? 0 : 1;
}
