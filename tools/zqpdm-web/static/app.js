// The web search page: tabs from /api/pages, conditions drawn from a page's description, the
// search, the result list, a hit's fields and its stored file. Every text from the server is put
// into the page as text, never as markup.

const $ = (id) => document.getElementById(id);

const state = {
  page: null,
  controls: [],     // the page's conditions as described: {id, kind, value, items, rows, values}
  baseActions: [],  // combo choices already applied to the description (they change the grid)
  columns: [],
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
  for (const button of $("tabs").children)
    button.setAttribute("aria-selected", button.dataset.page === page ? "true" : "false");
  $("results").replaceChildren();
  closeDetail();
  await describe();
  showStatus("");
}

async function describe() {
  const query = state.baseActions.length ? `?actions=${encodeURIComponent(JSON.stringify(state.baseActions))}` : "";
  try {
    const controls = await api(`/api/pages/${encodePage(state.page)}${query}`);
    renderConditions(controls);
  } catch (error) {
    showStatus(error.message, error.messages);
  }
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
  busy(true);
  showStatus("正在查找…");
  closeDetail();
  try {
    const answer = await api(`/api/pages/${encodePage(state.page)}/search`, {
      method: "POST",
      headers: { "Content-Type": "application/json" },
      body: JSON.stringify({ actions: actions() }),
    });
    renderResults(answer);
    showStatus(answer.status || `共 ${answer.rows.length} 项`, answer.messages);
  } catch (error) {
    $("results").replaceChildren();
    showStatus(error.message, error.messages);
  } finally {
    busy(false);
  }
}

function renderResults(answer) {
  const rows = answer.rows;
  if (!rows.length) {
    $("results").replaceChildren();
    return;
  }
  const keys = Object.keys(rows[0]);
  const columns = state.columns.length && state.columns.every((c) => keys.includes(c)) ? state.columns : keys;
  const head = element("thead", {}, [element("tr", {}, columns.map((c) => element("th", { textContent: c })))]);
  const body = element("tbody", {}, rows.map((row, index) => {
    const tr = element("tr", { tabIndex: 0 }, columns.map((c) => element("td", { textContent: row[c] ?? "" })));
    tr.dataset.id = answer.ids[index];
    tr.addEventListener("click", () => openHit(tr.dataset.id));
    tr.addEventListener("keydown", (e) => { if (e.key === "Enter") openHit(tr.dataset.id); });
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
    $("detail").hidden = false;
  } catch (error) {
    showStatus(error.message, error.messages);
  }
}

function closeDetail() {
  $("detail").hidden = true;
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
$("reset").addEventListener("click", resetConditions);
$("closeDetail").addEventListener("click", closeDetail);
$("download").addEventListener("click", download);
loadTabs().catch((error) => showStatus(error.message));
