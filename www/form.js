// Settings forms: labelled controls checked in the browser against the
// field table before anything is sent, and the unit's answer shown below.
//
// layout: title, cmd, fields and optionally load, request, check, save, done.
// A field: { name, label, type ('text', 'number', 'password', 'checkbox',
// 'select'), options ([value, label]), hint, readonly, send (false: shown or
// compared only), cmd and key (when they differ from the form's and the name),
// reloads (a change loads the form again) }.
// load(values) gives the values by name; request(values) the pairs to send
// (default: each sent field in order); check(values) more problems by name;
// save(values, loaded) replaces the default write of the request.
import { h, uniqueId, answerLine } from './dom.js';
import { write, accepted } from './api.js';
import { problemWith } from './fields.js';

const keyOf = (field) => field.key ?? (field.send === false ? null : field.name);

function control(field, id, describedBy) {
    const common = { id, name: field.name, 'aria-describedby': describedBy, readonly: field.readonly };
    if (field.type === 'select')
        return h('select', common, field.options.map(([value, label]) => h('option', { value }, label)));
    if (field.type === 'checkbox') return h('input', { ...common, type: 'checkbox' });
    return h('input', {
        ...common,
        type: field.type === 'password' ? 'password' : 'text',
        inputmode: field.type === 'number' ? 'numeric' : null,
        autocomplete: field.autocomplete ?? 'off',
        spellcheck: 'false',
    });
}

export function settingsForm(layout, { readOnly = false } = {}) {
    const parts = new Map();
    const rows = layout.fields.map((field) => {
        const id = uniqueId(field.name);
        const error = h('span', { class: 'error', id: `${id}-error` });
        const hint = field.hint && h('small', { id: `${id}-hint` }, field.hint);
        const input = control(field, id, hint ? `${error.id} ${hint.id}` : error.id);
        if (field.reloads) input.addEventListener('change', () => load());
        parts.set(field.name, { field, input, error });
        return h('div', { class: 'row' }, h('label', { for: id }, field.label), input, hint, error);
    });
    const fieldset = h('fieldset', { disabled: readOnly }, h('legend', {}, layout.title), rows);
    const answer = answerLine();
    const submit = h('button', { type: 'submit' }, layout.submit ?? 'Save');
    const form = h('form', { novalidate: true }, fieldset,
        readOnly ? h('p', { class: 'note' }, 'Read-only for this account.') : submit, answer);
    let loaded = {};

    const values = () => Object.fromEntries([...parts].map(([name, { field, input }]) =>
        [name, field.type === 'checkbox' ? (input.checked ? '1' : '0') : input.value]));
    const show = (shown) => {
        for (const [name, { field, input }] of parts) {
            const value = shown[name] ?? '';
            if (field.type === 'checkbox') input.checked = value === '1';
            else {
                // A stored value the form does not offer is shown as it is (and refused on saving).
                if (field.type === 'select' && ![...input.options].some((option) => option.value === value))
                    input.append(h('option', { value }, value));
                input.value = value;
            }
        }
    };
    const flag = (name, problem) => {
        const { input, error } = parts.get(name);
        error.textContent = problem;
        input.toggleAttribute('aria-invalid', problem !== '');
    };
    const load = async () => {
        if (!layout.load) return;
        form.setAttribute('aria-busy', 'true');
        try {
            loaded = await layout.load(values());
            show(loaded);
        } catch (error) {
            fieldset.disabled = true;
            answer.say(error.message, 'bad');
        }
        form.removeAttribute('aria-busy');
    };
    const nameOfKey = (key) => [...parts.values()].find(({ field }) => keyOf(field) === key)?.field.name;

    form.addEventListener('submit', async (event) => {
        event.preventDefault();
        const current = values();
        const problems = { ...layout.check?.(current) };
        for (const [name, { field }] of parts) {
            if (keyOf(field) && !problems[name]) problems[name] = problemWith(field.cmd ?? layout.cmd, keyOf(field), current[name]);
        }
        for (const name of parts.keys()) flag(name, problems[name] ?? '');
        const firstBad = [...parts.keys()].find((name) => problems[name]);
        if (firstBad) {
            answer.say('Correct the marked fields.', 'bad');
            parts.get(firstBad).input.focus();
            return;
        }
        answer.say('Saving…');
        submit.disabled = true;
        try {
            if (layout.save) await layout.save(current, loaded);
            else {
                const pairs = layout.request?.(current) ??
                    layout.fields.filter(keyOf).map((field) => [keyOf(field), current[field.name]]);
                accepted(await write(layout.cmd, pairs), layout.meanings);
            }
            answer.say(layout.done ?? 'Saved.', 'ok');
            if (layout.load) await load();
            else form.reset();
        } catch (error) {
            if (error.key && nameOfKey(error.key)) flag(nameOfKey(error.key), error.message);
            answer.say(error.message, 'bad');
        } finally {
            submit.disabled = false;
        }
    });
    load();
    return form;
}
