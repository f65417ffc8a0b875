// Reads the unit's replies: objects with bare keys and double-quoted values,
// {key:"value",...}, alone or in "[" "]" with commas between them. Nothing in
// a value is escaped, so a value ends at the quote that is followed by "}" or
// by "," and the next key.
const KEY = /[A-Za-z0-9_]+/y;
const NEXT_ENTRY = /,[A-Za-z0-9_]+:"/y;

export function parseReply(reply) {
    const text = reply.trim();
    let at = 0;
    const fail = () => {
        throw new SyntaxError(`The unit's answer could not be read: ${text.slice(0, 40)}`);
    };
    const skipBlanks = () => {
        while (text[at] === ' ') at++;
    };
    const valueEnd = () => {
        for (let quote = text.indexOf('"', at); quote >= 0; quote = text.indexOf('"', quote + 1)) {
            NEXT_ENTRY.lastIndex = quote + 1;
            if (text[quote + 1] === '}' || NEXT_ENTRY.test(text)) return quote;
        }
        return fail();
    };
    const object = () => {
        if (text[at++] !== '{') fail();
        const fields = Object.create(null);
        if (text[at] === '}') {
            at++;
            return fields;
        }
        for (;;) {
            KEY.lastIndex = at;
            const key = KEY.exec(text)?.[0];
            if (!key || !text.startsWith(':"', at + key.length)) fail();
            at += key.length + 2;
            const end = valueEnd();
            // The first value of a key counts: a later one can only come from
            // a value that itself held quotes (a login echoes its user name).
            if (!(key in fields)) fields[key] = text.slice(at, end);
            at = end + 1;
            if (text[at++] === '}') return fields;
        }
    };
    let result;
    if (text[at] === '[') {
        at++;
        skipBlanks();
        result = [];
        while (text[at] === '{') {
            result.push(object());
            if (text[at] === ',') at++;
            skipBlanks();
        }
        if (text[at++] !== ']') fail();
    } else {
        result = object();
    }
    if (at !== text.length) fail();
    return result;
}
