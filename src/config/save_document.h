// Writes a parsed configuration document back to its file.
#ifndef ONU_CONFIG_SAVE_DOCUMENT_H
#define ONU_CONFIG_SAVE_DOCUMENT_H

#include <string>

#include "xml/xml.h"

// Serialises the whole document of `root` and replaces the file at `path` with it.
// The text goes to a temporary file in the same folder first, which is then renamed
// over the target, so readers see either the old or the new file, never a part.
// An empty serialisation leaves the file untouched. Failures are silent.
void saveDocument(const std::string &path, XmlNode *root);

#endif
