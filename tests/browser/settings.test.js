// The status page's values and their refresh, and one settings form per
// family: a value the pages refuse reaches nothing, an accepted one reaches
// the device or the configuration file; every page fits 360 px.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { servedUnit, openPage, signInAdmin, screenshot, formOf } from './unit.js';

const served = servedUnit('settings');

test('status values and their refresh', async () => {
    const { unit, browser } = served;
    const page = await openPage(browser, unit, { width: 1000, height: 1100 });
    const reads = [];
    page.on('request', (request) => /cmd_id=3&/.test(request.url()) && reads.push(request.headers()['x-onu-poll']));
    await signInAdmin(page);
    const value = (label) => page.locator(`dt:text-is("${label}") + dd`);
    for (const [label, shown] of [['Model', 'EP-1001S'], ['MAC address', '00:26:3E:50:11:A0'], ['PON registration', 'Registered'],
        ['Temperature', '41.30 ℃'], ['Received power', '-18.51 dBm'], ['VLAN mode', 'Transparent'], ['Received data frames', /^\d+$/]])
        await value(label).filter({ hasText: shown }).waitFor();
    await screenshot(page, 'status');

    // The transceiver's memory is read at every transfer: no light from now on.
    fs.appendFileSync(path.join(unit.state, 'i2c-0', '0x51.hex'), '68: 00 00\n');
    await value('Received power').filter({ hasText: '-inf dBm (no signal)' }).waitFor({ timeout: 8000 });
    assert.deepEqual([reads[0], ...new Set(reads.slice(1))], [undefined, '1'], 'only the timed refreshes are polls');
    assert.deepEqual(page.foreign, []);
});

const WEB_XML = 'var/vesk/website/www/xml/vesk_xml_cfg_file.xml';
const LOGS = ['clish', 'system'];
// page, form, [label, value] set first, the checked field, refused and accepted
// values, and where the accepted value shows: a log's new lines or a file.
const FORMS = [
    ['pon', 'PON identity and authentication', [], 'EPON LOID', 'EP"1', 'EP1001S0002',
        { log: 'system', has: 'neta/switch/reg_w' }, { file: WEB_XML, has: '>EP1001S0002</loid>' }],
    ['network', 'Management address', [], 'IP address', '1.2.3.4', '192.168.1.20', { file: WEB_XML, has: '<ipAddress>192.168.1.20<' }],
    ['vlan', 'User port VLAN', [['Mode', 'Tag']], 'Default VLAN ID', '4095', '100', { log: 'clish', has: 'port vlan tag 0  100\n' }],
    ['ports', 'Storm control', [['Mode', 'WAN rate limit']], 'Threshold', '10;reboot', '2000',
        { log: 'system', has: 'echo 0 us WAN  2000 1536 > /sys/devices/platform/tpm/cfg_traffic/rate_limit_if_set\n' }],
    ['queues', 'Queue weights', [], 'Queue 3', '256', '9', { file: 'etc/xml_params/tpm_xml_cfg_file.xml', has: '<queue id="3" sched_method="0" weight="9"' }],
];

test('one form per family with a refused value and an accepted one', async () => {
    const { unit, browser } = served;
    const page = await openPage(browser, unit);
    await signInAdmin(page);
    for (const [name, title, setup, label, refused, accepted, ...shows] of FORMS) {
        await page.goto(`${unit.url}#${name}`);
        const form = formOf(page, title).and(page.locator(':not([aria-busy])'));
        await form.waitFor();
        for (const [setupLabel, option] of setup) await form.getByLabel(setupLabel).selectOption({ label: option });
        const marks = Object.fromEntries(LOGS.map((log) => [log, unit.log(log).length]));
        await form.getByLabel(label, { exact: true }).fill(refused);
        await form.getByRole('button', { name: 'Save' }).click();
        await form.getByText('Correct the marked fields.').waitFor();
        assert.ok(await form.getByLabel(label, { exact: true }).getAttribute('aria-invalid') !== null, title);
        assert.ok(LOGS.every((log) => unit.log(log).length === marks[log]), `${title}: a refused value reached the unit`);
        if (name === 'vlan') await screenshot(page, 'settings');

        await form.getByLabel(label, { exact: true }).fill(accepted);
        await form.getByRole('button', { name: 'Save' }).click();
        assert.equal(await form.locator('.answer.ok, .answer.bad').textContent(), 'Saved.', title);
        for (const { log, file, has } of shows) {
            const text = log ? unit.log(log).slice(marks[log]) : fs.readFileSync(path.join(unit.state, file), 'utf8');
            assert.ok(text.includes(has), `${title}: ${has} not in ${log ?? file}:\n${text}`);
        }
    }

    await page.setViewportSize({ width: 360, height: 740 });
    for (const name of ['status', ...FORMS.map(([pageName]) => pageName), 'maintenance']) {
        await page.goto(`${unit.url}#${name}`);
        await page.locator('h1').waitFor();
        assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 360), `${name} is wider than 360 px`);
    }
    assert.deepEqual(page.foreign, []);
});
