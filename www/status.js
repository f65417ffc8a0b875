// The status page: what the unit is, its optical readings, its user port and
// its EPON counters, read again every 5 s while the page is in view.
import { h, factList, answerLine } from './dom.js';
import { read } from './api.js';

const REFRESH_MS = 5000;
const onOff = (value) => ({ 0: 'Off', 1: 'On' })[value] ?? value;
const yesNo = (value) => ({ 0: 'No', 1: 'Yes' })[value] ?? value;
const VLAN_MODES = { 1: 'Transparent', 2: 'Tag', 3: 'Translation', 4: 'Trunk' };
const MULTICAST_MODES = { 0: 'IGMP snooping', 1: 'OAM-controlled' };
// No light reaches the receiver: the unit reports the power of zero as -inf.
const receivedPower = (value) => (/inf/i.test(value) ? `${value} (no signal)` : value);

const SECTIONS = [
    {
        cmd: 2, title: 'Unit', rows: [
            ['type', 'Model'], ['app_ver', 'Software version'], ['onu_fm_ver', 'Firmware version'],
            ['onu_mac', 'MAC address'], ['onu_ip', 'IP address'], ['onu_netmask', 'Netmask'], ['onu_id', 'ONU ID'],
            ['reg_st', 'PON registration', (value) => (value === '1' ? 'Registered' : 'Not registered')],
            ['llid', 'LLID'], ['fec_mode', 'FEC', onOff], ['afec_ability', 'FEC capable', yesNo],
            ['onu_vendor_id', 'Vendor'], ['onu_model', 'Model (eOAM)'], ['onu_hw_ver', 'Hardware version'],
            ['onu_soft_ver', 'Software version (eOAM)'], ['chipset_vendor_id', 'Chip vendor'],
            ['chipset_chip_model', 'Chip model'], ['chipset_rev', 'Chip revision'], ['chipset_ic_ver', 'Chip version'],
            ['capabi_service_supported', 'Service'], ['capabi_ge_num', 'GE ports'], ['capabi_fe_num', 'FE ports'],
            ['capabi_pots_num', 'POTS ports'], ['capabi_us_que_num', 'Upstream queues per port'],
            ['capabi_ds_que_num', 'Downstream queues per port'], ['capabi_battery_backup', 'Battery backup', yesNo],
        ],
    },
    {
        cmd: 3, title: 'Optical module', rows: [
            ['temp', 'Temperature'], ['voltage', 'Supply voltage'], ['bias', 'Laser bias current'],
            ['tx_opt_power', 'Transmitted power'], ['rx_opt_power', 'Received power', receivedPower],
        ],
    },
    {
        cmd: 4, title: 'User port', rows: [
            ['link', 'Link', (value) => (value === '1' ? 'Up' : 'Down')], ['admin_status', 'Enabled', yesNo],
            ['link_rate', 'Work mode'], ['auto_neg', 'Auto-negotiation', onOff], ['pause', 'Flow control', onOff],
            ['VlanInfo_mode', 'VLAN mode', (value) => VLAN_MODES[value] ?? value], ['default_vid', 'Default VLAN'],
            ['VlanInfo_serial', 'VLAN list'], ['loop_detect', 'Loop detection', onOff],
            ['mc_mode', 'Multicast mode', (value) => MULTICAST_MODES[value] ?? value],
            ['max_igmp_group', 'Multicast groups'],
        ],
    },
    {
        cmd: 8, title: 'EPON counters', rows: [
            ['rxDataFrames', 'Received data frames'], ['rxCtrlFrames', 'Received control frames'],
            ['rxGateFrames', 'Received GATE frames'], ['rxReportFrames', 'Received REPORT frames'],
            ['rxFcsFrames', 'Received frames with FCS errors'], ['rxShortFrames', 'Received short frames'],
            ['rxLongFrames', 'Received long frames'], ['txDataFrames', 'Sent data frames'],
            ['txReportFrames', 'Sent REPORT frames'], ['txRegisterRequestFrames', 'Sent REGISTER_REQ frames'],
            ['txRegisterAckFrames', 'Sent REGISTER_ACK frames'], ['txByteAllow', 'Bytes granted'],
            ['swTxTotalFrames', 'Software: frames sent'], ['swTxErorFrames', 'Software: send errors'],
            ['swRxTotalFrames', 'Software: frames received'], ['swRxErrorFrames', 'Software: receive errors'],
            ['swRegAckFrames', 'Registrations acknowledged'], ['swRegNackFrames', 'Registrations refused'],
            ['swRegDeRegFrames', 'Deregistrations'], ['swRegReRegFrams', 'Reregistrations'],
        ],
    },
];

export function statusPage(view, page) {
    const updated = answerLine();
    const lists = SECTIONS.map(({ cmd, rows }) => ({ cmd, list: factList(rows) }));
    view.append(updated, h('div', { class: 'panels' },
        SECTIONS.map(({ title }, i) => h('section', {}, h('h2', {}, title), lists[i].list))));

    // One request at a time: each is a process on the unit.
    let busy = false;
    let shown = true;
    const refresh = async (poll) => {
        if (busy) return;
        busy = true;
        try {
            for (const { cmd, list } of lists) {
                if (!shown) return;
                const reply = await read(cmd, [], { poll });
                list.update(Array.isArray(reply) ? reply[0] ?? {} : reply);
            }
            updated.say(`Updated at ${new Date().toLocaleTimeString()}.`);
        } catch (error) {
            updated.say(`Not refreshed: ${error.message}`, 'bad');
        } finally {
            busy = false;
        }
    };
    const timer = setInterval(() => document.hidden || refresh(true), REFRESH_MS);
    const onVisible = () => document.hidden || refresh(true);
    document.addEventListener('visibilitychange', onVisible);
    page.onLeave(() => {
        shown = false;
        clearInterval(timer);
        document.removeEventListener('visibilitychange', onVisible);
    });
    refresh(false);
}
