// The pages' own checks, no browser needed: the field table against the
// backend's, the reply and request formats, and the pages' size and safety.
import test from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { FIELDS, SHELL_SPECIAL, problemWith } from '../../www/fields.js';
import { parseReply } from '../../www/reply.js';
import { requestText } from '../../www/request.js';

const ROOT = path.resolve(import.meta.dirname, '../..');
const WWW = path.join(ROOT, 'www');
const backend = fs.readFileSync(path.join(ROOT, 'src/web/request_fields.cpp'), 'utf8');

test('the pages check the same keys with the same rules as the backend', () => {
    const rows = [...backend.matchAll(/\{(\d+), "(\w+)", ValueRule::(\w+)\},/g)].map(([, cmd, key, rule]) => `${cmd} ${key} ${rule}`);
    assert.ok(rows.length > 0, 'no rows read from request_fields.cpp');
    const pages = FIELDS.filter(([, , rule]) => rule).map(([cmd, key, rule]) => `${cmd} ${key} ${rule}`);
    assert.deepEqual(pages.sort(), rows.sort());
    assert.equal(SHELL_SPECIAL, /SHELL_SPECIAL\[\] = "(.*)";/.exec(backend)[1]);
});

test('values are refused by their rule and range', () => {
    const cases = [ // cmd_id, key, allowed values, refused values
        [5, 'loid', ['EP;1|2$(x)'], ['EP"1', 'EP\\1', 'EP\t1', 'EP\x7f1', '']],
        [30, 'bs_thresh', ['1048568', ''], ['1048569', ...[...SHELL_SPECIAL].map((char) => `1${char}2`)]],
        [22, 'def_vid', ['4094'], ['0', '4095']],
        [22, 'vid_serial', ['100,4094', ''], ['100, 200', '5000']],
        [6, 'ip', ['10.0.0.10'], ['1.2.3.4', '10.0.0.256']],
        [6, 'netmask', ['255.255.240.0'], ['255.0.255.0', '0.0.0.0']],
        [28, 'voq_id', ['7'], ['8']],
    ];
    for (const [cmd, key, allowed, refused] of cases) {
        for (const value of allowed) assert.equal(problemWith(cmd, key, value), '', `${key}=${JSON.stringify(value)}`);
        for (const value of refused) assert.notEqual(problemWith(cmd, key, value), '', `${key}=${JSON.stringify(value)}`);
    }
});

test('replies are read, and requests written, as the unit does', () => {
    const plain = (reply) => JSON.parse(JSON.stringify(reply));
    const cases = [
        ['{a:"1",b:""}\n', { a: '1', b: '' }],
        ['{}', {}],
        ['[{loop_detect:"1"}]', [{ loop_detect: '1' }]],
        ['[ {port_id:"0",link:"net_up"},{port_id:"1",link:"net_up"}]', [{ port_id: '0', link: 'net_up' }, { port_id: '1', link: 'net_up' }]],
        ['[]', []],
        ['{k:"say "hi",x",v:"-inf dBm"}', { k: 'say "hi",x', v: '-inf dBm' }],
    ];
    for (const [text, expected] of cases) assert.deepEqual(plain(parseReply(text)), expected, text);
    for (const text of ['1', ' 0', 'error', '{a:"1"', '{a:1}', '[{a:"1"}'])
        assert.throws(() => parseReply(text), SyntaxError, text);
    // A request goes out only when each key reads back its own value.
    assert.equal(requestText([['cmd_id', 30], ['action', 1], ['bs', 2], ['bs_thresh', '']]), 'cmd_id=30&action=1&bs=2&bs_thresh=');
    for (const pairs of [[['bs_thresh', '1'], ['bs', '2']], [['pwdold', 'a&pwdnew=b'], ['pwdnew', 'c']]])
        assert.throws(() => requestText(pairs), /Cannot be sent/, JSON.stringify(pairs));
});

test('the pages stay small, parse no values as HTML and name no other host', (t) => {
    const assets = fs.readdirSync(WWW).filter((name) => /\.(html|js|css|svg)$/.test(name));
    let total = 0;
    for (const name of assets) {
        const text = fs.readFileSync(path.join(WWW, name));
        total += zlib.gzipSync(text, { level: 9 }).length;
        assert.doesNotMatch(String(text), /innerHTML|outerHTML|insertAdjacentHTML|document\.write|\beval\(|\bFunction\(|https?:\/\//, name);
    }
    t.diagnostic(`pages: ${assets.length} files, ${total} bytes gzip-compressed (limit 65536)`);
    assert.ok(total <= 64 * 1024);
});
