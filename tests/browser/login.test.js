// Login gate and roles: refused logins, the first-use password change, the
// user account's read-only pages, and an ended session that returns to its page.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { servedUnit, openPage, signIn, screenshot, formOf } from './unit.js';

const served = servedUnit('login');

test('login gate and roles', async () => {
    const { unit, browser } = served;
    const page = await openPage(browser, unit, { width: 800, height: 560 });
    const answer = page.locator('.answer');
    await page.getByRole('heading', { name: 'Sign in' }).waitFor();
    await screenshot(page, 'login');
    for (const [account, password, says] of [['admin', 'Admin', 'The password is wrong.'], ['root', 'admin', 'There is no such account.']]) {
        await signIn(page, account, password);
        await answer.filter({ hasText: says }).waitFor();
    }

    await signIn(page, 'admin', 'admin');
    const prompt = formOf(page, 'Change the factory passwords');
    for (const [label, value] of [['New admin password', 'Adm1n-pw'], ['New admin password again', 'Adm1n-pw'],
        ['Current user password', 'user'], ['New user password', 'Us3r-pw'], ['New user password again', 'Us3r-typo']])
        await prompt.getByLabel(label, { exact: true }).fill(value);
    await prompt.getByRole('button', { name: 'Change both passwords' }).click();
    await prompt.getByText('Does not match the new password.').waitFor();
    await prompt.getByLabel('New user password again').fill('Us3r-pw');
    await prompt.getByRole('button', { name: 'Change both passwords' }).click();
    await page.getByRole('heading', { name: 'Status' }).waitFor();
    await page.getByRole('button', { name: 'Sign out' }).click();

    await signIn(page, 'user', 'Us3r-pw');
    await page.getByRole('heading', { name: 'Status' }).waitFor();
    assert.equal(await page.getByRole('link', { name: 'PON' }).count(), 0);
    await page.getByRole('link', { name: 'Ports' }).click();
    await formOf(page, 'Storm control').getByText('Read-only for this account.').waitFor();
    assert.equal(await page.getByRole('button', { name: 'Save' }).count(), 0);
    assert.ok(await page.getByLabel('Threshold').isDisabled());

    // The unit forgets the session: the next read returns to the login, and the login to the page.
    await page.waitForFunction(() => !document.querySelector('[aria-busy]'));
    const sessions = path.join(unit.state, 'tmp', 'onu-sessions');
    for (const name of fs.readdirSync(sessions)) fs.rmSync(path.join(sessions, name));
    await page.getByRole('link', { name: 'VLAN' }).click();
    await answer.filter({ hasText: 'The session has ended' }).waitFor();
    await signIn(page, 'user', 'Us3r-pw');
    await formOf(page, 'User port VLAN').getByText('Read-only for this account.').waitFor();
    await screenshot(page, 'roles');
    assert.deepEqual(page.foreign, []);
});
