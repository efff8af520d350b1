"""The web console in a real headless Chromium: log in, the Simplex cycle live, a mode change, a
viewer refused, hostile text shown as text, the page greying when the station stops or freezes,
and a phone's width. Run with /usr/bin/python3 browser_test.py TARVOK_BINARY."""
import json
import signal
import sys
import time
import unittest

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

from browser_station import Station, browser, log_in

BINARY = sys.argv.pop(1) if len(sys.argv) > 1 else 'tarvok'


class BrowserTest(unittest.TestCase):
    def setUp(self):
        self.station = Station(BINARY)
        self.station.start()
        self.driver = browser()

    def tearDown(self):
        self.driver.quit()
        self.station.stop()

    def text(self, element_id):
        return self.driver.find_element(By.ID, element_id).text

    def call(self, method, path, body=None):
        """An API call from inside the page, with its session and token."""
        return self.driver.execute_async_script(
            'const done = arguments[arguments.length - 1];'
            'api(arguments[0], arguments[1], arguments[2]).then((r) => done(r.status));',
            method, path, body)

    def test_an_operator_watches_the_simplex_cycle_and_changes_the_mode(self):
        log_in(self.driver, self.station, 'otto')
        seen = set()
        deadline = time.time() + 45
        while time.time() < deadline and not {'RECORDING', 'TRANSMITTING'} <= seen:
            seen.add(self.text('indicator'))
            time.sleep(0.2)
        self.assertLessEqual({'RECORDING', 'TRANSMITTING'}, seen)
        self.driver.find_element(By.CSS_SELECTOR, '#modes button[data-mode="3"]').click()
        WebDriverWait(self.driver, 5).until(lambda d: self.text('title') == 'Beacon Station')
        WebDriverWait(self.driver, 5).until(
            lambda d: 'Web: otto set the mode to Beacon Station' in self.text('log'))

    def test_a_viewer_sees_but_is_refused(self):
        log_in(self.driver, self.station, 'vera')
        # Read in one go: the page redraws its controls with every state it is sent.
        disabled = self.driver.execute_script(
            "return [...document.querySelectorAll('#controls button')].map((b) => b.disabled)")
        self.assertTrue(disabled)
        self.assertNotIn(False, disabled)
        self.assertIn('may watch', self.text('action-error'))
        self.assertEqual(self.call('POST', '/api/mode', {'mode': 3}), 403)
        self.assertEqual(self.text('title'), 'Simplex Repeater')

    def test_a_hostile_beacon_name_is_shown_as_text(self):
        log_in(self.driver, self.station, 'ada')
        hostile = '<img src=x onerror="document.title=\'owned\'">'
        version = self.driver.execute_script('return state.beacons.version')
        status = self.call('POST', '/api/beacons',
                           {'version': version, 'items': [{'name': hostile}]})
        self.assertEqual(status, 200)
        self.driver.execute_script('loadLists()')
        field = WebDriverWait(self.driver, 5).until(
            lambda d: d.find_element(By.CSS_SELECTOR, '#beacons input.name'))
        self.assertEqual(field.get_attribute('value'), hostile)
        self.assertEqual(self.driver.find_elements(By.TAG_NAME, 'img'), [])
        self.assertNotEqual(self.driver.title, 'owned')

    def test_the_page_greys_when_the_station_stops_or_freezes(self):
        log_in(self.driver, self.station, 'otto')
        self.station.signal(signal.SIGSTOP)
        self.wait_stale(True)
        self.station.signal(signal.SIGCONT)
        self.wait_stale(False, 15)
        self.station.stop()
        self.wait_stale(True)
        self.assertIn('lost', self.text('connection'))

    def wait_stale(self, stale, seconds=8):
        WebDriverWait(self.driver, seconds).until(
            lambda d: ('stale' in d.find_element(By.ID, 'console').get_attribute('class')) == stale)

    def test_nothing_scrolls_sideways_on_a_phone(self):
        self.driver.set_window_size(390, 844)
        log_in(self.driver, self.station, 'ada')
        width = self.driver.execute_script('return window.innerWidth')
        scroll = self.driver.execute_script('return document.documentElement.scrollWidth')
        self.assertLessEqual(scroll, width)


if __name__ == '__main__':
    unittest.main()
