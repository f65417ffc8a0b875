// Element building. Values from the unit enter the page only as text nodes
// and attribute values, never through an HTML parser.
let lastId = 0;
export const uniqueId = (prefix) => `${prefix}-${++lastId}`;

export function h(tag, props = {}, ...children) {
    const node = document.createElement(tag);
    for (const [name, value] of Object.entries(props)) {
        if (value === undefined || value === null || value === false) continue;
        if (name.startsWith('on')) node.addEventListener(name.slice(2), value);
        else node.setAttribute(name, value === true ? '' : value);
    }
    node.append(...children.flat(Infinity).filter((child) => child !== null && child !== undefined && child !== false));
    return node;
}

// A list of labelled values whose texts can be replaced later; `rows` holds
// [key, label, format?] and update() takes a reply object.
export function factList(rows) {
    const cells = rows.map(([key, label, format = (value) => value]) => ({ key, format, cell: h('dd') }));
    const list = h('dl', { class: 'facts' }, rows.map(([, label], i) => [h('dt', {}, label), cells[i].cell]));
    list.update = (reply) => {
        for (const { key, format, cell } of cells) cell.textContent = reply[key] === undefined ? '' : format(reply[key]);
    };
    return list;
}

// A line that tells how an action went; `kind` is "ok", "bad" or "" (busy).
export function answerLine() {
    const line = h('p', { class: 'answer', role: 'status' });
    line.say = (text, kind = '') => {
        line.textContent = text;
        line.className = `answer ${kind}`;
    };
    return line;
}

// Asks before something irreversible; resolves true when confirmed.
export function confirmAction(question, action) {
    const dialog = document.getElementById('confirm');
    dialog.querySelector('#confirm-text').textContent = question;
    dialog.querySelector('#confirm-ok').textContent = action;
    dialog.returnValue = '';
    dialog.showModal();
    return new Promise((resolve) => {
        dialog.addEventListener('close', () => resolve(dialog.returnValue === 'ok'), { once: true });
    });
}
