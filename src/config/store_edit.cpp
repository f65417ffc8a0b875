#include "config/store_edit.h"

#include "config/resource_lock.h"
#include "config/save_document.h"
#include "config/store_access.h"
#include "log/log.h"

static int unsavedWrites = 0;

int editDocument(const std::string &path, const std::function<Edit(XmlNode *root)> &edit)
{
    ResourceLock lock(path);
    if (!lock.held()) {
        logTrace("cannot lock %s, not written", path.c_str());
        ++unsavedWrites;
        return -1;
    }
    DocumentHandle doc = openDocument(path);
    if (!doc)
        return -1;
    switch (edit(doc.get())) {
    case Edit::NOT_FOUND:
        return -1;
    case Edit::UNCHANGED:
        return 0;
    case Edit::CHANGED:
        break;
    }
    if (saveDocument(path, doc.get()) != 0) {
        logTrace("cannot save %s", path.c_str());
        ++unsavedWrites;
        return -1;
    }
    return 0;
}

Edit setText(XmlNode *element, const std::string &text)
{
    if (!element)
        return Edit::NOT_FOUND;
    if (text == element->txt)
        return Edit::UNCHANGED;
    xmlSetText(element, text.c_str());
    return Edit::CHANGED;
}

Edit setAttr(XmlNode *element, const char *name, const std::string &value)
{
    if (!element)
        return Edit::NOT_FOUND;
    const char *stored = xmlAttr(element, name);
    if (stored && value == stored)
        return Edit::UNCHANGED;
    xmlSetAttr(element, name, value.c_str());
    return Edit::CHANGED;
}

Edit allOf(std::initializer_list<Edit> steps)
{
    Edit result = Edit::UNCHANGED;
    for (Edit step : steps) {
        if (step == Edit::NOT_FOUND)
            return Edit::NOT_FOUND;
        if (step == Edit::CHANGED)
            result = Edit::CHANGED;
    }
    return result;
}

Edit alwaysSaved(Edit step) { return step == Edit::NOT_FOUND ? Edit::NOT_FOUND : Edit::CHANGED; }

int writeLeafText(const std::string &path, const char *section, const char *leaf, const std::string &text)
{
    return editDocument(
        path, [&](XmlNode *root) { return setText(xmlChild(xmlChild(root, section), leaf), text); });
}

int unsavedStoreWrites() { return unsavedWrites; }
