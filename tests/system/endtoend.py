#!/usr/bin/env python3
"""Runs the real program end to end: two copies A and B, each in a network namespace of its
own joined by a veth pair (192.0.2.1 and 192.0.2.2), each on an Xvfb display of its own,
driven with xdotool; Debian's telnet client and a raw socket client call A on port 23.
Needs root (ip netns). The copies run with LANG=en_US.UTF-8."""

import argparse
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

ADDR_A, ADDR_B = '192.0.2.1', '192.0.2.2'
MAIN_TITLE = 'Tolvex - The Internet Pager'
ALERT_TITLE = 'New Messsages [Tolvex]'
# Control geometry in pixels (x, y, w, h) inside each window's client area.
FORM1 = {'Send': (28, 148, 61, 17), 'Name': (28, 168, 61, 17), 'Off': (92, 148, 69, 17),
         'Pass': (92, 168, 69, 17), 'List1': (40, 48, 277, 81), 'Picture1': (300, 136, 17, 13)}
FORM2 = {'Combo1': (68, 4, 185, 21), 'Text1': (68, 32, 185, 121), 'OK': (208, 160, 45, 25)}
FORM3 = {'Reply': (300, 160, 45, 21), 'Close': (352, 160, 45, 21), 'Text1': (4, 36, 393, 113),
         'Label1': (4, 8, 389, 17)}
# Date and time as an en_US copy writes them (the blank before AM/PM may be a narrow one).
DATE = r'\d{1,2}/\d{1,2}/\d{2}'
TIME = r'\d{1,2}:\d{2}:\d{2}(?: |\u202f|\?)[AP]M'


class Failure(Exception):
    pass


def run(cmd, check=True, **kw):
    result = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, **kw)
    if check and result.returncode != 0:
        raise Failure(f'{" ".join(cmd)} failed ({result.returncode}): {result.stderr.strip()}')
    return result


def wait_for(what, probe, timeout=10.0, interval=0.1):
    """Polls probe() until it returns something true; fails naming what did not appear."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f'timed out after {timeout:.0f} s waiting for {what}')
        time.sleep(interval)


class Suite:
    def __init__(self, args):
        self.args = args
        self.tag = f'tvx{os.getpid()}'
        self.work = tempfile.mkdtemp(prefix='tolvex-system-')
        self.namespaces = []
        self.processes = []
        self.links = []
        self.t0 = time.monotonic()

    def log(self, text):
        print(f'[{time.monotonic() - self.t0:6.1f}s] {text}', flush=True)

    # ---- set-up and clean-up -------------------------------------------------------------
    def cleanup(self):
        for proc in reversed(self.processes):
            if proc.poll() is None:
                try:
                    os.killpg(proc.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                proc.wait()
        for link in self.links:
            run(['ip', 'link', 'del', link], check=False)
        for ns in self.namespaces:
            run(['ip', 'netns', 'del', ns], check=False)
        shutil.rmtree(self.work, ignore_errors=True)

    def start(self, cmd, env=None, log=None):
        out = open(log, 'wb') if log else subprocess.DEVNULL
        proc = subprocess.Popen(cmd, env=env, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        self.processes.append(proc)
        return proc

    def netns(self, name):
        ns = f'{self.tag}{name}'
        result = run(['ip', 'netns', 'add', ns], check=False)
        if result.returncode != 0:
            raise Failure(f'cannot create network namespace {ns} ({result.stderr.strip()}); '
                          'the system tests need root and "ip netns" (iproute2)')
        self.namespaces.append(ns)
        run(['ip', '-n', ns, 'link', 'set', 'lo', 'up'])
        return ns

    def network(self):
        self.nsA, self.nsB = self.netns('A'), self.netns('B')
        va, vb = f'{self.tag}a', f'{self.tag}b'
        run(['ip', 'link', 'add', va, 'type', 'veth', 'peer', 'name', vb])
        self.links.append(va)
        run(['ip', 'link', 'set', va, 'netns', self.nsA])
        run(['ip', 'link', 'set', vb, 'netns', self.nsB])
        self.links.clear()  # gone with the namespaces now
        for ns, dev, addr in ((self.nsA, va, ADDR_A), (self.nsB, vb, ADDR_B)):
            run(['ip', '-n', ns, 'addr', 'add', f'{addr}/24', 'dev', dev])
            run(['ip', '-n', ns, 'link', 'set', dev, 'up'])
        wait_for('the veth link between the namespaces',
                 lambda: run(['ip', 'netns', 'exec', self.nsA, 'ping', '-c1', '-W1', ADDR_B], check=False).returncode == 0
                 if shutil.which('ping') else True, timeout=10)

    def display(self):
        for n in range(70, 200):
            if not os.path.exists(f'/tmp/.X11-unix/X{n}') and not os.path.exists(f'/tmp/.X{n}-lock'):
                self.start(['Xvfb', f':{n}', '-nolisten', 'tcp', '-screen', '0', '800x600x24'])
                wait_for(f'Xvfb on :{n}', lambda: os.path.exists(f'/tmp/.X11-unix/X{n}'), timeout=10)
                env = dict(os.environ, DISPLAY=f':{n}')
                wait_for(f'Xvfb :{n} to answer', lambda: run(['xdotool', 'getdisplaygeometry'], check=False, env=env).returncode == 0)
                return f':{n}'
        raise Failure('no free X display number between 70 and 199')

    def host(self, name, ns, display):
        """A private home and program directory for one copy."""
        root = os.path.join(self.work, name)
        home, prog = os.path.join(root, 'home'), os.path.join(root, 'prog')
        for d in (home, prog, os.path.join(root, 'run')):
            os.makedirs(d)
        os.chmod(os.path.join(root, 'run'), 0o700)
        shutil.copy2(self.args.program, os.path.join(prog, 'tolvex'))
        shutil.copy2(self.args.alarm, os.path.join(prog, 'alarm.wav'))
        env = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'HOME': home, 'DISPLAY': display,
               'XDG_CONFIG_HOME': os.path.join(home, '.config'), 'XDG_DATA_HOME': os.path.join(home, '.local/share'),
               'XDG_RUNTIME_DIR': os.path.join(root, 'run'), 'LANG': 'en_US.UTF-8', 'LC_ALL': 'en_US.UTF-8',
               'QT_QPA_PLATFORM': 'xcb', 'QT_LOGGING_RULES': 'qt.multimedia*=false'}
        return {'name': name, 'ns': ns, 'display': display, 'root': root, 'home': home, 'prog': prog, 'env': env,
                'xenv': dict(os.environ, DISPLAY=display)}

    def launch(self, h):
        # TOLVEX_SYSTEM_GDB=1 runs each copy under gdb and prints a backtrace into its output.
        wrap = ['gdb', '-q', '-batch', '-ex', 'run', '-ex', 'bt', '--args'] if os.environ.get('TOLVEX_SYSTEM_GDB') else []
        h['proc'] = self.start(['ip', 'netns', 'exec', h['ns'], *wrap, os.path.join(h['prog'], 'tolvex')], env=h['env'],
                               log=os.path.join(h['root'], 'output.txt'))
        h['started'] = time.monotonic()

    # ---- window helpers -----------------------------------------------------------------
    def xdo(self, h, *args, check=True):
        return run(['xdotool', *args], check=check, env=h['xenv'])

    def find(self, h, title, visible=True):
        args = ['search'] + (['--onlyvisible'] if visible else []) + ['--name', f'^{re.escape(title)}$']
        ids = self.xdo(h, *args, check=False).stdout.split()
        return ids[-1] if ids else None

    def window(self, h, title, timeout=10):
        return wait_for(f'the window "{title}" on copy {h["name"]}', lambda: self.find(h, title), timeout)

    def gone(self, h, title, timeout=10):
        wait_for(f'the window "{title}" on copy {h["name"]} to go away', lambda: not self.find(h, title), timeout)

    def title(self, h, wid):
        return self.xdo(h, 'getwindowname', wid, check=False).stdout.rstrip('\n')

    def click(self, h, wid, rect, repeat=1, dx=None, dy=None):
        x, y, w, hh = rect
        px, py = x + (w // 2 if dx is None else dx), y + (hh // 2 if dy is None else dy)
        self.xdo(h, 'mousemove', '--window', wid, str(px), str(py))
        self.xdo(h, 'click', '--repeat', str(repeat), '--delay', '80', '1')

    def type(self, h, text):
        self.xdo(h, 'type', '--delay', '20', text)

    def key(self, h, *keys):
        self.xdo(h, 'key', '--delay', '40', *keys)

    def screenshot(self, h, wid, name):
        os.makedirs(self.args.screenshots, exist_ok=True)
        path = os.path.join(self.args.screenshots, name)
        run(['import', '-window', wid, path], env=h['xenv'])
        if not open(path, 'rb').read(8).startswith(b'\x89PNG'):
            raise Failure(f'screenshot {path} is not a PNG')
        self.log(f'screenshot {path}')

    def indicator(self, h, wid):
        """The colour (r, g, b) at the middle of the indicator Picture1."""
        x, y, w, hh = FORM1['Picture1']
        shot = os.path.join(self.work, f'{h["name"]}-indicator.png')
        run(['import', '-window', wid, shot], env=h['xenv'])
        fx = ','.join(f'%[fx:round(255*p{{{x + w // 2},{y + hh // 2}}}.{c})]' for c in 'rgb')
        return tuple(int(v) for v in run(['convert', shot, '-format', fx, 'info:']).stdout.split(','))

    def bound(self, h, proto, port):
        out = run(['ip', 'netns', 'exec', h['ns'], 'ss', '-Hln', f'-{proto}'], check=False).stdout
        return re.search(rf':{port}\s', out) is not None

    def ended(self, h, what, timeout=10):
        try:
            return h['proc'].wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f'copy {h["name"]} did not end within {timeout} s after {what}')

    # ---- the steps ----------------------------------------------------------------------
    def main(self):
        self.network()
        A = self.host('A', self.nsA, self.display())
        B = self.host('B', self.nsB, self.display())
        self.launch(A)
        self.launch(B)

        # Splash first, for its 1500 ms; then the main window.
        splash = self.window(A, 'Form4', timeout=5)
        self.screenshot(A, splash, 'form4-splash.png')
        if self.find(A, MAIN_TITLE):
            raise Failure('the main window was on screen together with the splash')
        wA, wB = self.window(A, MAIN_TITLE), self.window(B, MAIN_TITLE)
        self.log('both main windows are up')
        for h in (A, B):
            geometry = self.xdo(h, 'getwindowgeometry', self.find(h, MAIN_TITLE)).stdout
            if 'Position: 100,100' not in geometry or 'Geometry: 348x200' not in geometry:
                raise Failure(f'copy {h["name"]} main window is not 348x200 at 100,100: {geometry.strip()}')
            for proto, port in (('t', 23), ('u', 24)):
                wait_for(f'copy {h["name"]} to open {"TCP" if proto == "t" else "UDP"} port {port}',
                         lambda: self.bound(h, proto, port))
        self.screenshot(A, wA, 'form1-main.png')
        if self.indicator(B, wB) != (64, 0, 0):
            raise Failure(f'the indicator of B is {self.indicator(B, wB)} before any page, not dark red (64, 0, 0)')

        # Names through "Set &Name" (the input dialog): Ann on A, Bob on B.
        for h, w, name in ((A, wA, 'Ann'), (B, wB, 'Bob')):
            self.click(h, w, FORM1['Name'])
            dialog = self.window(h, 'Tolvex v2.00')
            self.xdo(h, 'mousemove', '--window', dialog, '20', '20')
            self.key(h, 'ctrl+a')
            self.type(h, name)
            self.key(h, 'Return')
            self.gone(h, 'Tolvex v2.00')

        # A pages B: "&Send", host, two lines of text, "&OK".
        self.click(A, wA, FORM1['Send'])
        send = self.window(A, 'Send Message')
        self.click(A, send, FORM2['Combo1'])
        self.type(A, ADDR_B)
        self.click(A, send, FORM2['Text1'])
        self.type(A, 'first line')
        self.key(A, 'Return')
        self.type(A, 'second line')
        self.screenshot(A, send, 'form2-send-message.png')
        self.click(A, send, FORM2['OK'])
        self.gone(A, 'Send Message')
        alerted = self.window(B, ALERT_TITLE, timeout=5)
        wait_for('the indicator of B to turn bright red (255, 0, 0)', lambda: self.indicator(B, alerted) == (255, 0, 0), timeout=3)
        self.screenshot(B, alerted, 'form1-new-page.png')
        self.log('B shows "New Messsages [Tolvex]" and a bright red indicator')

        # B opens the viewer with a double-click and replies.
        self.click(B, alerted, FORM1['List1'], repeat=2, dx=40, dy=6)
        viewer = self.window(B, 'Message Viewer')
        wait_for('the title of B to return to normal', lambda: self.title(B, wB) == MAIN_TITLE)
        self.screenshot(B, viewer, 'form3-message-viewer.png')
        self.key(B, 'alt+r')
        reply = self.window(B, 'Send Message')
        self.click(B, reply, FORM2['Text1'])
        self.type(B, 'pong')
        self.key(B, 'alt+o')
        self.gone(B, 'Send Message')
        self.window(A, ALERT_TITLE, timeout=5)
        self.log('the reply reached A')
        # The viewer lies over B's main window: close it before reaching for "&Off".
        self.click(B, viewer, FORM3['Close'])
        self.gone(B, 'Message Viewer')
        # (The viewer covered the indicator; the double-click turned it dark red again.)
        wait_for('the indicator of B to turn dark red again', lambda: self.indicator(B, wB) == (64, 0, 0), timeout=3)

        # Debian's telnet client calls A from B's namespace.
        telnet = run(['ip', 'netns', 'exec', self.nsB, 'expect', self.args.expect_script, shutil.which('telnet') or '/usr/bin/telnet',
                      ADDR_A, 'Zed', 'lunch at one?', 'WobNel', 'Ann'], check=False, timeout=60)
        if telnet.returncode != 0:
            raise Failure(f'telnet call failed:\n{telnet.stdout}{telnet.stderr}')
        self.log('telnet: page left, browsed with the passcode, wrong passcode refused')
        entries = dict(line.split(' ', 2)[1:] for line in telnet.stdout.splitlines() if line.startswith('ENTRY '))
        expect_entries = [(f'{DATE} {TIME} from Bob \\({re.escape(ADDR_B)}\\)'),
                          (f'{DATE} {TIME} from Zed \\({re.escape(ADDR_B)}\\)')]
        if len(entries) != 2 or not all(re.fullmatch(p, entries[str(i)]) for i, p in enumerate(expect_entries)):
            raise Failure(f'list seen by the telnet caller is not [Bob page, Zed page]: {entries}')

        # A raw caller compares every byte of a browsing session and a refused passcode.
        raw = run(['ip', 'netns', 'exec', self.nsB, sys.executable, os.path.abspath(__file__), '--raw-caller',
                   json.dumps({'entries': [entries['0'], entries['1']], 'texts': ['pong', 'lunch at one?']})],
                  check=False, timeout=60)
        if raw.returncode != 0:
            raise Failure(f'raw telnet caller failed:\n{raw.stdout}{raw.stderr}')
        self.log(raw.stdout.strip())

        # "&Off" on both: the logs and the settings.
        for h, w, name, pages in ((B, wB, 'Bob', [(rf'from Ann \({re.escape(ADDR_A)}\)', 'first line\r\nsecond line')]),
                                  (A, wA, 'Ann', [(rf'from Bob \({re.escape(ADDR_B)}\)', 'pong'),
                                                  (rf'from Zed \({re.escape(ADDR_B)}\)', 'lunch at one?')])):
            self.click(h, w, FORM1['Off'])
            status = self.ended(h, '"&Off"')
            if status != 0:
                raise Failure(f'copy {h["name"]} ended with status {status} after "&Off"')
            self.check_log(h, name, pages)
            self.check_settings(h, name)
        self.log('logs and settings checked after "&Off"')

        self.port_taken()
        self.log(f'PASSED in {time.monotonic() - self.t0:.1f} s')

    def check_log(self, h, name, pages):
        path = os.path.join(h['prog'], 'tolvex.log')
        if not os.path.exists(path):
            raise Failure(f'copy {h["name"]} wrote no tolvex.log beside the program ({path})')
        data = open(path, 'rb').read().decode('cp1252')
        pattern = (re.escape(f'Tolvex Log Session for {name}\r\n') + f'Created at {TIME} {DATE}\r\n\r\n'
                   + ''.join(f'{DATE} {TIME} {entry}\r\n{re.escape(text)}\r\n\r\n' for entry, text in pages))
        if not re.fullmatch(pattern, data):
            raise Failure(f'copy {h["name"]} tolvex.log differs from the expected pages:\n{data!r}')

    def check_settings(self, h, name):
        path = os.path.join(h['home'], '.config', 'Tolvex', 'Tolvex.ini')
        if not os.path.exists(path):
            raise Failure(f'copy {h["name"]} saved no settings file {path}')
        text = open(path, encoding='utf-8', errors='replace').read()
        if '[Settings]' not in text or not re.search(rf'^Username={re.escape(name)}$', text, re.M) \
                or not re.search(r'^Userpass=wobnel$', text, re.M):
            raise Failure(f'copy {h["name"]} settings do not hold Username={name} and Userpass=wobnel:\n{text}')

    def port_taken(self):
        ns = self.netns('C')
        C = self.host('C', ns, self.display())
        holder = self.start(['ip', 'netns', 'exec', ns, sys.executable, '-m', 'http.server', '23'],
                            log=os.path.join(self.work, 'holder.txt'))
        wait_for('a stand-in server on port 23 of the third namespace', lambda: self.bound(C, 't', 23))
        self.launch(C)
        box = self.window(C, 'Tolvex', timeout=8)
        if self.find(C, MAIN_TITLE):
            raise Failure('the main window appeared although port 23 was taken')
        self.screenshot(C, box, 'port-refused.png')
        self.xdo(C, 'mousemove', '--window', box, '10', '10')
        self.key(C, 'Return')
        status = self.ended(C, 'the failure message box was closed')
        if status == 0:
            raise Failure('the program ended with status 0 although port 23 was taken')
        if self.find(C, MAIN_TITLE):
            raise Failure('a main window is on screen after the failed start')
        holder.kill()
        self.log(f'port 23 taken: message box shown, exit status {status}, no main window')


def raw_calls(entries, texts):
    """A raw socket caller: compares every byte it receives with what the pager must send."""
    def call():
        s = socket.create_connection((ADDR_A, 23), timeout=5)
        return s

    def read_until(s, got, pattern, what):
        deadline = time.monotonic() + 5
        while not re.search(pattern, got, re.S):
            if time.monotonic() > deadline:
                raise Failure(f'raw caller: timed out waiting for {what}; got {got[-200:]!r}')
            s.settimeout(max(0.05, deadline - time.monotonic()))
            try:
                chunk = s.recv(4096)
            except socket.timeout:
                continue
            if not chunk:
                break
            got += chunk
        return got

    greeting = (rb'\xff\xfb\x01\xff\xfb\x03' + rb'(?:[# ]{69} \r\n){7}' + b' ' * 70 + rb'\r\n'
                + re.escape(b'            F O R   M I C R O S O F T   W I N D O W S   9 5'.ljust(70) + b'\r\n')
                + re.escape(b'                  V E R S I O N   2 . 0 0   B E T A'.ljust(70) + b'\r\n')
                + rb'\r\n\r\nTolvex Remote Access v2\.00\r\n[^\r\n]+\r\n\r\n'
                + re.escape(b' [1] Send a message to this pager \r\n [2] Check messages on this pager (requires password)\r\n'))
    enc = [e.encode('cp1252', 'replace') for e in entries]
    listing = b'List of messages\r\n' + b''.join(b'    %d  %s\r\n' % (i, e) for i, e in enumerate(enc)) \
        + b"\r\nEnter a message number or key 'q' to quit: "

    # Browsing: 2, passcode, Enter, 1, Enter, q.
    s = call()
    got = read_until(s, b'', greeting + b'$', 'the greeting')
    steps = [(b'2', b'\r\n\r\n\r\nPlease enter your passcode: ')] + [(c.encode(), b'*') for c in 'wobnel'] + [
        (b'\r\0', b'\r\n *** Access Granted ***\r\n\r\n' + listing),
        (b'1', b'1'),
        (b'\r\0', b'\r\n\r\n * ' + enc[1] + b'\r\n\r\n' + texts[1].encode() + b'\r\n\r\n' + listing),
        (b'q', b'qRequested exit by user.. Bye!')]
    expected = greeting
    for keys, answer in steps:
        s.sendall(keys)
        expected += re.escape(answer)
        got = read_until(s, got, expected + b'$', f'{answer[-40:]!r} after sending {keys!r}')
    got = read_until(s, got, b'(?!)', 'the hang-up after q')  # reads to end of stream
    s.close()
    if not re.fullmatch(expected, got, re.S):
        raise Failure(f'raw caller: browsing transcript differs from the expected bytes:\n{got!r}')
    # Refused: a wrong passcode.
    s = call()
    got = read_until(s, b'', greeting + b'$', 'the greeting of the last call')
    expected = greeting
    for keys, answer in [(b'2', b'\r\n\r\n\r\nPlease enter your passcode: '), (b'guess', b'*'),
                         (b'\r\0', b'\r\nWrong password, exiting..\r\n\r\n')]:
        s.sendall(keys)
        expected += re.escape(answer)
        got = read_until(s, got, expected + b'$', f'{answer!r} after sending {keys!r}')
    got = read_until(s, got, b'(?!)', 'the hang-up after a wrong passcode')
    s.close()
    if not re.fullmatch(expected, got, re.S):
        raise Failure(f'raw caller: wrong-passcode transcript differs:\n{got!r}')
    print('raw caller: browsing and refusal transcripts match byte for byte')


def main():
    if len(sys.argv) == 3 and sys.argv[1] == '--raw-caller':
        # Runs inside the caller's namespace.
        data = json.loads(sys.argv[2])
        try:
            raw_calls(data['entries'], data['texts'])
            return 0
        except Failure as e:
            print(f'FAILED: {e}', file=sys.stderr)
            return 1
    parser = argparse.ArgumentParser()
    parser.add_argument('--program', required=True)
    parser.add_argument('--alarm', required=True)
    parser.add_argument('--screenshots', required=True)
    parser.add_argument('--expect-script', required=True)
    args = parser.parse_args()
    if os.geteuid() != 0:
        print('FAILED: the system tests need root for ip netns (CI runs them as root)', file=sys.stderr)
        return 1
    for f in (args.program, args.alarm):
        if not os.path.exists(f):
            print(f'FAILED: {f} is missing; build the targets tolvex and tolvex_assets first', file=sys.stderr)
            return 1
    suite = Suite(args)
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(Failure('terminated')))
    try:
        suite.main()
        return 0
    except (Failure, subprocess.TimeoutExpired) as e:
        print(f'FAILED: {e}', file=sys.stderr)
        for name in ('A', 'B', 'C'):
            out = os.path.join(suite.work, name, 'output.txt')
            if os.path.exists(out):
                print(f'--- output of copy {name}:\n' + open(out, errors='replace').read()[-2000:], file=sys.stderr)
        return 1
    finally:
        suite.cleanup()


if __name__ == '__main__':
    sys.exit(main())
