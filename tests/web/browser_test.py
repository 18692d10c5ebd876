#!/usr/bin/python3
"""The web search in a real browser: headless Chromium, driven through WebDriver, types a part number
into the quick search and finds it first, with the command line's counts, opens its detail and sees
its preview picture; runs a tab search on the seeded demo and gets the command line's rows, opens a
hit and downloads its file, whose bytes are those the page fetches. It waits for what a user waits
for (the tab's conditions shown, the list of the search asked for), not for a time. Run by CTest (web_browser_test); exits 77 (skipped) without Chromium,
its driver or python3-selenium.

As root, Chromium runs as the unprivileged user nobody with its sandbox: its driver is started as
that user, and its profile and download folders are made where that user may write."""
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

SKIP = 77
BIN = os.path.join(os.environ.get("ZQ_BINARY_DIR", "."), "bin")
TODAY = "2026-03-01"

try:
    from selenium import webdriver
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support import expected_conditions as EC
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("skipped: python3-selenium is not installed")
    sys.exit(SKIP)

CHROMIUM = shutil.which("chromium")
DRIVER = shutil.which("chromedriver")
if not CHROMIUM or not DRIVER:
    print("skipped: chromium or chromium-driver is not installed")
    sys.exit(SKIP)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def cli(home, *arguments):
    """zqpdm-search on the demo, as zhangwei, its private folder below SCRATCH."""
    environment = dict(os.environ, ZQPDM_USER="zhangwei", QT_QPA_PLATFORM="offscreen", TMPDIR=os.path.join(home, "tmp"))
    environment.pop("XDG_RUNTIME_DIR", None)
    os.makedirs(environment["TMPDIR"], exist_ok=True)
    run = subprocess.run([os.path.join(BIN, "zqpdm-search"), "--home", home, "--today", TODAY, "--format", "json",
                          "--events", "json", *arguments], env=environment, capture_output=True, timeout=120)
    assert run.returncode == 0, run.stderr.decode()
    events = [json.loads(line) for line in run.stderr.decode().splitlines() if line.startswith("{")]
    return json.loads(run.stdout), events


class Browser:
    """Chromium through its driver; as root both run as nobody."""

    def __init__(self, scratch):
        self.downloads = os.path.join(scratch, "downloads")
        profile = os.path.join(scratch, "profile")
        for folder in (self.downloads, profile):
            os.makedirs(folder)
            os.chmod(folder, 0o777)
        os.chmod(scratch, 0o755)
        port = free_port()
        command = [DRIVER, f"--port={port}"]
        environment = dict(os.environ, HOME=profile)
        if os.geteuid() == 0:
            command = ["runuser", "-u", "nobody", "--"] + command
        self.driver_process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL)
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in ("--headless=new", "--disable-gpu", "--window-size=412,915", f"--user-data-dir={profile}"):
            options.add_argument(argument)
        options.add_experimental_option("prefs", {"download.default_directory": self.downloads,
                                                  "download.prompt_for_download": False})
        deadline = time.time() + 20
        while True:
            try:
                self.driver = webdriver.Remote(command_executor=f"http://127.0.0.1:{port}", options=options)
                break
            except Exception:
                if time.time() > deadline:
                    raise
                time.sleep(0.3)

    def close(self):
        try:
            self.driver.quit()
        finally:
            self.driver_process.terminate()
            self.driver_process.wait(10)


def main():
    scratch = tempfile.mkdtemp(prefix="zq-web-browser-")
    os.chmod(scratch, 0o755)   # the browser's user reaches its folders below it
    home = os.path.join(scratch, "home")
    subprocess.run([os.path.join(BIN, "pdm-seed"), "--home", home, "--today", TODAY], check=True,
                   capture_output=True, timeout=300)
    server = subprocess.Popen([os.path.join(BIN, "zqpdm-web"), "--home", home, "--local-user", "zhangwei", "--listen",
                               "127.0.0.1:0", "--today", TODAY], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              env=dict(os.environ, TMPDIR=os.path.join(scratch)))
    browser = None
    try:
        url = server.stdout.readline().decode().strip()
        assert url.startswith("http://127.0.0.1:"), url
        browser = Browser(os.path.join(scratch, "browser"))
        driver = browser.driver
        wait = WebDriverWait(driver, 60)
        driver.get(url)

        # The quick search: suggestions after three characters, the part itself first, the counts
        # of the command line, a kind's count filters the list.
        box = wait.until(EC.element_to_be_clickable((By.ID, "quickText")))
        box.send_keys("ZQ8600-0")
        wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, "#quickSuggestions option"))
        box.send_keys("1")
        wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, "#quickSuggestions option[value='ZQ8600-01']"))
        driver.find_element(By.ID, "quickFind").click()
        wait.until(EC.presence_of_element_located((By.CSS_SELECTOR, "#results[data-listed='quick'] tbody tr")))
        header = [th.text for th in driver.find_elements(By.CSS_SELECTOR, "#results thead th")]
        first = dict(zip(header, [td.text for td in driver.find_elements(By.CSS_SELECTOR, "#results tbody tr:first-child td")]))
        assert first.get("编号") == "ZQ8600-01" and first.get("匹配") == "编号相同", first
        hits, events = cli(home, "--quick", "ZQ8600-01")
        counts = next(event["counts"] for event in events if event["event"] == "STATUS")
        shown_counts = [button.text for button in driver.find_elements(By.CSS_SELECTOR, "#quickCounts button")]
        expected_counts = [f"全部 {len(hits)}"] + [f"{kind} {count}" for kind, count in counts.items() if count]
        assert sorted(shown_counts) == sorted(expected_counts), (shown_counts, expected_counts)
        assert driver.current_url.endswith("?q=ZQ8600-01"), driver.current_url   # the address names the search
        print(f"quick search: ZQ8600-01 first, counts {shown_counts}")
        driver.save_screenshot(os.path.join(os.environ.get("ZQ_BINARY_DIR", "."), "web-browser-quick-list.png"))

        # Its detail, with the preview picture the server drew.
        driver.find_element(By.CSS_SELECTOR, "#results tbody tr:first-child").click()
        wait.until(EC.visibility_of_element_located((By.ID, "detail")))
        wait.until(lambda d: d.execute_script("const p = document.getElementById('preview');"
                                              "return p.complete && p.naturalWidth > 0 && !p.hidden;"))
        width = driver.execute_script("return document.getElementById('preview').naturalWidth")
        print(f"quick search: the hit's preview picture shows ({width} px wide)")
        driver.save_screenshot(os.path.join(os.environ.get("ZQ_BINARY_DIR", "."), "web-browser-quick.png"))
        driver.find_element(By.ID, "closeDetail").click()
        driver.find_element(By.CSS_SELECTOR, "#quickCounts button[data-kind='批次产品']").click()
        kinds = {tr.find_element(By.CSS_SELECTOR, f"td:nth-child({header.index('类别') + 1})").text
                 for tr in driver.find_elements(By.CSS_SELECTOR, "#results tbody tr")}
        assert kinds == {"批次产品"}, kinds

        # A pasted list: each line's hits, and the line found nowhere.
        driver.find_element(By.CSS_SELECTOR, "#listCheck summary").click()
        driver.find_element(By.ID, "listText").send_keys("ZQ8600-01\nNOPE-404\n")
        driver.find_element(By.ID, "listFind").click()
        wait.until(EC.presence_of_element_located((By.CSS_SELECTOR, "#results[data-listed='quick'] tbody tr")))
        header = [th.text for th in driver.find_elements(By.CSS_SELECTOR, "#results thead th")]
        lines = [dict(zip(header, [td.text for td in tr.find_elements(By.TAG_NAME, "td")]))
                 for tr in driver.find_elements(By.CSS_SELECTOR, "#results tbody tr")]
        assert [line["输入"] for line in lines if line["类别"] == "未找到"] == ["NOPE-404"], lines
        assert all(line["编号"] == "ZQ8600-01" for line in lines if line["类别"] != "未找到"), lines
        print(f"list check: {len(lines)} rows, NOPE-404 未找到")

        # A tab search lists what the command line lists: 查找 once the tab's conditions are shown.
        wait.until(EC.element_to_be_clickable((By.XPATH, "//nav[@id='tabs']/button[text()='更改单']"))).click()
        wait.until(EC.presence_of_element_located((By.CSS_SELECTOR, "#conditions[data-ready='更改单']")))
        wait.until(EC.element_to_be_clickable((By.ID, "find"))).click()
        wait.until(EC.presence_of_element_located((By.CSS_SELECTOR, "#results[data-listed='更改单']")))
        status = driver.find_element(By.ID, "status").text
        assert status.startswith("操作提示"), status
        expected, _ = cli(home, "--page", "更改单")
        header = [th.text for th in driver.find_elements(By.CSS_SELECTOR, "#results thead th")]
        shown = [[td.text for td in tr.find_elements(By.TAG_NAME, "td")]
                 for tr in driver.find_elements(By.CSS_SELECTOR, "#results tbody tr")]
        assert expected, "the command line lists no change order"
        assert shown == [[row[column] for column in header] for row in expected], (shown, expected)
        print(f"更改单: {len(shown)} rows, as zqpdm-search lists them")

        # A document's detail, and its file downloaded as the page fetches it.
        driver.find_element(By.XPATH, "//nav[@id='tabs']/button[text()='设计文档']").click()
        wait.until(EC.presence_of_element_located((By.CSS_SELECTOR, "#conditions[data-ready='设计文档']")))
        wait.until(EC.element_to_be_clickable((By.ID, "find"))).click()
        wait.until(EC.element_to_be_clickable((By.CSS_SELECTOR, "#results[data-listed='设计文档'] tbody tr"))).click()
        wait.until(EC.visibility_of_element_located((By.ID, "detail")))
        fields = driver.find_elements(By.CSS_SELECTOR, "#fieldsOfHit dt")
        assert fields, "the detail shows no field"
        driver.find_element(By.ID, "download").click()
        _, events = cli(home, "--page", "设计文档", "--dblclick", "0")
        opened = [event["path"] for event in events if event["event"] == "OPEN"]
        assert len(opened) == 1, events
        name = os.path.basename(opened[0])
        target = os.path.join(browser.downloads, name)
        deadline = time.time() + 60
        while not os.path.exists(target) and time.time() < deadline:
            time.sleep(0.2)
        assert os.path.exists(target), os.listdir(browser.downloads)
        with open(target, "rb") as got, open(opened[0], "rb") as stored:
            assert got.read() == stored.read(), "the downloaded bytes differ from the stored file"
        print(f"设计文档: {name} downloaded, the stored file's bytes")
        driver.save_screenshot(os.path.join(os.environ.get("ZQ_BINARY_DIR", "."), "web-browser-test.png"))
    finally:
        if browser:
            browser.close()
        server.terminate()
        server.wait(10)
        shutil.rmtree(scratch, ignore_errors=True)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
