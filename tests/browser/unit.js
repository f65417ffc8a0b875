// What the browser tests share: the build served in a simulated unit on a free
// port, with its stand-in logs, and the system's Chromium, headless.
import { before, after } from 'node:test';
import { spawn } from 'node:child_process';
import { createServer } from 'node:net';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import path from 'node:path';

const ROOT = path.resolve(import.meta.dirname, '../..');
const BUILD = path.resolve(process.env.ONU_BROWSER_BUILD ?? path.join(ROOT, 'build'));
const ARTEFACTS = path.join(BUILD, 'browser');
const { chromium } = createRequire(path.join(BUILD, 'node', 'package.json'))('playwright-core');

const freePort = () => new Promise((resolve, reject) => {
    const server = createServer().once('error', reject).listen(0, '127.0.0.1', () => {
        const { port } = server.address();
        server.close(() => resolve(port));
    });
});

// Serves the build in a fresh unit named `name` (its state in ARTEFACTS).
async function startUnit(name) {
    const state = path.join(ARTEFACTS, `state-${name}`);
    const port = await freePort();
    const server = spawn(path.join(ROOT, 'sim/onu-sim'),
        ['--state', state, '--fresh', '--build', BUILD, 'serve', '--port', String(port)],
        { detached: true, stdio: ['ignore', 'ignore', 'inherit'], env: { ...process.env, ONU_LOGIN_DELAY_BASE_MS: '20' } });
    const exited = new Promise((resolve) => server.once('exit', resolve));
    const url = `http://127.0.0.1:${port}/`;
    for (const deadline = Date.now() + 60000; ;) {
        if (server.exitCode !== null || Date.now() > deadline) throw new Error(`the unit ${name} did not start`);
        if (await fetch(url).then((reply) => reply.ok, () => false)) break;
        await new Promise((resolve) => setTimeout(resolve, 200));
    }
    const logPath = (log) => path.join(state, 'log', `${log}.log`);
    return {
        url, state,
        log: (log) => (fs.existsSync(logPath(log)) ? fs.readFileSync(logPath(log), 'utf8') : ''),
        async stop() {
            if (server.exitCode === null) process.kill(-server.pid, 'SIGTERM');
            await exited;
        },
    };
}

// A served unit and the system's Chromium for the tests of one file:
// `served.unit` and `served.browser` once the file's tests run.
export function servedUnit(name) {
    const served = {};
    before(async () => {
        served.unit = await startUnit(name);
        served.browser = await chromium.launch({
            executablePath: '/usr/bin/chromium',
            args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                '--disable-background-networking', '--disable-component-update', '--disable-sync'],
        });
    });
    after(async () => {
        await served.browser?.close();
        await served.unit?.stop();
    });
    return served;
}

// A page of a new browser context at the unit; requests to any other host fail the test.
export async function openPage(browser, unit, viewport = { width: 1000, height: 800 }) {
    const context = await browser.newContext({ viewport, acceptDownloads: true });
    const page = await context.newPage();
    page.setDefaultTimeout(15000);
    page.foreign = [];
    page.on('request', (request) => request.url().startsWith(unit.url) || page.foreign.push(request.url()));
    await page.goto(unit.url);
    return page;
}

export async function signIn(page, account, password) {
    await page.getByLabel('Account').fill(account);
    await page.getByLabel('Password', { exact: true }).fill(password);
    await page.getByRole('button', { name: 'Sign in' }).click();
}

export async function screenshot(page, flow) {
    fs.mkdirSync(path.join(ARTEFACTS, 'screens'), { recursive: true });
    await page.screenshot({ path: path.join(ARTEFACTS, 'screens', `${flow}.png`), fullPage: true });
}

// Signs the admin in, passing over the first-use prompt.
export async function signInAdmin(page) {
    await signIn(page, 'admin', 'admin');
    await page.locator('h1:not(:text("Sign in"))').waitFor();
    if (await page.getByRole('heading', { name: 'Welcome' }).isVisible()) await page.getByRole('button', { name: 'Not now' }).click();
}

// The form whose fieldset or section is titled `title`.
export const formOf = (page, title) =>
    page.locator('form, section').filter({ has: page.locator(`legend:text-is("${title}"), h2:text-is("${title}")`) });
