#!/bin/sh
# Simulated unit: stands for the file-system update. Records the archive it
# was handed (its size and MD5 sum) in $ONU_SIM_STATE/log/upgrade.log and
# installs nothing.
set -eu
archive=/tmp/jffs2_fs.tar.gz
if [ -f "$archive" ]; then
    echo "upgrade $archive $(wc -c <"$archive") bytes md5 $(md5sum <"$archive" | cut -d' ' -f1)"
else
    echo "upgrade $archive missing"
fi >>"${ONU_SIM_STATE:?}/log/upgrade.log"
