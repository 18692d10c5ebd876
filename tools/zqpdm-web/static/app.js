// The web search page: the quick search box with its suggestions and counts by kind, tabs from
// /api/pages, conditions drawn from a page's description, the search, the result list, a hit's
// fields, its preview picture and its stored file. Every text from the server is put into the page
// as text, never as markup. An answer that arrives after the user has asked for something newer
// (another tab, another search) is dropped, so what is shown is always what was asked for last.

const $ = (id) => document.getElementById(id);

const state = {
  page: null,
  controls: [],     // the page's conditions as described: {id, kind, value, items, rows, values}
  baseActions: [],  // combo choices already applied to the description (they change the grid)
  columns: [],
  describing: 0,    // tickets: the latest description, list and suggestions asked for
  listing: 0,
  suggesting: 0,
  quick: null,      // the quick search's answer, filtered by kind on the page
};

async function api(path, options = {}) {
  const response = await fetch(path, { credentials: "same-origin", ...options });
  const text = await response.text();
  let body = null;
  try { body = text ? JSON.parse(text) : null; } catch { body = null; }
  if (!response.ok) {
    const error = new Error((body && body.error) || `请求失败 (${response.status})`);
    error.messages = (body && body.messages) || [];
    throw error;
  }
  return body;
}

const encodePage = (page) => encodeURIComponent(page);

function element(tag, properties = {}, children = []) {
  const node = document.createElement(tag);
  Object.assign(node, properties);
  for (const child of children) node.append(child);
  return node;
}

function showStatus(text, messages = []) {
  $("status").textContent = text;
  $("messages").replaceChildren(...messages.map((m) => element("li", { textContent: m })));
}

function busy(on) {
  $("find").disabled = on;
  document.body.setAttribute("aria-busy", on ? "true" : "false");
}

async function loadTabs() {
  const { pages } = await api("/api/pages");
  const tabs = $("tabs");
  tabs.replaceChildren(...pages.map((page) => {
    const button = element("button", { type: "button", textContent: page });
    button.setAttribute("role", "tab");
    button.dataset.page = page;
    button.addEventListener("click", () => selectPage(page));
    return button;
  }));
  if (pages.length) await selectPage(pages[0]);
  else showStatus("这个安装没有查询页。");
}

async function selectPage(page) {
  state.page = page;
  state.baseActions = [];
  state.listing++;
  delete document.body.dataset.view;
  for (const button of $("tabs").children)
    button.setAttribute("aria-selected", button.dataset.page === page ? "true" : "false");
  clearResults();
  closeDetail();
  showStatus("");
  await describe();
}

// The page's conditions; 查找 waits for them, so a search never carries another tab's conditions.
// The form says which tab it shows in data-ready once they are there.
async function describe() {
  const page = state.page;
  const ticket = ++state.describing;
  const form = $("conditions");
  delete form.dataset.ready;
  $("find").disabled = true;
  const query = state.baseActions.length ? `?actions=${encodeURIComponent(JSON.stringify(state.baseActions))}` : "";
  try {
    const controls = await api(`/api/pages/${encodePage(page)}${query}`);
    if (ticket !== state.describing) return;
    renderConditions(controls);
  } catch (error) {
    if (ticket !== state.describing) return;
    // The page's defaults can still be searched.
    renderConditions([]);
    showStatus(error.message, error.messages);
  }
  form.dataset.ready = page;
  $("find").disabled = false;
}

const shownKinds = new Set(["edit", "combo", "check", "date", "grid", "radio"]);

function renderConditions(controls) {
  const pageControls = controls.filter((c) => c.place === "page");
  const list = pageControls.find((c) => c.kind === "list");
  state.columns = list && list.columns ? list.columns : [];
  state.controls = pageControls.filter((c) => shownKinds.has(c.kind) && !(c.state || []).includes("hidden"));
  const previous = new Map();
  for (const input of $("fields").querySelectorAll("[data-key]")) previous.set(input.dataset.key, input);
  $("fields").replaceChildren(...state.controls.map((control) => field(control)));
  // What was typed stays when the description changes (a combo that changes the grid's rows).
  for (const input of $("fields").querySelectorAll("[data-key]")) {
    const before = previous.get(input.dataset.key);
    if (before && before.type !== "checkbox" && input.tagName === "INPUT" && before.value !== before.defaultValue)
      input.value = before.value;
  }
}

function field(control) {
  const disabled = (control.state || []).includes("disabled");
  const id = `c${control.id}`;
  const label = (control.label || "").replace(/[:：]$/, "");
  if (control.kind === "grid") {
    const rows = (control.rows || []).map((name, index) => {
      const input = element("input", { type: "text", value: (control.values || [])[index] || "", disabled });
      input.defaultValue = input.value;
      input.dataset.key = `${control.id}:${index}`;
      input.setAttribute("aria-label", name);
      return element("tr", {}, [element("td", { textContent: name }), element("td", {}, [input])]);
    });
    return element("div", { className: "field grid" }, [element("table", {}, [element("tbody", {}, rows)])]);
  }
  let input;
  if (control.kind === "combo") {
    input = element("select", { id, disabled }, (control.items || []).map((item) =>
      element("option", { value: item, textContent: item, selected: item === control.value })));
    input.addEventListener("change", () => chooseCombo(control, input.value));
  } else if (control.kind === "check" || control.kind === "radio") {
    input = element("input", { id, type: "checkbox", checked: control.value === "1", disabled });
    input.defaultChecked = input.checked;
  } else {
    input = element("input", { id, type: control.kind === "date" ? "date" : "text", value: control.value || "", disabled });
    input.defaultValue = input.value;
  }
  input.dataset.key = String(control.id);
  const wrapper = element("div", { className: control.kind === "check" || control.kind === "radio" ? "field check" : "field" });
  wrapper.append(element("label", { htmlFor: id, textContent: label }), input);
  return wrapper;
}

async function chooseCombo(control, value) {
  state.baseActions = state.baseActions.filter((a) => a[1] !== String(control.id));
  state.baseActions.push(["set", String(control.id), value]);
  await describe();
}

// The conditions the user changed, as the API's actions, after the combo choices.
function actions() {
  const list = [...state.baseActions];
  for (const control of state.controls) {
    if (control.kind === "grid") {
      (control.rows || []).forEach((_, index) => {
        const input = $("fields").querySelector(`[data-key="${control.id}:${index}"]`);
        if (input && input.value !== ((control.values || [])[index] || ""))
          list.push(["cell", String(control.id), String(index), input.value]);
      });
      continue;
    }
    if (control.kind === "combo") continue;
    const input = $(`c${control.id}`);
    if (!input || input.disabled) continue;
    if (input.type === "checkbox") {
      const value = input.checked ? "1" : "0";
      if (value !== control.value) list.push(["set", String(control.id), value]);
    } else if (input.value !== (control.value || "")) {
      list.push(["set", String(control.id), input.value]);
    }
  }
  return list;
}

async function search(event) {
  event.preventDefault();
  const page = state.page;
  if ($("conditions").dataset.ready !== page) return;
  const ticket = ++state.listing;
  busy(true);
  showStatus("正在查找…");
  closeDetail();
  clearResults();
  try {
    const answer = await api(`/api/pages/${encodePage(page)}/search`, {
      method: "POST",
      headers: { "Content-Type": "application/json" },
      body: JSON.stringify({ actions: actions() }),
    });
    if (ticket !== state.listing) return;
    renderResults(answer, state.columns, page);
    showStatus(answer.status || `共 ${answer.rows.length} 项`, answer.messages);
  } catch (error) {
    if (ticket === state.listing) showStatus(error.message, error.messages);
  } finally {
    busy(false);
  }
}

function clearResults() {
  $("results").replaceChildren();
  delete $("results").dataset.listed;
  $("quickCounts").hidden = true;
}

// The quick search over every kind; its counts by kind filter the list on the page.
async function quickSearch(event) {
  event.preventDefault();
  const text = $("quickText").value.trim();
  if (!text) {
    $("quickText").focus();
    return;
  }
  state.suggesting++;
  const shown = await showQuickAnswer($("quickFind"), () => api(`/api/quick?q=${encodeURIComponent(text)}`));
  // The address names the search, to be kept as a bookmark or sent on.
  if (shown) history.replaceState(null, "", `?q=${encodeURIComponent(text)}`);
}

// A pasted list of codes checked line by line: what each line is, and the lines found nowhere.
async function checkList(event) {
  event.preventDefault();
  const text = $("listText").value;
  if (!text.trim()) {
    $("listText").focus();
    return;
  }
  await showQuickAnswer($("listFind"), () => api("/api/quick-list", {
    method: "POST",
    headers: { "Content-Type": "text/plain; charset=utf-8" },
    body: text,
  }));
}

// Shows the envelope ASK answers as the quick search's view; true when it was shown.
async function showQuickAnswer(button, ask) {
  const ticket = ++state.listing;
  closeDetail();
  clearResults();
  showStatus("正在查找…");
  button.disabled = true;
  try {
    const answer = await ask();
    if (ticket !== state.listing) return false;
    state.quick = answer;
    renderCounts(answer);
    showQuickKind("");
    showStatus(answer.status, answer.messages);
    // The quick search's hits are a view of their own: no tab's conditions above them. A tab
    // brings its conditions back.
    document.body.dataset.view = "quick";
    for (const tab of $("tabs").children) tab.setAttribute("aria-selected", "false");
    return true;
  } catch (error) {
    if (ticket === state.listing) showStatus(error.message, error.messages);
    return false;
  } finally {
    button.disabled = false;
  }
}

function renderCounts(answer) {
  const kinds = Object.entries(answer.counts).filter(([, count]) => count > 0);
  const choices = [["", `全部 ${answer.rows.length}`], ...kinds.map(([kind, count]) => [kind, `${kind} ${count}`])];
  $("quickCounts").replaceChildren(...choices.map(([kind, text]) => {
    const button = element("button", { type: "button", textContent: text });
    button.dataset.kind = kind;
    button.addEventListener("click", () => showQuickKind(kind));
    return button;
  }));
  $("quickCounts").hidden = kinds.length === 0;
}

function showQuickKind(kind) {
  const answer = state.quick;
  // A list's counts are 找到 and 未找到 (lines); the quick search's, kinds.
  const chosen = (row) => !kind || row["类别"] === kind || (kind === "找到" && row["类别"] !== "未找到");
  const shown = answer.rows.map((row, index) => [row, answer.ids[index]]).filter(([row]) => chosen(row));
  renderResults({ rows: shown.map(([row]) => row), ids: shown.map(([, id]) => id) }, [], "quick");
  for (const button of $("quickCounts").children)
    button.setAttribute("aria-pressed", button.dataset.kind === kind ? "true" : "false");
  closeDetail();
}

// Codes for the search box once three characters are typed, asked for when typing pauses.
let suggestTimer = 0;
function suggestSoon(event) {
  clearTimeout(suggestTimer);
  // A suggestion picked from the list is searched at once.
  if (event.inputType === "insertReplacementText" || !event.inputType) {
    const picked = [...$("quickSuggestions").options].some((option) => option.value === $("quickText").value);
    if (picked) {
      $("quick").requestSubmit();
      return;
    }
  }
  const text = $("quickText").value.trim();
  if (text.length < 3) {
    state.suggesting++;
    $("quickSuggestions").replaceChildren();
    return;
  }
  suggestTimer = setTimeout(() => suggest(text), 250);
}

async function suggest(text) {
  const ticket = ++state.suggesting;
  try {
    const { suggestions } = await api(`/api/suggest?q=${encodeURIComponent(text)}`);
    if (ticket !== state.suggesting) return;
    $("quickSuggestions").replaceChildren(...suggestions.map((s) =>
      element("option", { value: s.code, label: `${s.name} · ${s.kind}` })));
  } catch {
    // Suggestions are a help only: the search itself says what went wrong.
  }
}

// LISTED names what the list shows ("quick" or the tab), for whoever waits for it.
function renderResults(answer, preferredColumns, listed) {
  const rows = answer.rows;
  $("results").dataset.listed = listed;
  if (!rows.length) {
    $("results").replaceChildren();
    return;
  }
  const keys = Object.keys(rows[0]);
  const columns = preferredColumns.length && preferredColumns.every((c) => keys.includes(c)) ? preferredColumns : keys;
  const head = element("thead", {}, [element("tr", {}, columns.map((c) => element("th", { textContent: c })))]);
  const body = element("tbody", {}, rows.map((row, index) => {
    const tr = element("tr", {}, columns.map((c) => element("td", { textContent: row[c] ?? "" })));
    const id = answer.ids[index];
    if (!id) return tr;   // a line of a list found nowhere
    tr.tabIndex = 0;
    tr.dataset.id = id;
    tr.addEventListener("click", () => openHit(id));
    tr.addEventListener("keydown", (e) => { if (e.key === "Enter") openHit(id); });
    return tr;
  }));
  $("results").replaceChildren(element("table", {}, [head, body]));
}

async function openHit(id) {
  try {
    const hit = await api(`/api/hits/${encodeURIComponent(id)}`);
    $("fieldsOfHit").replaceChildren(...Object.entries(hit.fields).flatMap(([name, value]) =>
      [element("dt", { textContent: name }), element("dd", { textContent: value })]));
    const link = $("download");
    link.dataset.href = hit.file;
    showPreview(hit.preview);
    $("detail").hidden = false;
  } catch (error) {
    showStatus(error.message, error.messages);
  }
}

// The picture is made on the server the first time (the stored file fetched and drawn).
function showPreview(path) {
  const picture = $("preview");
  $("previewBox").hidden = !path;
  picture.hidden = true;
  picture.removeAttribute("src");
  if (!path) return;
  $("previewNote").textContent = "正在生成预览…";
  picture.src = path;
}

function previewLoaded() {
  $("preview").hidden = false;
  $("previewNote").textContent = "";
}

function previewFailed() {
  if (!$("preview").getAttribute("src")) return;
  $("preview").hidden = true;
  $("previewNote").textContent = "无预览图";
}

function closeDetail() {
  $("detail").hidden = true;
  $("preview").removeAttribute("src");
}

// The file arrives as the server fetched it; its name is the one the server gives.
async function download(event) {
  event.preventDefault();
  const link = event.currentTarget;
  showStatus("正在取文件…");
  try {
    const response = await fetch(link.dataset.href, { credentials: "same-origin" });
    if (!response.ok) {
      let text = `取文件失败 (${response.status})`;
      try { const body = await response.json(); text = body.error || text; } catch { /* not JSON */ }
      showStatus(text);
      return;
    }
    const disposition = response.headers.get("Content-Disposition") || "";
    const match = /filename\*=UTF-8''([^;]+)/.exec(disposition);
    const name = match ? decodeURIComponent(match[1]) : "file";
    const url = URL.createObjectURL(await response.blob());
    const save = element("a", { href: url, download: name });
    document.body.append(save);
    save.click();
    save.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
    showStatus(`已下载 ${name}`);
  } catch (error) {
    showStatus(error.message);
  }
}

function resetConditions() {
  state.baseActions = [];
  describe();
}

$("conditions").addEventListener("submit", search);
$("quick").addEventListener("submit", quickSearch);
$("listForm").addEventListener("submit", checkList);
$("quickText").addEventListener("input", suggestSoon);
$("preview").addEventListener("load", previewLoaded);
$("preview").addEventListener("error", previewFailed);
$("reset").addEventListener("click", resetConditions);
$("closeDetail").addEventListener("click", closeDetail);
$("download").addEventListener("click", download);
// An address with ?q=TEXT opens with that quick search (a bookmark, a link sent on, a scanned code).
const asked = new URLSearchParams(location.search).get("q");
loadTabs().then(() => {
  if (asked && asked.trim()) {
    $("quickText").value = asked;
    $("quick").requestSubmit();
  }
}).catch((error) => showStatus(error.message));
