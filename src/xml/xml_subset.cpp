// The internal subset of a document type declaration (entities, attribute defaults,
// processing instructions) and the processing-instruction table.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "xml/xml_internal.h"

using namespace xmlimpl;

namespace {

char cdataMark[] = " ";  // type mark of a CDATA attribute
char otherMark[] = "*";  // type mark of any other declared type

bool isBlank(char c) { return c == '\t' || c == '\r' || c == '\n' || c == ' '; }
// The C locale's blanks, compared directly: isspace would bring the C library's
// character tables into every process that reads a document type declaration.
bool isSpace(char c) { return c != '\0' && std::strchr(" \t\n\v\f\r", c) != nullptr; }

char *skipSpaces(char *p)
{
    while (isSpace(*p))
        ++p;
    return p;
}

char *toBlank(char *p)
{
    while (*p && !isBlank(*p))
        ++p;
    return p;
}

bool startsWith(const char *p, const char *word) { return strncmp(p, word, strlen(word)) == 0; }

size_t pairCount(char **table)
{
    size_t n = 0;
    while (table[2 * n])
        ++n;
    return n;
}

// Whether a value leads back to the entity being declared (`name`, with its ';') through
// its own references or through those of the entities it refers to. References start
// with '&'; those to parameter entities also with '%', as they are expanded. Entities
// already looked at are not looked at again: the declared ones cannot form a loop
// among themselves, so a second visit finds nothing new.
bool leadsTo(const char *value, const char *name, char **table, const char *marks, std::vector<bool> &seen)
{
    size_t nameLength = strlen(name);
    for (const char *ref = strpbrk(value, marks); ref; ref = strpbrk(ref + 1, marks)) {
        if (strncmp(ref + 1, name, nameLength) == 0)
            return true;
        for (size_t i = 0; table[2 * i]; ++i) {
            if (!startsWith(ref + 1, table[2 * i]))
                continue;
            if (!seen[i]) {
                seen[i] = true;
                if (leadsTo(table[2 * i + 1], name, table, marks, seen))
                    return true;
            }
            break;
        }
    }
    return false;
}

class SubsetReader {
public:
    SubsetReader(XmlDocument *doc) : doc_(doc), parameters_{nullptr} {}
    ~SubsetReader();

    bool read(char *subset);

private:
    char *entity(char *p);
    char *attlist(char *p);
    void recordDefault(char *element, char *name, char *value, char *mark);
    char *fail(const char *p, const char *message, const char *argument = nullptr);

    XmlDocument *doc_;
    std::vector<char *> parameters_;  // parameter entities: name, replacement, ..., null
    bool failed_ = false;
};

SubsetReader::~SubsetReader()
{
    for (size_t i = 1; i + 1 < parameters_.size(); i += 2)
        if (!inWorkArea(doc_, parameters_[i]))
            free(parameters_[i]);
}

char *SubsetReader::fail(const char *p, const char *message, const char *argument)
{
    setError(doc_, p, message, argument);
    failed_ = true;
    return nullptr;
}

// Each declaration reader returns where scanning goes on, or none to stop reading.
char *SubsetReader::entity(char *declaration)
{
    char *p = skipSpaces(declaration + 8);
    bool parameter = *p == '%';
    while (isBlank(*p) || *p == '%')
        ++p;
    char *name = p;
    char *nameEnd = toBlank(p);
    if (!*nameEnd)
        return nullptr;
    *nameEnd = ';';
    p = skipSpaces(nameEnd + 1);
    if (*p != '"' && *p != '\'') {
        char *gt = strchr(p, '>');
        return gt ? gt + 1 : nullptr;
    }
    char *value = p + 1;
    char *closing = strchr(value, *p);
    if (!closing)
        return nullptr;
    nameEnd[1] = '\0';
    *closing = '\0';
    char **table = parameter ? parameters_.data() : doc_->ent;
    size_t length;
    char *replacement = decode(value, static_cast<size_t>(closing - value), parameterEntities(doc_, parameters_.data()),
                               '%', 0, false, &length);
    std::vector<bool> seen(pairCount(table));
    if (leadsTo(replacement, name, table, parameter ? "&%" : "&", seen)) {
        if (replacement != value)
            free(replacement);
        return fail(declaration, "circular entity declaration &%s", name);
    }
    if (parameter) {
        parameters_.back() = name;
        parameters_.push_back(replacement);
        parameters_.push_back(nullptr);
    } else {
        size_t n = 2 * pairCount(doc_->ent);
        doc_->ent = static_cast<char **>(realloc(doc_->ent, (n + 3) * sizeof(char *)));
        doc_->ent[n] = name;
        doc_->ent[n + 1] = replacement;
        doc_->ent[n + 2] = nullptr;
    }
    return closing + 1;
}

void SubsetReader::recordDefault(char *element, char *name, char *value, char *mark)
{
    char **list = defaultsFor(doc_->attr, element);
    size_t lists = 0;
    if (doc_->attr != emptyTable)
        while (doc_->attr[lists])
            ++lists;
    size_t index = lists;
    if (list) {
        for (index = 0; doc_->attr[index] != list; ++index) {}
    } else {
        char ***table = doc_->attr == emptyTable ? nullptr : doc_->attr;
        doc_->attr = static_cast<char ***>(realloc(table, (lists + 2) * sizeof(char **)));
        list = static_cast<char **>(malloc(2 * sizeof(char *)));
        list[0] = element;
        list[1] = nullptr;
        doc_->attr[lists] = list;
        doc_->attr[lists + 1] = nullptr;
    }
    size_t slots = 1;
    while (list[slots])
        slots += 3;
    list = static_cast<char **>(realloc(list, (slots + 4) * sizeof(char *)));
    list[slots] = name;
    list[slots + 1] = value;
    list[slots + 2] = mark;
    list[slots + 3] = nullptr;
    doc_->attr[index] = list;
}

char *SubsetReader::attlist(char *declaration)
{
    char *p = skipSpaces(declaration + 9);
    if (!*p)
        return fail(declaration, "unclosed <!ATTLIST");
    char *element = p;
    while (*p && !isBlank(*p) && *p != '>')
        ++p;
    if (*p == '>')
        return p + 1;
    if (!*p)
        return fail(declaration, "unclosed <!ATTLIST");
    *p++ = '\0';
    for (;;) {
        p = skipSpaces(p);
        if (!*p)
            return p;
        if (*p == '>')
            return p + 1;
        char *name = p;
        p = toBlank(p);
        if (!*p)
            return fail(declaration, "malformed <!ATTLIST");
        *p++ = '\0';
        p = skipSpaces(p);
        bool cdata = startsWith(p, "CDATA");
        if (startsWith(p, "NOTATION"))
            p = skipSpaces(p + 8);
        if (*p == '(') {
            p = strchr(p, ')');
            if (!p)
                return fail(declaration, "malformed <!ATTLIST");
        } else {
            p = toBlank(p);
        }
        while (isBlank(*p) || *p == ')')
            ++p;
        if (startsWith(p, "#FIXED"))
            p = skipSpaces(p + 6);
        char *mark = cdata ? cdataMark : otherMark;
        if (*p == '#') {
            while (*p && !isBlank(*p) && *p != '>')
                ++p;
            if (!cdata)
                recordDefault(element, name, nullptr, mark);
        } else if (*p == '"' || *p == '\'') {
            char *value = p + 1;
            char *closing = strchr(value, *p);
            if (!closing)
                return fail(declaration, "malformed <!ATTLIST");
            *closing = '\0';
            size_t length;
            char *decoded = decode(value, static_cast<size_t>(closing - value), documentEntities(doc_),
                                   cdata ? ' ' : '*', 0, false, &length);
            recordDefault(element, name, decoded, mark);
            p = closing + 1;
        } else {
            return fail(declaration, "malformed <!ATTLIST");
        }
    }
}

bool SubsetReader::read(char *subset)
{
    char *p = subset;
    while (p && !failed_) {
        p += strcspn(p, "<%");
        if (!*p)
            break;
        if (*p == '%') {
            if (doc_->standalone != 1)
                break;
            ++p;
        } else if (startsWith(p, "<!ENTITY")) {
            p = entity(p);
        } else if (startsWith(p, "<!ATTLIST")) {
            p = attlist(p);
        } else if (startsWith(p, "<!--")) {
            p = findText(p + 4, "-->");
            if (p)
                p += 3;
        } else if (startsWith(p, "<?")) {
            char *end = findText(p + 2, "?>");
            if (end) {
                *end = '\0';
                recordProcInstr(doc_, p + 2);
                end += 2;
            }
            p = end;
        } else {
            p = strchr(p, '>');
            if (p)
                ++p;
        }
    }
    return doc_->err[0] == '\0';
}

}  // namespace

namespace xmlimpl {

bool readInternalSubset(XmlDocument *doc, char *subset) { return SubsetReader(doc).read(subset); }

char **defaultsFor(char ***table, const char *element)
{
    for (; *table; ++table)
        if (strcmp((*table)[0], element) == 0)
            return *table;
    return nullptr;
}

void recordProcInstr(XmlDocument *doc, char *text)
{
    char *target = text;
    char *p = toBlank(text);
    if (*p) {
        *p = '\0';
        p = skipSpaces(p + 1);
    }
    if (strcmp(target, "xml") == 0) {
        if (char *standalone = findText(p, "standalone")) {
            p = standalone + 10;
            while (isBlank(*p) || *p == '=' || *p == '"' || *p == '\'')
                ++p;
            if (startsWith(p, "yes"))
                doc->standalone = 1;
        }
        return;
    }
    size_t lists = 0;
    if (doc->pi != emptyTable)
        while (doc->pi[lists] && strcmp(doc->pi[lists][0], target) != 0)
            ++lists;
    char **list;
    if (doc->pi != emptyTable && doc->pi[lists]) {
        list = doc->pi[lists];
    } else {
        char ***table = doc->pi == emptyTable ? nullptr : doc->pi;
        doc->pi = static_cast<char ***>(realloc(table, (lists + 2) * sizeof(char **)));
        doc->pi[lists + 1] = nullptr;
        list = static_cast<char **>(malloc(3 * sizeof(char *)));
        list[0] = target;
        list[1] = nullptr;
        list[2] = static_cast<char *>(calloc(1, 1));
    }
    size_t texts = 0;
    while (list[texts + 1])
        ++texts;
    char *marks = list[texts + 2];
    list = static_cast<char **>(realloc(list, (texts + 4) * sizeof(char *)));
    marks = static_cast<char *>(realloc(marks, texts + 2));
    marks[texts] = doc->root.name ? '>' : '<';
    marks[texts + 1] = '\0';
    list[texts + 1] = p;
    list[texts + 2] = nullptr;
    list[texts + 3] = marks;
    doc->pi[lists] = list;
}

}  // namespace xmlimpl
