// The maintenance page: restart, factory defaults, configuration export and
// import, firmware upgrade, passwords and the metrics token. Each action that
// cannot be undone is confirmed first, and a check that fails says why
// before anything is sent.
import { h, uniqueId, answerLine, confirmAction } from './dom.js';
import { write, accepted, upload, metricsToken, EXPORT_URL } from './api.js';
import { settingsForm } from './form.js';

const KiB = 1024, MiB = 1024 * KiB;
const startsWith = (bytes, ...expected) => expected.every((byte, i) => bytes[i] === byte);
// What each update_type installs, the largest image its partition takes (the
// root file system's is the unit's 16 MiB upload limit less the form around
// the file), and how an image of its kind begins.
const IMAGE_KINDS = {
    0: { label: 'Update archive (gzip)', limit: 8 * MiB, restarts: false, begins: (b) => startsWith(b, 0x1f, 0x8b) },
    1: { label: 'Kernel (uImage)', limit: 4 * MiB, restarts: true, begins: (b) => startsWith(b, 0x27, 0x05, 0x19, 0x56) },
    2: { label: 'Root file system (squashfs)', limit: 16 * MiB - 4 * KiB, restarts: true, begins: (b) => startsWith(b, 0x68, 0x73, 0x71, 0x73) },
    3: {
        label: 'Writable file system (JFFS2)', limit: 8 * MiB, restarts: true,
        begins: (b) => startsWith(b, 0x85, 0x19) || startsWith(b, 0x19, 0x85),
    },
};

const section = (title, ...content) => h('section', {}, h('h2', {}, title), ...content);
const labelled = (label, input) => h('div', { class: 'row' }, h('label', { for: input.id }, label), input);
const fileInput = (accept) => h('input', { type: 'file', id: uniqueId('file'), accept });

// Runs `work` from a button, which waits meanwhile; errors are shown in `answer`.
const act = (answer, work) => async (event) => {
    const button = event.currentTarget;
    button.disabled = true;
    try {
        await work();
    } catch (error) {
        answer.say(error.message, 'bad');
    } finally {
        button.disabled = false;
    }
};

function restartSection(page) {
    const answer = answerLine();
    const restart = (cmd, question, action, message) => act(answer, async () => {
        if (!(await confirmAction(question, action))) return;
        answer.say('Sending…');
        accepted(await write(cmd));
        page.waitForUnit(message);
    });
    return section('Restart',
        h('p', {}, 'Restoring the factory settings also restarts the unit and ends every session.'),
        h('div', { class: 'buttons' },
            h('button', { type: 'button', onclick: restart(11, 'Restart the unit now?', 'Restart', 'The unit is restarting.') }, 'Restart'),
            h('button', {
                type: 'button', class: 'danger',
                onclick: restart(18, 'Replace every setting with the factory settings and restart?', 'Restore and restart',
                    'The unit is restoring its factory settings and restarting.'),
            }, 'Restore factory settings')),
        answer);
}

// An upload with its progress; resolves to the unit's answer.
function sendWithProgress(bar, answer, cmd, pairs, file) {
    bar.value = 0;
    bar.hidden = false;
    answer.say('Uploading…');
    return upload(cmd, pairs, file, (fraction) => {
        bar.value = fraction;
    }).finally(() => {
        bar.hidden = true;
    });
}

function configurationSection() {
    const answer = answerLine();
    const file = fileInput('.tar,application/x-tar');
    const bar = h('progress', { 'aria-label': 'Upload', hidden: true, max: 1, value: 0 });
    const exportConfiguration = act(answer, async () => {
        answer.say('Exporting…');
        accepted(await write(10, [], 0));
        const link = h('a', { href: EXPORT_URL, download: 'xml_config.tar' });
        document.body.append(link);
        link.click();
        link.remove();
        answer.say('Exported: the browser saves xml_config.tar.', 'ok');
    });
    const importConfiguration = act(answer, async () => {
        const archive = file.files[0];
        if (!archive) return answer.say('Choose an exported configuration file first.', 'bad');
        if (!(await confirmAction(`Replace the unit's configuration with ${archive.name}?`, 'Import'))) return;
        accepted(await sendWithProgress(bar, answer, 10, [], archive),
            { 1: 'The unit refused the file: it is not a configuration exported from this kind of unit.' });
        answer.say('Imported. The settings apply in full after a restart.', 'ok');
    });
    return section('Configuration',
        h('div', { class: 'buttons' }, h('button', { type: 'button', onclick: exportConfiguration }, 'Export')),
        labelled('Configuration file', file), bar,
        h('div', { class: 'buttons' }, h('button', { type: 'button', onclick: importConfiguration }, 'Import')),
        answer);
}

function firmwareSection(page) {
    const answer = answerLine();
    const kind = h('select', { id: uniqueId('kind') },
        Object.entries(IMAGE_KINDS).map(([type, { label }]) => h('option', { value: type }, label)));
    const file = fileInput('');
    const bar = h('progress', { 'aria-label': 'Upload', hidden: true, max: 1, value: 0 });
    const upgrade = act(answer, async () => {
        const image = file.files[0];
        const { label, limit, restarts, begins } = IMAGE_KINDS[kind.value];
        if (!image) return answer.say('Choose an image file first.', 'bad');
        if (image.size === 0 || image.size > limit)
            return answer.say(`${image.name} cannot be a ${label}: that takes 1 byte to ${limit / KiB} KiB.`, 'bad');
        if (!begins(new Uint8Array(await image.slice(0, 4).arrayBuffer())))
            return answer.say(`${image.name} is not a ${label}: it does not begin as one.`, 'bad');
        if (!(await confirmAction(`Write ${image.name} as the ${label}?${restarts ? ' The unit restarts afterwards.' : ''}`, 'Upgrade'))) return;
        accepted(await sendWithProgress(bar, answer, 21, [['update_type', kind.value]], image),
            { 1: 'The unit refused the image: it is damaged or not of the chosen kind. Nothing was written.' });
        if (restarts) page.waitForUnit('The new firmware is written; the unit is restarting.');
        else answer.say('The update archive is installed.', 'ok');
    });
    return section('Firmware',
        labelled('Image kind', kind), labelled('Image file', file), bar,
        h('div', { class: 'buttons' }, h('button', { type: 'button', class: 'danger', onclick: upgrade }, 'Upgrade')),
        answer);
}

function passwordForm(cmd, title) {
    return settingsForm({
        title, cmd, submit: 'Change password', done: 'Password changed.',
        fields: [
            { name: 'pwdold', label: 'Current password', type: 'password', autocomplete: 'current-password' },
            { name: 'pwdnew', label: 'New password', type: 'password', autocomplete: 'new-password' },
            { name: 'confirm', label: 'New password again', type: 'password', autocomplete: 'new-password', send: false },
        ],
        check: (values) => (values.confirm !== values.pwdnew ? { confirm: 'Does not match the new password.' } : {}),
        meanings: { 1: 'The current password is wrong.', 2: 'The unit could not store the password.' },
    });
}

function metricsSection() {
    const answer = answerLine();
    const token = h('input', { id: uniqueId('token'), readonly: true, placeholder: 'none (bearer access off)', spellcheck: 'false' });
    const show = (value) => {
        token.value = value;
    };
    const change = (kind, question, action) => act(answer, async () => {
        if (!(await confirmAction(question, action))) return;
        show(await metricsToken(kind));
        answer.say(kind === 'new' ? 'New token made.' : 'Token removed.', 'ok');
    });
    metricsToken().then(show, (error) => answer.say(error.message, 'bad'));
    return section('Metrics access',
        h('p', {}, 'Monitoring reads /cgi-bin/metrics with this token as a bearer token.'),
        labelled('Token', token),
        h('div', { class: 'buttons' },
            h('button', { type: 'button', onclick: change('new', 'Make a new token? The old one stops working.', 'New token') }, 'New token'),
            h('button', { type: 'button', onclick: change('clear', 'Remove the token? Bearer access stops.', 'Remove') }, 'Remove token')),
        answer);
}

export function maintenancePage(view, page) {
    if (page.readOnly) {
        view.append(passwordForm(20, 'Password of this account'));
        return;
    }
    view.append(restartSection(page), configurationSection(), firmwareSection(page),
        passwordForm(19, 'Administrator password'), passwordForm(20, 'User password'), metricsSection());
}
