// onu-diag NAME: runs one console diagnostic routine.
#include <cstdio>

#include "diag/diag_routines.h"

int runDiag(int argc, char **argv)
{
    DiagRoutine routine = argc == 2 ? findDiagRoutine(argv[1]) : nullptr;
    if (!routine) {
        std::fprintf(stderr, "%s\n", diagUsage().c_str());
        return 2;
    }
    return routine() == 0 ? 0 : 1;
}
