// The pages' frame: the session, the menu, one page at a time by the
// location's hash, and the wait while the unit restarts.
import { h } from './dom.js';
import { sessionAccount, logout, probe, onSessionEnd } from './api.js';
import { loginPage, firstUsePage, isFirstUse } from './login.js';
import { statusPage } from './status.js';
import { ponPage, networkPage, vlanPage, portsPage, queuesPage } from './settings.js';
import { maintenancePage } from './maintenance.js';

const PAGES = {
    status: { title: 'Status', render: statusPage },
    pon: { title: 'PON', render: ponPage, adminOnly: true },
    network: { title: 'Network', render: networkPage },
    vlan: { title: 'VLAN', render: vlanPage },
    ports: { title: 'Ports', render: portsPage },
    queues: { title: 'Queues', render: queuesPage },
    maintenance: { title: 'Maintenance', render: maintenancePage },
};
// Where a page that found its session ended returns to after the login.
const RETURN_KEY = 'onu-return-to';
const PROBE_INTERVAL_MS = 2000;

const view = document.getElementById('view');
const nav = document.getElementById('nav');
const accountName = document.getElementById('account');
const logoutButton = document.getElementById('logout');
let account = '';
let loginNotice = '';
let leaveHandlers = [];

const pageName = () => location.hash.slice(1);
const mayOpen = (name) => PAGES[name] && (!PAGES[name].adminOnly || account === 'admin');
const go = (name) => {
    if (pageName() === name) render();
    else location.hash = name;
};

function setAccount(name) {
    account = name;
    accountName.textContent = name && `Signed in as ${name}`;
    for (const element of [nav, accountName, logoutButton]) element.hidden = !name;
    nav.replaceChildren(...Object.entries(PAGES).filter(([pageKey]) => mayOpen(pageKey))
        .map(([pageKey, { title }]) => h('a', { href: `#${pageKey}` }, title)));
}

// Empties the view for a new page titled `title`.
function startPage(title) {
    for (const leave of leaveHandlers) leave();
    leaveHandlers = [];
    document.title = `${title} – ONU`;
    for (const link of nav.querySelectorAll('a'))
        link.toggleAttribute('aria-current', link.getAttribute('href') === `#${pageName()}`);
    const heading = h('h1', { tabindex: '-1' }, title);
    view.replaceChildren(heading);
    heading.focus();
}

async function signedIn(password) {
    setAccount(await sessionAccount());
    const next = sessionStorage.getItem(RETURN_KEY) ?? 'status';
    sessionStorage.removeItem(RETURN_KEY);
    if (account === 'admin' && (await isFirstUse())) {
        startPage('Welcome');
        firstUsePage(view, password, () => go(next));
        return;
    }
    go(next);
}

function showLogin() {
    startPage('Sign in');
    loginPage(view, loginNotice, signedIn);
    loginNotice = '';
}

async function render() {
    const name = pageName();
    if (name === 'login') return showLogin();
    if (!account) {
        try {
            setAccount(await sessionAccount());
        } catch {
            if (PAGES[name]) sessionStorage.setItem(RETURN_KEY, name);
            return location.replace('#login');
        }
    }
    if (!mayOpen(name)) return location.replace('#status');
    const { title, render: renderPage } = PAGES[name];
    startPage(title);
    renderPage(view, {
        readOnly: account !== 'admin',
        onLeave: (handler) => leaveHandlers.push(handler),
        waitForUnit,
    });
}

// After a restart the unit holds no session: it is back when it answers
// the session request with 401.
async function waitForUnit(message) {
    setAccount('');
    startPage('Waiting for the unit');
    const elapsed = h('p', { role: 'status' }, 'Waiting for the unit to answer…');
    view.append(h('p', {}, message), h('progress', { 'aria-label': 'Waiting for the unit' }), elapsed);
    let waiting = true;
    leaveHandlers.push(() => {
        waiting = false;
    });
    const started = Date.now();
    while (waiting) {
        await new Promise((resolve) => setTimeout(resolve, PROBE_INTERVAL_MS));
        if (waiting && (await probe()) === 401) {
            loginNotice = 'The unit has restarted. Sign in again.';
            return go('login');
        }
        elapsed.textContent = `Waiting for the unit to answer… ${Math.round((Date.now() - started) / 1000)} s`;
    }
}

onSessionEnd(() => {
    if (!account) return;
    if (PAGES[pageName()]) sessionStorage.setItem(RETURN_KEY, pageName());
    setAccount('');
    loginNotice = 'The session has ended. Sign in again.';
    go('login');
});

logoutButton.addEventListener('click', async () => {
    await logout().catch(() => {});
    setAccount('');
    go('login');
});

window.addEventListener('hashchange', render);
render();
