#!/bin/sh
# The web server's CGI entry: the web backend of the build the unit runs.
exec "${ONU_BUILD_DIR:?}/onu-cgi"
