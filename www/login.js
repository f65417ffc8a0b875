// Signing in, and on the unit's first use the change of both factory passwords.
import { h, uniqueId, answerLine } from './dom.js';
import { login, readAnswer, write, accepted } from './api.js';
import { problemWith } from './fields.js';
import { settingsForm } from './form.js';

const LOGIN_ANSWERS = { 1: 'There is no such account.', 2: 'The password is wrong.' };

// `signedIn(password)` runs once the unit has accepted the account.
export function loginPage(view, notice, signedIn) {
    const field = (name, label, type, autocomplete) => {
        const input = h('input', { id: uniqueId(name), name, type, autocomplete, required: true, spellcheck: 'false' });
        return { input, row: h('div', { class: 'row' }, h('label', { for: input.id }, label), input) };
    };
    const user = field('username', 'Account', 'text', 'username');
    const password = field('password', 'Password', 'password', 'current-password');
    const answer = answerLine();
    const button = h('button', { type: 'submit' }, 'Sign in');
    const form = h('form', { class: 'login', novalidate: true }, user.row, password.row, button, answer);
    if (notice) answer.say(notice, 'bad');
    form.addEventListener('submit', async (event) => {
        event.preventDefault();
        const problem = problemWith(1, 'username', user.input.value) || problemWith(1, 'password', password.input.value);
        if (problem) return answer.say(problem, 'bad');
        answer.say('Signing in…');
        button.disabled = true;
        try {
            const code = await login(user.input.value, password.input.value);
            if (code !== '0') return answer.say(LOGIN_ANSWERS[code] ?? `The unit refused (answer “${code}”).`, 'bad');
            await signedIn(password.input.value);
        } catch (error) {
            answer.say(error.message, 'bad');
        } finally {
            button.disabled = false;
        }
    });
    view.append(form);
    user.input.focus();
}

// The unit answers "1" once, on its first use.
export const isFirstUse = async () => (await readAnswer(33)).trim() === '1';

export function firstUsePage(view, adminPassword, done) {
    const pair = (account, cmd) => [
        { name: `${account}_old`, label: `Current ${account} password`, type: 'password', cmd, key: 'pwdold' },
        { name: `${account}_new`, label: `New ${account} password`, type: 'password', autocomplete: 'new-password', cmd, key: 'pwdnew' },
        { name: `${account}_confirm`, label: `New ${account} password again`, type: 'password', autocomplete: 'new-password', send: false },
    ];
    const meanings = { 1: 'A current password is wrong.', 2: 'The unit could not store a password.' };
    const form = settingsForm({
        title: 'Change the factory passwords', submit: 'Change both passwords', done: 'Both passwords changed.',
        fields: [...pair('admin', 19), ...pair('user', 20)],
        check: (values) => Object.fromEntries(['admin', 'user']
            .filter((account) => values[`${account}_confirm`] !== values[`${account}_new`])
            .map((account) => [`${account}_confirm`, 'Does not match the new password.'])),
        async save(values) {
            for (const [account, cmd] of [['admin', 19], ['user', 20]])
                accepted(await write(cmd, [['pwdold', values[`${account}_old`]], ['pwdnew', values[`${account}_new`]]]), meanings);
            done();
        },
    });
    form.elements.admin_old.value = adminPassword;
    view.append(
        h('p', {}, 'This unit still has the passwords it came with, which anyone can look up. Choose new ones for both accounts.'),
        form,
        h('button', { type: 'button', class: 'link', onclick: done }, 'Not now'));
}
