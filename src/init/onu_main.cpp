// The unit's one program, run under the name of the part it is to play: the
// boot-time parameter initializer, the two CGI programs of the web server and
// the console diagnostics share their code and take the space of one program
// on the unit's flash. Any other name only says so: the initializer may
// reboot the unit, so it never runs unasked.
#include <cstdio>
#include <cstring>

#include "diag/diag_routines.h"
#include "init/parameter_initializer.h"
#include "web/cgi_host.h"

int main(int argc, char *argv[])
{
    const char *slash = argc > 0 ? std::strrchr(argv[0], '/') : nullptr;
    const char *name = slash ? slash + 1 : argc > 0 ? argv[0] : "";
    if (std::strcmp(name, "onu-init") == 0)
        return ParameterInitializer().run(argc, argv);
    if (std::strcmp(name, "onu-cgi") == 0 || std::strcmp(name, "onu.cgi") == 0)
        return runCgiHost();
    if (std::strcmp(name, "onu-metrics") == 0 || std::strcmp(name, "metrics") == 0)
        return runMetricsEndpoint();
    if (std::strcmp(name, "onu-diag") == 0)
        return runDiag(argc, argv);
    std::fprintf(stderr, "%s: run me as onu-init, onu-cgi (onu.cgi), onu-metrics (metrics) or onu-diag\n", name);
    return 2;
}
