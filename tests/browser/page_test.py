#!/usr/bin/env python3
"""The server's page in a real headless browser: an address typed gives its row
and a marker, a click on the map gives the reverse answer.

Usage: page_test.py MRK2CLI DATA_DIR [SCREENSHOT.png]
Needs Debian's chromium, chromium-driver and python3-selenium
(scripts/install-deps.sh --test). Talks to the server over loopback only."""
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait


def main():
    cli, data = sys.argv[1], sys.argv[2]
    shot = sys.argv[3] if len(sys.argv) > 3 else None
    with tempfile.TemporaryDirectory() as work:
        ini = os.path.join(work, "mrk2tool.ini")
        with open(ini, "w", encoding="utf-8") as f:
            f.write(f"[MRK]\nDBDIR={work}\n")
        run = lambda *a: subprocess.run([cli, "--ini", ini, "--quiet", *a], check=True,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        timeout=300)
        run("init", work)
        run("register", "文京区", f"{data}/abr/mt_rsdtdsp_rsdt_pref13.csv.zip",
            f"{data}/abr/mt_rsdtdsp_rsdt_pos_pref13.csv.zip")
        run("register", "沖縄県", f"{data}/abr/47000-17.0b.zip")

        server = subprocess.Popen([cli, "--ini", ini, "serve", "--port", "0"],
                                  stdout=subprocess.PIPE, text=True)
        try:
            url = re.search(r"http://127\.0\.0\.1:\d+/", server.stdout.readline()).group(0)
            browse(url, shot)
        finally:
            server.send_signal(signal.SIGTERM)
            code = server.wait(timeout=30)
        assert code == 0, f"the server ended with {code}"
    print("1 passed, 0 failed")


def browse(url, shot):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                "--window-size=1280,800", "--lang=ja"):
        options.add_argument(arg)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.set_page_load_timeout(60)
        wait = WebDriverWait(driver, 60)
        driver.get(url)
        wait.until(lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-ready") == "1")

        box = driver.find_element(By.ID, "address")
        box.send_keys("文京区本郷一丁目1-1")
        driver.find_element(By.ID, "find").click()
        wait.until(lambda d: len(d.find_elements(By.CSS_SELECTOR, "#answers tbody tr")) == 1)
        cells = [td.text for td in driver.find_elements(By.CSS_SELECTOR, "#answers tbody td")]
        assert cells[:5] == ["文京区本郷一丁目1-1", "東京都", "文京区", "本郷一丁目", "1-1"], cells
        assert cells[-1] == "住居", cells
        assert driver.find_elements(By.CSS_SELECTOR, ".leaflet-marker-icon"), "no marker"

        batch = driver.find_element(By.ID, "batch")
        batch.send_keys("文京区本郷二丁目1\n文京区本郷三丁目1")
        driver.find_element(By.ID, "findBatch").click()
        wait.until(lambda d: len(d.find_elements(By.CSS_SELECTOR, "#answers tbody tr")) == 3)

        # A click beside the marker asks /reverse.
        the_map = driver.find_element(By.ID, "map")
        ActionChains(driver).move_to_element_with_offset(the_map, 40, 40).click().perform()
        wait.until(lambda d: d.find_element(By.ID, "reverse").text.startswith("逆引き"))
        answer = driver.find_element(By.ID, "reverse").text
        assert re.search(r"逆引き: 東京都文京区.*（(住居|街区)、\d+ m）", answer), answer
        if shot:
            time.sleep(0.5)
            driver.save_screenshot(shot)
    finally:
        driver.quit()


if __name__ == "__main__":
    main()
