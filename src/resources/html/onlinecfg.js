// Script of the ZEV-GSM settings page.
//
// The program talks to this page through a few hidden inputs (at the end of
// the section "Результат настроек"):
//   gsmSetup   click: load the settings text in its value into the controls;
//              always holds the items as currently edited
//   gsmSMS     always holds the SMS template as edited, "sms:" + text
//   goonline   click: show the settings (online state)
//   gooffline  click: show "Ожидание подключения..." (waiting state)
//   blur       click: commit the field being edited
//   kivo       click: show the service sections
// and the page asks the program to act by navigating to "write()" (write
// the settings) and "sync()" (read them again).
//
// Settings text: items "key:value" separated by single blanks, then the SMS
// template "sms:..." to the end of the text, its line breaks written as "|".
// The keys are the ids of the controls; for a group of radio buttons it is the
// group's name and the value is the number after "_" of the chosen button;
// check boxes are 1 or 0, lists the number of the chosen line from 0.
//   aon        mode: 0 security system, 1 the same with automatic re-arming, 2 dialler
//   p12v       supply voltage control: 0 none, 1 9 V / 8.5 V, 2 11.5 V / 10.8 V
//   pp         sound confirmation of delays
//   tbad       minimum violation time of a zone, 0.01 s (1..65535)
//   tnorm      time all zones stay normal before automatic re-arming, 0.1 s (1..65535)
//   maxt       maximum notification time, minutes (0 unlimited)
//   pass       password for configuration by SMS (1..65535)
//   ton        hour of automatic arming (0..23, 99 off)
//   tstart     first hour of the test period (0..23)
//   tstop      last hour of the test period (0..23, 99 none)
//   tint       test interval, hours (0 off)
//   tempmin    lowest temperature of the GSM unit, C (-40..85)
//   tempmax    highest temperature of the GSM unit, C (-40..85)
//   cash       number to dial for the account balance (up to 21 of 0-9 + * #)
//   cashmin    balance limit (0..65535)
//   cashtime   balance polling period, hours (0 off)
//   tNt        sensor N (1..4) thermistor: 0 none, 1..4 Vishay 2381 640 1k, 2k, 4.7k, 10k
//   tNcal      sensor N calibration, 0.1 C (-100..100)
//   tNt1       sensor N Tmin, C (-55..125);  tNd1  action below Tmin (0..10)
//   tNt2       sensor N Tmax, C (-55..125);  tNd2  action above Tmax (0..10)
//              actions: 0 none, 1..4 switch output 1..4 on, 5..8 switch it off, 9 alarm, 10 24h alarm
//   inN        input N (1..4) zone type (0..8)
//   inNdop     input N extra: 0 normal, 1 silent, 2 no alarm
//   inNf       input N forced arming;  inNper  input N is perimeter
//   inNcon     input N loop: 0 resistance control, 1 normally closed, 2 normally open
//   inNz       input N notification group 1..4 as 0..3
//   inNtime    input N delay, seconds (0 immediate)
//   outN       output N (1..4) type (0..9)
//   outNoff    output N off with the system;  outNu  user-controlled;  outNp  confirms arming
//   outNl      output N logic: 0 normal, 1 inverse
//   outNtime   output N active time, seconds (0 unlimited)
//   usrph_N    user N (1..10) phone number (up to 21 of 0-9 + * #)
//   usron_N, usral_N, usrtst_N   user N on arming, on alarm, on test:
//              0 none, 1 call, 2 SMS, 3 call and SMS, 4 call, SMS if no answer
//   usrc_N     user N may control the system;  usre_N  economical dialling;  usri_N  informational SMS
//   pass2      the old password, which the module needs to accept new settings
// Items whose keys the page does not know are kept and passed on unchanged.
// A control the module did not report is sent only once the operator sets it.

"use strict";

// Limits of the typed fields; "N" stands for the number of a sensor, input,
// output or user.
var RULES = {
    tbad: { min: 1, max: 65535 }, tnorm: { min: 1, max: 65535 }, maxt: { min: 0, max: 65535 },
    pass: { min: 1, max: 65535 }, pass2: { min: 1, max: 65535, empty: true },
    ton: { min: 0, max: 23, also: 99 }, tstart: { min: 0, max: 23 }, tstop: { min: 0, max: 23, also: 99 },
    tint: { min: 0, max: 65535 },
    tempmin: { min: -40, max: 85 }, tempmax: { min: -40, max: 85 },
    cash: { phone: true }, cashmin: { min: 0, max: 65535 }, cashtime: { min: 0, max: 65535 },
    tNcal: { min: -100, max: 100 }, tNt1: { min: -55, max: 125 }, tNt2: { min: -55, max: 125 },
    inNtime: { min: 0, max: 65535 }, outNtime: { min: 0, max: 65535 },
    usrph_N: { phone: true, empty: true }
};

// Characters the template may hold: they all exist in windows-1251, and none
// of them breaks the module's messages apart.
var SMS_ALLOWED = /[\x20-\x7E\n\u0410-\u044F\u0401\u0451\u2116\u00AB\u00BB\u00B0\u2013\u2014\u201C\u201D\u201E\u2018\u2019\u20AC]/;

var controls = {};   // key -> { kind: "radio" | "check" | "select" | "text", els: [...] }
var order = [];      // keys in page order
var state = {
    loaded: {},      // key -> value as the module reported it
    touched: {},     // key -> true once the operator changed the control
    extras: [],      // reported items of keys this page does not know
    lastValid: {},   // text key -> last accepted value
    lastSms: "",
    baseline: "",    // the items and the template as loaded, for "only changes"
    baselineSms: "sms:"
};

function $(id) { return document.getElementById(id); }

function init() {
    cloneUnits("t1box", 4, unitName);
    cloneUnits("in1box", 4, unitName);
    cloneUnits("out1box", 4, unitName);
    cloneUnits("usr_1", 10, userName);
    indexControls();
    var form = $("setup");
    form.addEventListener("input", onInput);
    form.addEventListener("change", onChange);
    rememberTexts();
    $("gsmSetupShow").placeholder = "(без изменений)";
    $("gsmSMSShow").placeholder = "(без изменений)";
    refresh();
}

// ---- building the repeated blocks -------------------------------------

function unitName(name, n) { return name.replace(/^([a-z]+)1/, "$1" + n); }
function userName(name, n) { return name.replace(/_1$/, "_" + n); }

function cloneUnits(firstId, count, rename) {
    var first = $(firstId), after = first;
    for (var n = 2; n <= count; n++) {
        var copy = first.cloneNode(true);
        renameTree(copy, rename, n);
        var numbers = copy.getElementsByClassName("n");
        for (var i = 0; i < numbers.length; i++)
            numbers[i].textContent = String(n);
        // Users 4 to 10 are for the service staff only.
        if (copy.tagName.toUpperCase() === "TR" && n > 3)
            copy.className = "notForAll";
        after.parentNode.insertBefore(copy, after.nextSibling);
        after = copy;
    }
}

function renameTree(root, rename, n) {
    var all = [root].concat(Array.prototype.slice.call(root.querySelectorAll("[id], [name]")));
    all.forEach(function (e) {
        if (e.id)
            e.id = rename(e.id, n);
        if (e.getAttribute("name"))
            e.setAttribute("name", rename(e.getAttribute("name"), n));
    });
}

function indexControls() {
    var els = $("setup").elements;
    for (var i = 0; i < els.length; i++) {
        var e = els[i];
        if (e.type === "button" || e.type === "hidden" || e.classList.contains("aux"))
            continue;
        var kind = e.type === "radio" ? "radio" : e.type === "checkbox" ? "check"
                 : e.tagName.toUpperCase() === "SELECT" ? "select" : "text";
        var key = kind === "radio" ? e.name : e.id;
        if (!key)
            continue;
        if (!controls[key]) {
            controls[key] = { kind: kind, els: [] };
            order.push(key);
        }
        controls[key].els.push(e);
    }
}

function rememberTexts() {
    order.forEach(function (key) {
        if (controls[key].kind === "text")
            state.lastValid[key] = controls[key].els[0].value;
    });
    state.lastSms = $("sms").value;
}

// ---- settings text <-> controls ----------------------------------------

// The same split as the program's: the first word whose key is "sms" starts
// the template; words with a key and a colon are items; others are dropped.
function splitSettings(text) {
    var words = text.split(" "), items = [], sms = "";
    for (var i = 0; i < words.length; i++) {
        var w = words[i], colon = w.indexOf(":");
        if (colon === 3 && w.substr(0, 3).toLowerCase() === "sms") {
            sms = words.slice(i).join(" ").substr(4);
            return { items: items, sms: sms, hasSms: true };
        }
        if (colon > 0)
            items.push(w);
    }
    return { items: items, sms: "", hasSms: false };
}

function readControl(key) {
    var c = controls[key];
    if (c.kind === "text")
        return state.lastValid[key];
    if (c.kind === "check")
        return c.els[0].checked ? "1" : "0";
    if (c.kind === "select")
        return c.els[0].selectedIndex < 0 ? null : String(c.els[0].selectedIndex);
    for (var i = 0; i < c.els.length; i++)
        if (c.els[i].checked)
            return c.els[i].id.substr(key.length + 1);
    return null;
}

// Shows a reported value; one the control cannot show leaves it empty (the
// value itself is kept and passed on as reported).
function writeControl(key, value) {
    var c = controls[key];
    if (c.kind === "text") {
        c.els[0].value = value;
    } else if (c.kind === "check") {
        c.els[0].checked = value === "1";
    } else if (c.kind === "select") {
        var n = /^\d+$/.test(value) ? parseInt(value, 10) : -1;
        c.els[0].selectedIndex = n < c.els[0].options.length ? n : -1;
    } else {
        c.els.forEach(function (e) { e.checked = e.id === key + "_" + value; });
    }
}

function serialize() {
    var items = [];
    order.forEach(function (key) {
        var value = null;
        if (key === "pass2")
            value = state.lastValid.pass2 || null;
        else if (state.touched[key])
            value = readControl(key);
        if ((value === null || value === undefined) && key !== "pass2" && key in state.loaded)
            value = state.loaded[key];
        if (value !== null && value !== undefined)
            items.push(key + ":" + value);
    });
    return items.concat(state.extras).join(" ");
}

function smsText() {
    return "sms:" + $("sms").value.replace(/\r\n|\r|\n/g, "|");
}

function refresh() {
    $("gsmSetup").value = serialize();
    $("gsmSMS").value = smsText();
    showSmsInfo();
    showSetup();
}

// gsmSetup was clicked: its value is a settings text from the module.
function loadSettings() {
    var parts = splitSettings($("gsmSetup").value || "");
    var onlyChanges = $("onlyChanges").checked;
    $("setup").reset();
    $("onlyChanges").checked = onlyChanges;
    clearMarks();
    state.loaded = {};
    state.touched = {};
    state.extras = [];
    parts.items.forEach(function (item) {
        var colon = item.indexOf(":");
        var key = item.substr(0, colon).toLowerCase(), value = item.substr(colon + 1);
        if (key === "pass2") {
            $("pass2").value = value;
        } else if (controls[key]) {
            state.loaded[key] = value;
            writeControl(key, value);
        } else {
            state.extras.push(item);
        }
    });
    if (!$("pass2").value && state.loaded.pass)
        $("pass2").value = state.loaded.pass;
    $("sms").value = parts.sms.replace(/\|/g, "\n");
    rememberTexts();
    state.baseline = serialize();
    state.baselineSms = smsText();
    refresh();
}

// The service staff's own text from the waiting panel.
function loadUserSettings() {
    var setup = $("gsmSetupUser").value.replace(/\s+/g, " ").trim();
    var sms = $("gsmSMSUser").value.replace(/\r\n|\r|\n/g, "|");
    if (sms && sms.substr(0, 4).toLowerCase() !== "sms:") {
        $("userSetupError").textContent = "Шаблон SMS должен начинаться с 'sms:'";
        return;
    }
    $("userSetupError").textContent = "";
    $("gsmSetup").value = setup + (sms ? " " + sms : "");
    loadSettings();
    online();
}

// ---- checking what the operator types -----------------------------------

function ruleFor(key) {
    return RULES[key] || RULES[key.replace(/^([a-z]+)[1-4](?=[a-z])/, "$1N").replace(/_\d+$/, "_N")];
}

function rangeText(r) {
    var text = "допустимо от " + r.min + " до " + r.max;
    if (r.also !== undefined)
        text += " или " + r.also;
    if (r.min < 0)
        text += " (минус вводится как «#»)";
    return text;
}

// { ok, value } with the value as it is stored, or { ok: false, message }.
function check(key, raw) {
    var r = ruleFor(key), v = raw.trim();
    if (!r)
        return /^[^ :]*$/.test(v) ? { ok: true, value: v } : { ok: false, message: "пробел и двоеточие недопустимы" };
    if (v === "" && r.empty)
        return { ok: true, value: "" };
    if (r.phone) {
        if (v.length > 21 || !/^[0-9+*#]*$/.test(v))
            return { ok: false, message: "не более 21 знака: цифры, «+», «*» и «#»" };
        return { ok: true, value: v };
    }
    var m = (r.min < 0 ? /^([#-]?)(\d{1,5})$/ : /^()(\d{1,5})$/).exec(v);
    if (!m)
        return { ok: false, message: rangeText(r) };
    var n = parseInt(m[2], 10) * (m[1] ? -1 : 1);
    if ((n < r.min || n > r.max) && n !== r.also)
        return { ok: false, message: rangeText(r) };
    return { ok: true, value: n < 0 ? "#" + m[2] : m[2] };
}

function markField(el, message, bad) {
    var id = el.id + "_err", span = $(id);
    if (!span) {
        span = document.createElement("span");
        span.id = id;
        span.className = "err";
        el.parentNode.appendChild(span);
    }
    span.textContent = message || "";
    el.classList.toggle("bad", !!bad);
}

function clearMarks() {
    var spans = Array.prototype.slice.call(document.querySelectorAll("#setup span.err"));
    spans.forEach(function (s) { s.textContent = ""; });
    var bad = Array.prototype.slice.call(document.querySelectorAll("#setup .bad"));
    bad.forEach(function (e) { e.classList.remove("bad"); });
    $("smsError").textContent = "";
}

function onInput(event) {
    var el = event.target;
    if (el.id === "sms")
        return onSmsInput();
    if (el.type !== "text" || !controls[el.id])
        return;
    var result = check(el.id, el.value);
    if (result.ok) {
        state.lastValid[el.id] = result.value;
        state.touched[el.id] = true;
        markField(el, "", false);
        refresh();
    } else {
        markField(el, result.message, true);
    }
}

function onChange(event) {
    var el = event.target;
    if (el.classList.contains("aux"))
        return;
    if (el.type === "text") {
        if (!controls[el.id])
            return;
        var result = check(el.id, el.value);
        if (result.ok) {
            el.value = result.value;
            state.lastValid[el.id] = result.value;
            state.touched[el.id] = true;
            markField(el, "", false);
        } else {
            var typed = el.value;
            el.value = state.lastValid[el.id] || "";
            markField(el, "Значение «" + typed + "» не принято: " + result.message, false);
        }
    } else {
        state.touched[el.type === "radio" ? el.name : el.id] = true;
    }
    refresh();
}

function onSmsInput() {
    var area = $("sms"), typed = area.value, removed = "";
    var fixed = typed.replace(/\u2026/g, "...").replace(/\r\n|\r|\|/g, "\n");
    var kept = "";
    for (var i = 0; i < fixed.length; i++) {
        var c = fixed.charAt(i);
        if (SMS_ALLOWED.test(c))
            kept += c;
        else if (removed.indexOf(c) < 0)
            removed += c;
    }
    if (kept !== typed) {
        var caret = Math.max(0, area.selectionStart - (typed.length - kept.length));
        area.value = kept;
        area.setSelectionRange(caret, caret);
    }
    $("smsError").textContent = removed
        ? "Символы «" + removed + "» нельзя передать в модуль ZEV-GSM, они убраны из шаблона." : "";
    state.lastSms = kept;
    refresh();
}

// ---- what the page shows -------------------------------------------------

// Number of SMS a text takes (an empty one still goes as one): 160 characters in one message (153 per part)
// in the GSM alphabet, 70 (67 per part) as soon as a letter needs Unicode.
function smsCount(text) {
    if (!text.length)
        return { parts: 1, unicode: false, length: 0 };
    var units = 0, unicode = false;
    for (var i = 0; i < text.length; i++) {
        var c = text.charAt(i);
        if (/[A-Za-z0-9 \n!"#$%&'()*+,\-.\/:;<=>?@_]/.test(c))
            units += 1;
        else if (/[\^{}\\\[\]~|\u20AC]/.test(c))
            units += 2;
        else
            unicode = true;
    }
    var parts = unicode ? (text.length <= 70 ? 1 : Math.ceil(text.length / 67))
                        : (units <= 160 ? 1 : Math.ceil(units / 153));
    return { parts: parts, unicode: unicode, length: unicode ? text.length : units };
}

function showSmsInfo() {
    var text = $("sms").value.replace(/\r\n|\r/g, "\n");
    var count = smsCount(text);
    $("smsl").textContent = "Шаблон занимает " + count.parts + " sms";
    $("smsPreview").textContent = (text || "(шаблон пуст)") + "\n\n"
        + "Знаков: " + count.length + (count.unicode ? ", кириллица: 70 знаков в одном sms" : ", латиница: 160 знаков в одном sms");
}

function showSetup() {
    var setup = $("gsmSetup").value, sms = $("gsmSMS").value;
    if ($("onlyChanges").checked) {
        var before = {};
        splitSettings(state.baseline).items.forEach(function (i) { before[i.toLowerCase()] = true; });
        setup = splitSettings(setup).items.filter(function (i) { return !before[i.toLowerCase()]; }).join(" ");
        if (sms === state.baselineSms)
            sms = "";
    }
    $("gsmSetupShow").value = setup;
    $("gsmSMSShow").value = sms;
}

function online() {
    $("offline1").style.display = "none";
    $("page").className = "";
}

function offline() {
    $("page").className = "hidden";
    $("offline1").style.display = "";
}

function service() {
    ["kivo1", "kivo2", "kivo3", "kivo4"].forEach(function (id) { $(id).style.height = "auto"; });
    var hidden = Array.prototype.slice.call(document.getElementsByClassName("notForAll"));
    hidden.forEach(function (e) { e.className = e.className.replace(/\bnotForAll\b/, "forall"); });
}

function toggleTherm(link) {
    var table = $("therm_idv");
    var show = table.classList.contains("hidden");
    table.classList.toggle("hidden", !show);
    link.textContent = show ? "Скрыть настройки." : "Показать настройки.";
    return false;
}

function jump(id) {
    var target = $(id), bar = $("navigate");
    window.scrollTo(0, target.getBoundingClientRect().top + window.pageYOffset - bar.offsetHeight - 6);
    return false;
}

function randomPassword() {
    var value = String(1 + Math.floor(Math.random() * 65530));
    $("pass").value = value;
    state.lastValid.pass = value;
    state.touched.pass = true;
    markField($("pass"), "", false);
    refresh();
}
