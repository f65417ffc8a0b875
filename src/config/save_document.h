// Writes a parsed configuration document back to its file.
#ifndef ONU_CONFIG_SAVE_DOCUMENT_H
#define ONU_CONFIG_SAVE_DOCUMENT_H

#include <string>

#include "xml/xml.h"

// Serialises the whole document of `root` and replaces the file at `path` with it.
// The text goes to a temporary file in the same folder first, which is synced and
// then renamed over the target, so readers see either the old or the new file,
// never a part. 0 when the new file is in place; -1 when the document serialises
// to nothing or any step fails (a full disk, say): the old file then stays as it
// was and no temporary file is left.
int saveDocument(const std::string &path, XmlNode *root);

#endif
