// The settings pages, one form per command: PON identity, network, VLAN,
// ports and queues.
import { read, write, accepted } from './api.js';
import { settingsForm } from './form.js';

const OFF_ON = [['0', 'Off'], ['1', 'On']];
const QUEUES = [0, 1, 2, 3, 4, 5, 6, 7];
// The first object of a reply that comes in brackets.
const firstOf = (reply) => {
    if (!reply[0]) throw new Error('The unit holds no such setting.');
    return reply[0];
};

export function ponPage(view, page) {
    view.append(settingsForm({
        title: 'PON identity and authentication', cmd: 5,
        fields: [
            { name: 'cur_mac', label: 'MAC address', readonly: true, send: false },
            { name: 'loid', label: 'EPON LOID' },
            { name: 'password', label: 'EPON LOID password' },
            { name: 'sn', label: 'ONU serial number' },
            {
                name: 'auth_mode', label: 'Authentication mode', type: 'select',
                options: [['0', 'MAC address'], ['1', 'LOID'], ['2', 'LOID and password'], ['3', 'Hybrid']],
                hint: 'MAC address mode puts the factory vendor identity back.',
            },
            { name: 'fec_mode', label: 'Forward error correction', type: 'select', options: OFF_ON },
            { name: 'ponSerialNum', label: 'GPON serial number' },
            { name: 'ponPassword', label: 'GPON password' },
            { name: 'gpon_loid', label: 'GPON LOID' },
            { name: 'gpon_password', label: 'GPON LOID password' },
            { name: 'vendor_id', label: 'Vendor ID', hint: 'Announced to the OLT; shown as the factory profile holds it.' },
            { name: 'onu_model', label: 'Model' },
            { name: 'hard_ver', label: 'Hardware version' },
            { name: 'soft_ver', label: 'Software version' },
        ],
        // The command does not read the vendor identity back; the unit's
        // information has the factory profile's.
        async load() {
            const pon = await read(5);
            const unit = await read(2);
            return { ...pon, vendor_id: unit.onu_vendor_id, onu_model: unit.onu_model, hard_ver: unit.onu_hw_ver, soft_ver: unit.onu_soft_ver };
        },
    }, page));
}

export function networkPage(view, page) {
    view.append(
        settingsForm({
            title: 'Management address', cmd: 6,
            fields: [
                { name: 'ip', label: 'IP address', hint: 'Takes effect when the unit restarts.' },
                { name: 'netmask', label: 'Netmask' },
            ],
            load: () => read(6),
        }, page),
        settingsForm({
            title: 'MTU', cmd: 16,
            fields: [
                { name: 'ipv4DsMtu', label: 'Downstream IPv4 MTU', type: 'number' },
                { name: 'ipv4UsMtu', label: 'Upstream IPv4 MTU', type: 'number' },
                { name: 'ipv4pppoeUsMtu', label: 'Upstream IPv4 MTU over PPPoE', type: 'number' },
            ],
            load: () => read(16),
        }, page),
        settingsForm({
            title: 'Multicast', cmd: 17,
            fields: [{ name: 'mc_mode', label: 'Multicast mode', type: 'select', options: [['0', 'IGMP snooping'], ['1', 'OAM-controlled']] }],
            load: () => read(17),
        }, page));
}

export function vlanPage(view, page) {
    view.append(settingsForm({
        title: 'User port VLAN', cmd: 22,
        fields: [
            { name: 'portId', label: 'Port', readonly: true },
            { name: 'mode', label: 'Mode', type: 'select', options: [['1', 'Transparent'], ['2', 'Tag'], ['3', 'Translation'], ['4', 'Trunk']] },
            { name: 'def_vid', label: 'Default VLAN ID', type: 'number' },
            { name: 'vid_serial', label: 'VLAN list', hint: 'Translation and trunk: VLAN IDs separated by commas, such as 100,200.' },
        ],
        load: async () => {
            const port = firstOf(await read(22));
            return { ...port, vid_serial: port.vidSerial };
        },
        request: (values) => [
            ['portId', values.portId], ['mode', values.mode], ['def_vid', values.def_vid],
            ['vid_sum', values.vid_serial ? values.vid_serial.split(',').length : 0], ['vid_serial', values.vid_serial],
        ],
    }, page));
}

export function portsPage(view, page) {
    view.append(
        settingsForm({
            title: 'Port settings', cmd: 23,
            fields: [
                { name: 'port', label: 'Port', readonly: true },
                { name: 'flow_control', label: 'Flow control', type: 'checkbox' },
                { name: 'auto', label: 'Auto-negotiation', type: 'checkbox' },
                { name: 'mode', label: 'Work mode', type: 'number' },
                { name: 'mode_max', label: 'Highest work mode', readonly: true, send: false },
            ],
            load: async () => {
                const port = firstOf(await read(23));
                return { ...port, port: port.port_id, mode: port.work_mode };
            },
            check: (values) => (Number(values.mode) > Number(values.mode_max) ? { mode: `Must not exceed ${values.mode_max}.` } : {}),
        }, page),
        settingsForm({
            title: 'Port isolation', cmd: 24,
            fields: [{ name: 'iso', label: 'Isolate the user ports from each other', type: 'checkbox' }],
            load: () => read(24),
        }, page),
        settingsForm({
            title: 'Loop detection', cmd: 14,
            fields: [{ name: 'loop_detect', label: 'Detect loops on the user port', type: 'checkbox' }],
            load: async () => firstOf(await read(14)),
            request: (values) => [['port', '0'], ['loop_detect', values.loop_detect]],
        }, page),
        settingsForm({
            title: 'MAC address aging', cmd: 25,
            fields: [{ name: 'age_time', label: 'Aging time (seconds)', type: 'number' }],
            load: async () => ({ age_time: (await read(25)).aging_time }),
        }, page),
        settingsForm({
            title: 'Storm control', cmd: 30,
            fields: [
                {
                    name: 'bs', label: 'Mode', type: 'select',
                    options: [['0', 'Broadcast suppression'], ['1', 'Multicast suppression'], ['2', 'WAN rate limit'], ['3', 'Off']],
                },
                { name: 'bs_thresh', label: 'Threshold', type: 'number' },
            ],
            load: async () => {
                const storm = firstOf(await read(30));
                return { bs: storm.bc_mode, bs_thresh: storm.rate };
            },
            check: (values) => (values.bs !== '3' && values.bs_thresh === '' ? { bs_thresh: 'Needed unless storm control is off.' } : {}),
        }, page));
}

// Eight queues, one value each; a save sends the queues whose value changed.
const queueFields = (prefix, cmd, key, label) =>
    QUEUES.map((queue) => ({ name: `${prefix}${queue}`, label: `${label} ${queue}`, type: 'number', cmd, key }));
async function saveChangedQueues(cmd, prefix, values, loaded, pairsOf) {
    for (const queue of QUEUES) {
        const value = values[`${prefix}${queue}`];
        if (value !== loaded[`${prefix}${queue}`]) accepted(await write(cmd, pairsOf(queue, value)));
    }
}

export function queuesPage(view, page) {
    view.append(
        settingsForm({
            title: 'Scheduling', cmd: 26,
            fields: [{ name: 'algo_mode', label: 'Method', type: 'select', options: [['0', 'Strict priority'], ['1', 'Weighted round robin']] }],
            load: () => read(26),
        }, page),
        settingsForm({
            title: 'Queue weights', cmd: 27,
            fields: queueFields('queue', 27, 'usr_pri', 'Queue'),
            load: () => read(27),
            save: (values, loaded) =>
                saveChangedQueues(27, 'queue', values, loaded, (queue, value) => [['que_id', queue], ['usr_pri', value]]),
        }, page),
        settingsForm({
            title: 'Queue sizes (packets)', cmd: 28,
            fields: [
                { name: 'voq_dir', label: 'Queues', type: 'select', options: [['1', 'Transmit'], ['0', 'GMAC receive']], reloads: true },
                ...queueFields('size', 28, 'voq_thresh', 'Queue'),
            ],
            load: async ({ voq_dir: direction }) => ({ ...(await read(28, [['voq_dir', direction]])), voq_dir: direction }),
            save: (values, loaded) => saveChangedQueues(28, 'size', values, loaded,
                (queue, value) => [['voq_dir', values.voq_dir], ['voq_id', queue], ['voq_thresh', value]]),
        }, page));
}
