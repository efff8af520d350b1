// The console page: everything comes from the JSON API and the events WebSocket. Text from the
// station, its files and its users is only ever set as text, never parsed as HTML.
'use strict';

const HEARTBEAT_LIMIT_MS = 5000;
const RECONNECT_MS = 2000;
const MAX_LOG_LINES = 1000;

const state = {
  session: null,
  socket: null,
  lastBeat: 0,
  clockOffset: 0,
  snapshot: null,
  beacons: { version: 0, items: [] },
  schedule: { version: 0, items: [] },
};

const $ = (id) => document.getElementById(id);

function element(tag, text, className) {
  const node = document.createElement(tag);
  if (text !== undefined) node.textContent = String(text);
  if (className) node.className = className;
  return node;
}

async function api(method, path, body) {
  const options = { method, headers: {}, credentials: 'same-origin' };
  if (method !== 'GET') {
    options.headers['Content-Type'] = 'application/json';
    if (state.session) options.headers['X-CSRF-Token'] = state.session.token;
    options.body = JSON.stringify(body === undefined ? {} : body);
  }
  const response = await fetch(path, options);
  let data = {};
  try { data = await response.json(); } catch (e) { data = {}; }
  if (response.status === 401 && path !== '/api/login' && path !== '/api/session') showLogin('');
  return { status: response.status, data };
}

function can(role) {
  const order = { viewer: 0, operator: 1, admin: 2 };
  return state.session && order[state.session.role] >= order[role];
}

// ---- login ----

function showLogin(message) {
  state.session = null;
  if (state.socket) state.socket.close();
  $('console').hidden = true;
  $('login').hidden = false;
  $('login-error').textContent = message;
}

async function login(event) {
  event.preventDefault();
  const result = await api('POST', '/api/login', {
    user: $('login-user').value, password: $('login-password').value });
  $('login-password').value = '';
  if (result.status !== 200) {
    $('login-error').textContent = result.data.error || 'Login failed';
    return;
  }
  start(result.data);
}

async function logout() {
  await api('POST', '/api/logout');
  showLogin('Logged out.');
}

function start(session) {
  state.session = session;
  $('login').hidden = true;
  $('console').hidden = false;
  $('who').textContent = session.user + ' (' + session.role + ')';
  document.body.classList.toggle('readonly', !can('admin'));
  loadLog();
  loadRecordings();
  loadLists();
  connect();
}

// ---- events ----

function connect() {
  if (!state.session) return;
  const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
  const socket = new WebSocket(scheme + location.host + '/api/events');
  state.socket = socket;
  socket.onmessage = (message) => {
    const event = JSON.parse(message.data);
    state.lastBeat = Date.now();
    if (event.type === 'snapshot') renderSnapshot(event.snapshot);
    else if (event.type === 'levels') renderLevels(event.levels);
    else if (event.type === 'log') appendLog(event.line);
    else if (event.type === 'heartbeat') state.clockOffset = event.time - Date.now();
    setLive(true);
  };
  socket.onclose = () => {
    if (state.socket !== socket) return;
    state.socket = null;
    setLive(false);
    setTimeout(reconnect, RECONNECT_MS);
  };
}

async function reconnect() {
  if (!state.session || state.socket) return;
  try {
    const result = await api('GET', '/api/session');
    if (result.status === 200) {
      state.session = result.data;
      connect();
      loadLog();
      return;
    }
  } catch (e) { /* the station is away: try again */ }
  if (state.session) setTimeout(reconnect, RECONNECT_MS);
}

function setLive(live) {
  $('console').classList.toggle('stale', !live);
  $('connection').hidden = live;
}

// A station that stops answering (stopped, frozen, or the network gone) greys at once.
setInterval(() => {
  if (!state.session) return;
  if (state.socket && Date.now() - state.lastBeat > HEARTBEAT_LIMIT_MS) {
    const socket = state.socket;
    state.socket = null;
    setLive(false);
    socket.onclose = null;
    socket.close();
    setTimeout(reconnect, RECONNECT_MS);
  }
  renderKeyed();
}, 1000);

// ---- status ----

function renderSnapshot(snapshot) {
  state.snapshot = snapshot;
  $('title').textContent = snapshot.title || 'Internet Repeater';
  document.title = snapshot.title || 'Internet Repeater';
  const indicator = $('indicator');
  indicator.textContent = snapshot.indicator.caption;
  indicator.className = 'indicator ' + snapshot.indicator.colour;
  $('error').textContent = snapshot.error;
  $('clock').textContent = snapshot.date + ' ' + snapshot.time;
  renderKeyed();
  renderControls(snapshot);
}

function renderKeyed() {
  const snapshot = state.snapshot;
  if (!snapshot) return;
  if (!snapshot.keyed) {
    $('keyed').textContent = 'Transmitter released';
    return;
  }
  const seconds = Math.max(0, Math.round((Date.now() + state.clockOffset - snapshot.keyedSince) / 1000));
  $('keyed').textContent = 'Transmitter keyed for ' + seconds + ' s';
}

function renderControls(snapshot) {
  const operator = can('operator');
  for (const button of document.querySelectorAll('#modes button')) {
    button.classList.toggle('on', !snapshot.schedulerOn && Number(button.dataset.mode) === snapshot.mode);
    button.disabled = !operator || snapshot.recorderRunning;
  }
  const states = $('states');
  states.replaceChildren();
  for (const entry of snapshot.stateButtons) {
    const button = element('button', entry.caption, entry.checked ? 'on' : '');
    button.type = 'button';
    button.disabled = !operator;
    button.addEventListener('click', () => act('/api/state', { state: entry.state }));
    states.append(button);
  }
  const scheduler = $('scheduler');
  scheduler.textContent = snapshot.schedulerOn ? 'Scheduler: on' : 'Scheduler: off';
  scheduler.classList.toggle('on', snapshot.schedulerOn);
  scheduler.disabled = !operator || snapshot.recorderRunning;
  const recorder = $('recorder');
  recorder.textContent = snapshot.recorderRunning ? 'Recorder: running' : 'Recorder: stopped';
  recorder.classList.toggle('on', snapshot.recorderRunning);
  recorder.disabled = !operator || !snapshot.recorderAvailable;
  if (!operator) $('action-error').textContent = 'Your role (viewer) may watch, not change the station.';
}

function renderLevels(levels) {
  const meters = $('meters');
  if (meters.children.length !== levels.traces.length) {
    meters.replaceChildren();
    for (let i = 0; i < levels.traces.length; ++i) {
      const meter = element('div', undefined, 'meter');
      meter.append(element('div', '', 'caption'));
      const track = element('div', undefined, 'track');
      track.append(element('div', undefined, 'level'), element('div', undefined, 'threshold'));
      meter.append(track);
      meters.append(meter);
    }
  }
  levels.traces.forEach((trace, i) => {
    const meter = meters.children[i];
    meter.querySelector('.caption').textContent =
      trace.caption + ': ' + trace.level + ' dB (threshold ' + trace.threshold + ' dB)';
    // Levels in dB from 0 to the meter's full scale across the track.
    const percent = (db) => Math.min(100, Math.max(0, db * 100 / (trace.maximum || 90)));
    meter.querySelector('.level').style.width = percent(trace.level) + '%';
    meter.querySelector('.threshold').style.left = percent(trace.threshold) + '%';
  });
}

async function act(path, body) {
  const result = await api('POST', path, body);
  $('action-error').textContent = result.status === 200 ? '' : (result.data.error || 'Refused');
  if (result.status === 200) renderSnapshot(result.data);
}

// ---- log ----

async function loadLog() {
  const result = await api('GET', '/api/log?lines=200');
  if (result.status !== 200) return;
  $('log').textContent = '';
  result.data.lines.forEach(appendLog);
}

function appendLog(line) {
  const log = $('log');
  const atEnd = log.scrollTop + log.clientHeight >= log.scrollHeight - 4;
  log.append(document.createTextNode(line + '\n'));
  while (log.childNodes.length > MAX_LOG_LINES) log.firstChild.remove();
  if (atEnd) log.scrollTop = log.scrollHeight;
  if (line.includes('Recording finished')) loadRecordings();
}

// ---- recordings ----

async function loadRecordings() {
  const result = await api('GET', '/api/recordings');
  if (result.status !== 200) return;
  const list = $('recordings');
  list.replaceChildren();
  for (const recording of result.data.recordings.slice(0, 20)) {
    const item = element('li');
    const url = '/api/recordings/' + encodeURIComponent(recording.name);
    item.append(element('span', recording.name), element('span', recording.length));
    const listen = element('button', 'Listen');
    listen.type = 'button';
    listen.addEventListener('click', () => { $('player').src = url; $('player').play(); });
    item.append(listen);
    if (can('operator')) {
      const air = element('button', 'Play on air');
      air.type = 'button';
      air.addEventListener('click', () => act(url + '/play'));
      item.append(air);
    }
    list.append(item);
  }
}

// ---- beacons and schedule ----

const RULE = ['min', 'hour', 'day', 'month', 'weekDay'];

function input(value, className, disabled) {
  const field = document.createElement('input');
  field.type = 'text';
  field.value = value === undefined ? '' : String(value);
  if (className) field.className = className;
  field.disabled = disabled;
  return field;
}

function checkbox(checked, disabled) {
  const box = document.createElement('input');
  box.type = 'checkbox';
  box.checked = !!checked;
  box.disabled = disabled;
  return box;
}

function renderList(table, items, first, last) {
  const body = table.tBodies[0];
  body.replaceChildren();
  const locked = !can('admin');
  items.forEach((item, index) => {
    const row = element('tr');
    row.item = item;
    const cell = (node) => { const td = element('td'); td.append(node); row.append(td); return node; };
    row.first = cell(first(item, locked));
    row.enabled = cell(checkbox(item.enabled, locked));
    row.rule = RULE.map((key) => cell(input(item[key] || '*', '', locked)));
    row.last = cell(last(item, locked));
    const remove = element('button', 'Delete', 'admin');
    remove.type = 'button';
    remove.addEventListener('click', () => { items.splice(index, 1); renderList(table, items, first, last); });
    cell(remove);
    body.append(row);
  });
}

function readList(table, read) {
  return Array.from(table.tBodies[0].rows).map((row) => {
    const item = read(row);
    item.enabled = row.enabled.checked;
    RULE.forEach((key, i) => { item[key] = row.rule[i].value; });
    return item;
  });
}

const beaconName = (item, locked) => input(item.name, 'name', locked);
const beaconCW = (item, locked) => input(item.cw, '', locked);
const eventMode = (item, locked) => {
  const select = document.createElement('select');
  select.disabled = locked;
  [['0', '(choose)'], ['1', 'Internet Repeater'], ['2', 'Simplex Repeater'], ['3', 'Beacon Station']]
    .forEach(([value, text]) => { const option = element('option', text); option.value = value; select.append(option); });
  select.value = String(item.mode || 0);
  return select;
};
const eventDuration = (item, locked) => input(item.duration || 0, '', locked);

function renderBeacons() { renderList($('beacons'), state.beacons.items, beaconName, beaconCW); }
function renderSchedule() { renderList($('schedule'), state.schedule.items, eventMode, eventDuration); }

async function loadLists() {
  const beacons = await api('GET', '/api/beacons');
  const schedule = await api('GET', '/api/schedule');
  if (beacons.status === 200) { state.beacons = beacons.data; renderBeacons(); }
  if (schedule.status === 200) { state.schedule = schedule.data; renderSchedule(); }
}

async function saveList(path, items, errorId) {
  const version = path === '/api/beacons' ? state.beacons.version : state.schedule.version;
  const result = await api('POST', path, { version, items });
  $(errorId).textContent = result.status === 200 ? 'Saved.' : (result.data.error || 'Refused');
  if (result.status === 200 || result.status === 409) loadLists();
}

function saveBeacons() {
  const items = readList($('beacons'), (row) => ({
    name: row.first.value, cw: row.last.value, waveFile: row.item.waveFile || '' }));
  saveList('/api/beacons', items, 'beacon-error');
}

function saveSchedule() {
  const items = readList($('schedule'), (row) => ({
    mode: Number(row.first.value), duration: Number(row.last.value) || 0 }));
  saveList('/api/schedule', items, 'event-error');
}

// ---- start ----

document.addEventListener('DOMContentLoaded', async () => {
  $('login-form').addEventListener('submit', login);
  $('logout').addEventListener('click', logout);
  for (const button of document.querySelectorAll('#modes button'))
    button.addEventListener('click', () => act('/api/mode', { mode: Number(button.dataset.mode) }));
  $('scheduler').addEventListener('click', () => act('/api/scheduler', { on: !state.snapshot.schedulerOn }));
  $('recorder').addEventListener('click', () => act('/api/recorder', { on: !state.snapshot.recorderRunning }));
  $('beacon-add').addEventListener('click', () => {
    state.beacons.items.push({ name: '', enabled: false }); renderBeacons(); });
  $('event-add').addEventListener('click', () => {
    state.schedule.items.push({ mode: 0, enabled: false, duration: 0 }); renderSchedule(); });
  $('beacon-save').addEventListener('click', saveBeacons);
  $('event-save').addEventListener('click', saveSchedule);
  const result = await api('GET', '/api/session');
  if (result.status === 200) start(result.data);
  else showLogin(result.status === 401 ? '' : (result.data.error || ''));
});
