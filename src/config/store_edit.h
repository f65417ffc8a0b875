// The one way a store changes its file: under the file's lock, parse it, find
// the element, compare, set and save, so that writes from several processes
// to one file never lose each other's changes. Reads take no lock: a save
// replaces the file by rename, so a reader sees the old or the new file whole.
#ifndef ONU_CONFIG_STORE_EDIT_H
#define ONU_CONFIG_STORE_EDIT_H

#include <functional>
#include <initializer_list>
#include <string>

#include "xml/xml.h"

// What an edit did to the parsed document.
enum class Edit { NOT_FOUND, UNCHANGED, CHANGED };

// Applies `edit` to the document of the file at `path` while holding that
// path's ResourceLock, and saves the document when the edit changed it.
// 0 when saved or nothing needed saving; -1, the file as it was, when the lock
// cannot be held, the file does not open, the edit finds nothing or the save
// fails. The document keeps pointers to the texts an edit sets (it does not
// copy them): they must outlive this call.
int editDocument(const std::string &path, const std::function<Edit(XmlNode *root)> &edit);

// Steps of an edit. NOT_FOUND without an element; UNCHANGED when the text or
// attribute already holds the value (an absent attribute is added).
Edit setText(XmlNode *element, const std::string &text);
Edit setAttr(XmlNode *element, const char *name, const std::string &value);
// Steps taken in order as one: NOT_FOUND when any found nothing, otherwise
// CHANGED when any changed.
Edit allOf(std::initializer_list<Edit> steps);
// For writes that rewrite their file even when it already holds the values.
Edit alwaysSaved(Edit step);

// Sets the text of section/leaf below the root, saving only a change.
int writeLeafText(const std::string &path, const char *section, const char *leaf, const std::string &text);

// Store writes of this process that found what they change but could not store
// it (lock or save failed). Callers that ignore a write's result, where a
// missing element is no failure, compare it before and after so as not to
// acknowledge a change that was not stored.
int unsavedStoreWrites();

#endif
