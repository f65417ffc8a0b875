// What each request value may hold, one row per command and key:
// [cmd_id, key, rule, range]. `rule` is the unit's own check on the values it
// stores or hands on (the backend's table of request fields, which a test
// compares with this one); `range` is the field's own range or form.
import { InputError } from './request.js';

const TEXT = 'TEXT'; // no control character, no '"', no '\'
const SHELL = 'SHELL'; // TEXT, and none of the shell's blanks and special characters
export const SHELL_SPECIAL = " ;&|$`<>()*?[]{}!#~'";

const between = (min, max) => (value) =>
    /^\d{1,7}$/.test(value) && +value >= min && +value <= max ? '' : `Must be a whole number from ${min} to ${max}.`;
const oneOf = (...allowed) => (value) => (allowed.includes(value) ? '' : `Must be one of ${allowed.join(', ')}.`);
const optional = (range) => (value) => (value === '' ? '' : range(value));
const length = (min, max) => (value) =>
    value.length < min ? 'Must not be empty.' : value.length > max ? `Must hold at most ${max} characters.` : '';
// Identity texts announced to the OLT: printable ASCII of a fixed maximum length.
const ascii = (min, max) => (value) =>
    /^[\x20-\x7e]*$/.test(value) ? length(min, max)(value) : 'Must hold only printable ASCII characters.';
const matches = (pattern, what) => (value) => (pattern.test(value) ? '' : `Must be ${what}.`);

const OCTET = '(25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)';
const IPV4 = new RegExp(`^${OCTET}(\\.${OCTET}){3}$`);
// The unit keeps no address shorter than 8 characters.
const ipAddress = (value) =>
    !IPV4.test(value) ? 'Must be an IPv4 address such as 192.168.1.1.'
    : value.length < 8 ? 'The unit keeps no address shorter than 8 characters.' : '';
const netmask = (value) => {
    if (!IPV4.test(value)) return 'Must be a netmask such as 255.255.255.0.';
    const hostBits = 0xffffffff - value.split('.').reduce((bits, octet) => bits * 256 + Number(octet), 0);
    return hostBits !== 0xffffffff && (hostBits & (hostBits + 1)) === 0 ? '' : 'Must be a netmask: ones, then zeros.';
};
const portName = matches(/^[A-Za-z0-9_]{1,16}$/, 'a port name of letters and digits');
const vlanList = (value) =>
    value === '' || (/^\d{1,4}(,\d{1,4}){0,15}$/.test(value) && value.split(',').every((id) => !between(1, 4094)(id)))
        ? '' : 'Must be up to 16 VLAN IDs from 1 to 4094, separated by commas, such as 100,200.';

export const FIELDS = [
    [1, 'username', null, length(1, 32)],
    [1, 'password', null, length(0, 64)],
    [5, 'loid', TEXT, ascii(1, 24)],
    [5, 'password', TEXT, ascii(0, 12)],
    [5, 'sn', TEXT, ascii(1, 32)],
    [5, 'auth_mode', TEXT, oneOf('0', '1', '2', '3')],
    [5, 'fec_mode', TEXT, oneOf('0', '1')],
    [5, 'ponSerialNum', TEXT, matches(/^[A-Za-z0-9]{4}[0-9A-Fa-f]{8}$/, '4 letters or digits, then 8 hexadecimal digits')],
    [5, 'ponPassword', TEXT, ascii(0, 10)],
    [5, 'gpon_loid', TEXT, ascii(0, 24)],
    [5, 'gpon_password', TEXT, ascii(0, 12)],
    [5, 'vendor_id', TEXT, ascii(1, 4)],
    [5, 'onu_model', TEXT, ascii(1, 4)],
    [5, 'hard_ver', TEXT, ascii(1, 8)],
    [5, 'soft_ver', TEXT, ascii(1, 16)],
    [6, 'ip', TEXT, ipAddress],
    [6, 'netmask', TEXT, netmask],
    [14, 'port', null, portName],
    [14, 'loop_detect', null, oneOf('0', '1')],
    [16, 'ipv4DsMtu', TEXT, between(68, 2000)],
    [16, 'ipv4UsMtu', TEXT, between(68, 2000)],
    [16, 'ipv4pppoeUsMtu', TEXT, between(68, 1992)],
    [17, 'mc_mode', TEXT, oneOf('0', '1')],
    [19, 'pwdold', null, length(0, 64)],
    [19, 'pwdnew', TEXT, length(1, 64)],
    [20, 'pwdold', null, length(0, 64)],
    [20, 'pwdnew', TEXT, length(1, 64)],
    [21, 'update_type', null, oneOf('0', '1', '2', '3')],
    [22, 'portId', TEXT, portName],
    [22, 'mode', TEXT, oneOf('1', '2', '3', '4')],
    [22, 'def_vid', TEXT, between(1, 4094)],
    [22, 'vid_sum', TEXT, between(0, 16)],
    [22, 'vid_serial', TEXT, vlanList],
    [23, 'port', TEXT, portName],
    [23, 'flow_control', TEXT, oneOf('0', '1')],
    [23, 'auto', TEXT, oneOf('0', '1')],
    [23, 'mode', TEXT, between(0, 15)],
    [24, 'iso', null, oneOf('0', '1')],
    [25, 'age_time', TEXT, between(10, 1000000)],
    [26, 'algo_mode', TEXT, oneOf('0', '1')],
    [27, 'que_id', null, between(0, 7)],
    [27, 'usr_pri', TEXT, between(0, 255)],
    [28, 'voq_dir', null, oneOf('0', '1')],
    [28, 'voq_id', null, between(0, 7)],
    [28, 'voq_thresh', TEXT, between(1, 4096)],
    [30, 'bs', TEXT, oneOf('0', '1', '2', '3')],
    [30, 'bs_thresh', SHELL, optional(between(1, 1048568))],
];

function ruleProblem(value, rule) {
    for (const char of value) {
        const code = char.charCodeAt(0);
        if (code < 0x20 || code === 0x7f) return 'Must not hold control characters.';
        if (char === '"' || char === '\\' || (rule === SHELL && SHELL_SPECIAL.includes(char)))
            return char === ' ' ? 'Must not hold blanks.' : `Must not hold “${char}”.`;
    }
    return '';
}

// The problem with a value, or '' when it may be sent.
export function problemWith(cmd, key, value) {
    const row = FIELDS.find(([rowCmd, rowKey]) => rowCmd === cmd && rowKey === key);
    if (!row) throw new Error(`no field ${key} for command ${cmd}`);
    const [, , rule, range] = row;
    return (rule && ruleProblem(value, rule)) || range(value);
}

// Throws an InputError for the first value that may not be sent.
export function checkValues(cmd, pairs) {
    for (const [key, value] of pairs) {
        const problem = problemWith(cmd, key, String(value));
        if (problem) throw new InputError(key, problem);
    }
}
