// Scratch files, tool output and the unit's own files, read whole.
#ifndef ONU_DEVICE_WHOLE_FILE_H
#define ONU_DEVICE_WHOLE_FILE_H

#include <string>

// Replaces `bytes` by the contents of the file at `path`. -1 when it cannot
// be opened or read; with `regularOnly`, also when it is anything but a
// regular file (no link is followed, no FIFO waited on).
int readWholeFile(const std::string &path, std::string &bytes, bool regularOnly = false);

// Opens a regular file for reading; -1 for anything else. Links are not
// followed, and opening never waits (as it would on a FIFO).
int openRegularFile(const std::string &path);

#endif
