#!/usr/bin/python3
"""Remakes the README's pictures of the web console: the demo-like Simplex station on the virtual
card, an admin logged in while a transmission is recorded, at a desktop's and a phone's width.
Usage: scripts/make-web-screenshots.py [TARVOK_BINARY] (default build/release/src/app/tarvok)."""
import os
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, 'tests', 'web'))
from browser_station import Station, browser, log_in  # noqa: E402

binary = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'build/release/src/app/tarvok')
images = os.path.join(root, 'docs', 'images')
os.makedirs(images, exist_ok=True)
station = Station(binary)
station.start()
try:
    for name, width, height in (('web-console-desktop.png', 1280, 900),
                                ('web-console-phone.png', 390, 844)):
        driver = browser(width, height)
        try:
            log_in(driver, station, 'ada')
            # The scenario's tone is heard from second 2 of every 20: shown while it is recorded.
            deadline = time.time() + 30
            while time.time() < deadline and \
                    driver.find_element('id', 'indicator').text != 'RECORDING':
                time.sleep(0.2)
            time.sleep(1)
            driver.save_screenshot(os.path.join(images, name))
        finally:
            driver.quit()
finally:
    station.stop()
