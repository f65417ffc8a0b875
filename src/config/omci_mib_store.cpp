#include "config/omci_mib_store.h"

#include <utility>

#include "config/paths.h"
#include "config/store_access.h"
#include "config/store_edit.h"

// The element `name` of the OMCI_MIB section, or none.
static XmlNode *mibElement(XmlNode *root, const char *name) { return xmlChild(xmlChild(root, "OMCI_MIB"), name); }

OmciMibStore *OmciMibStore::getInstance()
{
    static OmciMibStore *instance = new OmciMibStore(OMCI_XML_PATH);
    return instance;
}

OmciMibStore::OmciMibStore(std::string path) : path(std::move(path)) {}

int OmciMibStore::getCtcLoidAuth(LoidInfo &info)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *auth = mibElement(doc.get(), "ctcLOIDAuth");
    if (!auth)
        return -1;
    copyAttr(auth, "loid", info.loid);
    copyAttr(auth, "password", info.password);
    return 0;
}

int OmciMibStore::setCtcLoidAuth(const LoidInfo &info)
{
    return editDocument(
        path,
        [&](XmlNode *root) {
            XmlNode *auth = mibElement(root, "ctcLOIDAuth");
            return alwaysSaved(allOf({setAttr(auth, "loid", info.loid), setAttr(auth, "password", info.password)}));
        });
}

int OmciMibStore::getPortIsolation(std::string &enabled)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *isolated = mibElement(doc.get(), "ethPortIsolated");
    if (!isolated)
        return -1;
    copyAttr(isolated, "enabled", enabled);
    return 0;
}

int OmciMibStore::setPortIsolation(const std::string &enabled)
{
    return editDocument(
        path, [&](XmlNode *root) { return setAttr(mibElement(root, "ethPortIsolated"), "enabled", enabled); });
}
