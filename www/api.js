// The unit's web API: commands at /cgi-bin/onu.cgi by number, host requests
// under it by path. Reads go by GET, writes by POST with the session's CSRF
// token; a reply of 401 means the session has ended.
import { parseReply } from './reply.js';
import { requestText } from './request.js';
import { checkValues } from './fields.js';

const CGI = '/cgi-bin/onu.cgi';
export const EXPORT_URL = `${CGI}/xml_config.tar`;

class SessionEnded extends Error {
    constructor() {
        super('The session has ended. Sign in again.');
    }
}
class Refused extends Error {}

let sessionEnded = () => {};
// `handler` runs whenever the unit answers that a session is needed.
export const onSessionEnd = (handler) => {
    sessionEnded = handler;
};

const csrfToken = () => /(?:^|;\s*)onu_csrf=([^;]*)/.exec(document.cookie)?.[1] ?? '';
const writeHeaders = () => ({ 'X-ONU-CSRF': csrfToken(), 'Content-Type': 'application/x-www-form-urlencoded' });

// The body of a reply, or the error its status stands for. An error reply
// carries its message in a line "<p>Error:405 -- set ip fail</p>".
function answerOf(status, body, quiet = false) {
    if (status === 401) {
        if (!quiet) sessionEnded();
        throw new SessionEnded();
    }
    if (status >= 200 && status < 300) return body;
    const message = /Error:\d+ -- ([^<]*)/.exec(body)?.[1] ?? `HTTP status ${status}`;
    throw new Refused(`The unit refused: ${message}.`);
}

async function send(url, init = {}, quiet = false) {
    let response;
    try {
        response = await fetch(url, { cache: 'no-store', ...init });
    } catch {
        throw new Refused('The unit does not answer.');
    }
    return answerOf(response.status, await response.text(), quiet);
}

// A command's bare answer to a read; `poll`: a timed refresh, which does not
// keep the session alive.
export function readAnswer(cmd, extra = [], { poll = false } = {}) {
    const query = requestText([['cmd_id', cmd], ['action', 0], ...extra]);
    return send(`${CGI}?${query}`, { headers: poll ? { 'X-ONU-Poll': '1' } : {} });
}
export const read = async (...args) => parseReply(await readAnswer(...args));

// Sends a command with `pairs` ([key, value] in order) and returns the bare answer.
export async function write(cmd, pairs = [], action = 1) {
    checkValues(cmd, pairs);
    const body = requestText([['cmd_id', cmd], ['action', action], ...pairs]);
    return send(CGI, { method: 'POST', headers: writeHeaders(), body });
}

// A write's answer: "0" (some commands add blanks) is done; `meanings` names
// the other answers a command gives.
export function accepted(answer, meanings = {}) {
    const code = answer.trim();
    if (code !== '0') throw new Refused(meanings[code] ?? `The unit refused the change (answer “${code}”).`);
}

export const login = async (username, password) =>
    parseReply(await write(1, [['username', username], ['password', password]], 0)).return_code;

export const sessionAccount = async () => parseReply(await send(`${CGI}/session`, {}, true)).account;
export const logout = () => send(`${CGI}/logout`, { method: 'POST', headers: writeHeaders() }, true);

// The bearer token for the metrics endpoint: `change` "new" or "clear".
export async function metricsToken(change) {
    const init = change ? { method: 'POST', headers: writeHeaders(), body: `action=${change}` } : {};
    return parseReply(await send(`${CGI}/metrics-token`, init)).token;
}

// The status of the session request, 0 when the unit does not answer in time.
export async function probe() {
    try {
        const response = await fetch(`${CGI}/session`, {
            cache: 'no-store', headers: { 'X-ONU-Poll': '1' }, signal: AbortSignal.timeout(4000),
        });
        return response.status;
    } catch {
        return 0;
    }
}

// Uploads `file` for a command, which goes in the URL; `progress` hears the
// fraction sent.
export function upload(cmd, pairs, file, progress, action = 1) {
    checkValues(cmd, pairs);
    const query = requestText([['cmd_id', cmd], ['action', action], ...pairs]);
    return new Promise((resolve, reject) => {
        const xhr = new XMLHttpRequest();
        xhr.open('POST', `${CGI}?${query}`);
        xhr.setRequestHeader('X-ONU-CSRF', csrfToken());
        xhr.upload.onprogress = (event) => event.lengthComputable && progress(event.loaded / event.total);
        xhr.onload = () => {
            try {
                resolve(answerOf(xhr.status, xhr.responseText));
            } catch (error) {
                reject(error);
            }
        };
        xhr.onerror = () => reject(new Refused('The unit does not answer.'));
        const form = new FormData();
        form.append('file', file, file.name);
        xhr.send(form);
    });
}
