"""A tarvok station with its web console for browser tests and screenshots: a Simplex Repeater
on the virtual card that hears a 3-second tone every 20 seconds, users added with the real
`tarvok --web-user` command, and a headless Chromium."""
import os
import signal
import socket
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

PASSWORD = 'correct horse'


def free_port():
    with socket.socket() as probe:
        probe.bind(('127.0.0.1', 0))
        return probe.getsockname()[1]


class Station:
    def __init__(self, binary):
        self.binary = binary
        self.home = tempfile.mkdtemp(prefix='tarvok-web-')
        self.port = free_port()
        self.process = None
        with open(os.path.join(self.home, 'rx.scenario'), 'w') as scenario:
            scenario.write('0 rx silence\n2 rx tone 800 -12\n5 rx silence\nrepeat 20\n')
        with open(os.path.join(self.home, 'tarvok.ini'), 'w') as settings:
            settings.write('[Audio]\nSaveMode=1\nDefaultMode=2\nState=0\nSourceIndex0=3\n'
                           'SourceIndex1=1\nComDevice=virtual\nAudioTime2=30\nCWString2=TARVOK\n'
                           '[Web]\nEnabled=1\nListen=127.0.0.1:%d\n' % self.port)
        for name, role in (('ada', 'admin'), ('otto', 'operator'), ('vera', 'viewer')):
            subprocess.run([binary, '--home', self.home, '--web-user', name, '--role', role],
                           input=(PASSWORD + '\n').encode(), check=True,
                           stderr=subprocess.DEVNULL)

    @property
    def url(self):
        return 'http://127.0.0.1:%d/' % self.port

    def start(self):
        self.process = subprocess.Popen(
            [self.binary, '--headless', '--home', self.home, '--audio',
             'virtual:' + os.path.join(self.home, 'rx.scenario')],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 10
        while time.time() < deadline:
            try:
                socket.create_connection(('127.0.0.1', self.port), 0.2).close()
                return
            except OSError:
                time.sleep(0.1)
        raise RuntimeError('the web console did not start')

    def signal(self, number):
        self.process.send_signal(number)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.send_signal(signal.SIGCONT)
            self.process.terminate()
            self.process.wait(10)


def browser(width=1280, height=900):
    options = webdriver.ChromeOptions()
    for argument in ('--headless=new', '--no-sandbox', '--disable-dev-shm-usage',
                     '--window-size=%d,%d' % (width, height)):
        options.add_argument(argument)
    return webdriver.Chrome(options=options)


def log_in(driver, station, user):
    driver.get(station.url)
    wait = WebDriverWait(driver, 10)
    wait.until(lambda d: d.find_element(By.ID, 'login-user').is_displayed())
    driver.find_element(By.ID, 'login-user').send_keys(user)
    driver.find_element(By.ID, 'login-password').send_keys(PASSWORD)
    driver.find_element(By.CSS_SELECTOR, '#login-form button').click()
    wait.until(lambda d: d.find_element(By.ID, 'console').is_displayed())
    wait.until(lambda d: d.find_element(By.ID, 'connection').get_attribute('hidden'))
