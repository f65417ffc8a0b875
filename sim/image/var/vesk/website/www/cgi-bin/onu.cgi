#!/bin/sh
# The web server's CGI entry: the web backend of the build the unit runs.
# ONU_SIM_EMULATOR: the emulator of a build for another processor, or empty.
exec ${ONU_SIM_EMULATOR:-} "${ONU_BUILD_DIR:?}/onu-cgi"
