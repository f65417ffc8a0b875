// Request texts as the unit reads them: key=value pairs joined by "&". The
// unit decodes nothing and finds a key as the first occurrence of its name
// anywhere in the text, its value running to the next "&". A text is sent
// only when each of its keys reads back as the value put there.
function lookup(text, key) {
    const found = text.indexOf(key);
    if (found < 0) return '';
    const start = found + key.length + 1;
    if (start >= text.length) return '';
    const end = text.indexOf('&', start);
    return text.slice(start, end < 0 ? undefined : end);
}

export class InputError extends Error {
    constructor(key, message) {
        super(message);
        this.key = key;
    }
}

// `pairs`: [key, value] in the order they are sent.
export function requestText(pairs) {
    const text = pairs.map(([key, value]) => `${key}=${value}`).join('&');
    for (const [key, value] of pairs) {
        if (lookup(text, key) !== String(value))
            throw new InputError(key, 'Cannot be sent: it holds "&" or the name of a field.');
    }
    return text;
}
