// Maintenance flows: export then import, the metrics token, firmware uploads
// (refused by the page, refused by the unit, accepted with progress), and a
// confirmed restart that the pages wait out.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { servedUnit, openPage, signInAdmin, screenshot, formOf } from './unit.js';

const served = servedUnit('maintenance');
let unit, page;

async function openMaintenance(section) {
    await page.goto(`${unit.url}#maintenance`);
    return formOf(page, section);
}
// Clicks `button` in `section` and answers its confirmation with `answer`.
async function confirmed(section, button, answer = button) {
    await section.getByRole('button', { name: button }).click();
    await page.getByRole('dialog').getByRole('button', { name: answer, exact: true }).click();
}
const choose = (section, label, file) => section.getByLabel(label).setInputFiles({ mimeType: 'application/octet-stream', ...file });
const restarted = () => page.locator('.answer').filter({ hasText: 'The unit has restarted. Sign in again.' }).waitFor({ timeout: 30000 });

test('export then import', async () => {
    unit = served.unit;
    page = await openPage(served.browser, unit);
    await signInAdmin(page);
    const configuration = await openMaintenance('Configuration');
    const [download] = await Promise.all([page.waitForEvent('download'),
        configuration.getByRole('button', { name: 'Export' }).click()]);
    const archive = fs.readFileSync(await download.path());
    assert.ok(archive.includes('xml_config/vesk_xml_cfg_file.xml'));

    await choose(configuration, 'Configuration file', { name: 'notes.tar', buffer: Buffer.from('not an archive') });
    await confirmed(configuration, 'Import');
    await configuration.getByText('The unit refused the file').waitFor();
    const commands = unit.log('system').length;
    await choose(configuration, 'Configuration file', { name: 'xml_config.tar', buffer: archive });
    await confirmed(configuration, 'Import');
    await configuration.locator('.answer.ok').filter({ hasText: 'Imported.' }).waitFor();
    assert.ok(unit.log('system').slice(commands).includes('tar -xf /tmp/xml_in.tar -C /tmp/ \n'));
    await screenshot(page, 'transfer');
});

test('a metrics token made, shown and removed', async () => {
    const metrics = await openMaintenance('Metrics access');
    const token = metrics.getByLabel('Token');
    await confirmed(metrics, 'New token');
    await metrics.getByText('New token made.').waitFor();
    // A scrape with the token and without the session.
    const scrape = (bearer) => page.evaluate(async (authorization) =>
        (await fetch('/cgi-bin/metrics', { credentials: 'omit', headers: { authorization } })).status, `Bearer ${bearer}`);
    const made = await token.inputValue();
    assert.equal(await scrape(made), 200);
    await confirmed(metrics, 'Remove token', 'Remove');
    await metrics.getByText('Token removed.').waitFor();
    assert.equal(await token.inputValue(), '');
    assert.equal(await scrape(made), 401);
});

test('a firmware upload with progress, and refused images', async () => {
    const firmware = await openMaintenance('Firmware');
    const flash = unit.log('flash');
    const offer = async (kind, file) => {
        await firmware.getByLabel('Image kind').selectOption({ label: kind });
        await choose(firmware, 'Image file', file);
    };
    await offer('Root file system (squashfs)', { name: 'notes.txt', buffer: Buffer.from('not an image') });
    await firmware.getByRole('button', { name: 'Upgrade' }).click();
    await firmware.getByText('notes.txt is not a Root file system (squashfs)').waitFor();
    const damaged = Buffer.concat([Buffer.from([0x27, 0x05, 0x19, 0x56]), Buffer.alloc(4092)]);
    await offer('Kernel (uImage)', { name: 'uImage', buffer: damaged });
    await confirmed(firmware, 'Upgrade');
    await firmware.getByText('The unit refused the image').waitFor();
    assert.equal(unit.log('flash'), flash);

    const bar = await firmware.locator('progress').elementHandle();
    await offer('Root file system (squashfs)', { name: 'rootfs.squashfs', buffer: Buffer.concat([Buffer.from('hsqs'), Buffer.alloc(2 << 20)]) });
    await confirmed(firmware, 'Upgrade');
    await restarted();
    assert.equal(await bar.evaluate((progress) => progress.value), 1, 'the upload was not shown to its end');
    assert.match(unit.log('flash').slice(flash.length), /flash_erase \/dev\/mtd2 0 0/);
});

test('restart with confirmation and reconnection', async () => {
    await signInAdmin(page);
    const restart = await openMaintenance('Restart');
    const reboots = unit.log('reboot');
    await confirmed(restart, 'Restart', 'Cancel');
    await confirmed(restart, 'Restart');
    await page.getByRole('heading', { name: 'Waiting for the unit' }).waitFor();
    await screenshot(page, 'restart');
    await restarted();
    assert.equal(unit.log('reboot'), `${reboots}reboot\n`);
    assert.deepEqual(page.foreign, []);
});
