"""Helpers for the end-to-end tests: the Windows-side driver, the trace monitor, Windows
paths, screenshots and small product folders. The tests run inside the Wine harness
(tests/wine/harness.sh run), which sets WINEPREFIX and DISPLAY."""
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

BUILD = Path(os.environ.get("CV_BUILD_DIR", Path(__file__).resolve().parents[2] / "build" / "win"))
HOST_TOOLS = Path(os.environ.get("CV_HOST_TOOLS_DIR", BUILD.parent / "host"))
OUTPUT = Path(os.environ.get("CV_TEST_OUTPUT", BUILD / "test-output"))
SETUP_EXE = BUILD / "app" / "setup.exe"
DRIVER_EXE = BUILD / "tools" / "driver.exe"
TRACEMON_EXE = BUILD / "tools" / "tracemon.exe"


def win_path(path):
    """The Windows form of a Unix path under Wine's Z: drive."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def screenshot(name):
    """Saves the whole screen as OUTPUT/<name>.png and returns its path."""
    OUTPUT.mkdir(parents=True, exist_ok=True)
    target = OUTPUT / f"{name}.png"
    subprocess.run(["import", "-window", "root", str(target)], check=False, timeout=30,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return target


def unquote(word):
    if not (word.startswith('"') and word.endswith('"')):
        return word
    out, i, body = [], 0, word[1:-1]
    while i < len(body):
        c = body[i]
        if c == "\\" and i + 1 < len(body):
            i += 1
            c = {"r": "\r", "n": "\n", "t": "\t"}.get(body[i], body[i])
        out.append(c)
        i += 1
    return "".join(out)


def split_reply(line):
    words, i = [], 0
    while i < len(line):
        if line[i] == " ":
            i += 1
            continue
        if line[i] == '"':
            j = i + 1
            while j < len(line) and line[j] != '"':
                j += 2 if line[j] == "\\" else 1
            words.append(unquote(line[i:j + 1]))
            i = j + 1
        else:
            j = line.find(" ", i)
            j = len(line) if j < 0 else j
            words.append(line[i:j])
            i = j
    return words


def quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"').replace("\r", "\\r").replace("\n", "\\n") + '"'


class Driver:
    """One driver process working one program."""

    def __init__(self, env=None):
        # The driver speaks the programs' code page; `env` (default: ours) is also the
        # environment of the program it starts.
        self.proc = subprocess.Popen(["wine", str(DRIVER_EXE)], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     text=True, encoding="cp1252", errors="replace", bufsize=1, env=env)

    def _ask(self, line, until=("ok", "end", "timeout", "error", "exit")):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        lines = []
        while True:
            reply = self.proc.stdout.readline()
            if not reply:
                raise RuntimeError(f"driver ended while answering {line!r}")
            reply = reply.rstrip("\r\n")
            lines.append(reply)
            if reply.split(" ", 1)[0] in until:
                return lines

    def start(self, exe, folder, *args):
        """Starts `exe` (a path here or a Windows path) in `folder`; its command line is `args`
        joined by spaces, each taken as it stands (so one argument may hold a whole tail such
        as "/S /D=C:\\Other Place")."""
        exe_text = exe if isinstance(exe, str) and exe[1:2] == ":" else win_path(exe)
        tail = "".join(f" {quote(a)}" for a in args)
        reply = self._ask(f"start {quote(exe_text)} {quote(win_path(folder))}{tail}")[-1]
        if not reply.startswith("ok"):
            raise RuntimeError(reply)
        return int(reply.split()[1])

    def wait(self, cls="*", caption="*", timeout_ms=15000, any_process=False):
        reply = self._ask(f"{'waitany' if any_process else 'wait'} {quote(cls)} {quote(caption)} {timeout_ms}")[-1]
        return reply.split()[1] if reply.startswith("ok") else None

    def windows(self):
        out = []
        for line in self._ask("windows")[:-1]:
            w = split_reply(line)
            out.append({"hwnd": w[1], "visible": w[2] == "1", "x": int(w[3]), "y": int(w[4]),
                        "width": int(w[5]), "height": int(w[6]), "class": w[7], "caption": w[8], "owner": w[9]})
        return out

    def exists(self, cls, timeout_ms=10000):
        return self._ask(f"exists {quote(cls)} {timeout_ms}")[-1].startswith("ok")

    def controls(self, hwnd):
        out = []
        for line in self._ask(f"controls {hwnd}")[:-1]:
            w = split_reply(line)
            out.append({"id": int(w[1]), "enabled": w[2] == "1", "visible": w[3] == "1",
                        "class": w[4], "text": w[5], "hwnd": w[6]})
        return out

    def click(self, hwnd, caption):
        return self._ask(f"click {hwnd} {quote(caption)}")[-1] == "ok"

    def answer(self, caption, timeout_ms=15000):
        """Presses `caption` in the program's next dialog box; returns the box's text or None."""
        reply = self._ask(f"answer {quote(caption)} {timeout_ms}")[-1]
        return split_reply(reply)[1] if reply.startswith("ok") else None

    def send(self, hwnd, msg, wparam=0, lparam=0):
        """SendMessage to a window of the program; the result, or None without an answer."""
        reply = self._ask(f"sendmsg {hwnd} {msg} {wparam} {lparam}")[-1]
        return int(reply.split()[1]) if reply.startswith("ok") else None

    def post(self, hwnd, msg, wparam=0, lparam=0):
        """PostMessage, for messages whose handling waits for the user (a popup menu)."""
        return self._ask(f"postmsg {hwnd} {msg} {wparam} {lparam}")[-1] == "ok"

    def set_text(self, hwnd, control_id, text):
        """Sets the text of control `control_id` of window `hwnd` as if it had been typed."""
        return self._ask(f"settext {hwnd} {control_id} {quote(text)}")[-1] == "ok"

    def tree_item(self, tree, index):
        """Top-level item `index` of a tree view as {"item", "image", "text"}, or None."""
        reply = self._ask(f"treeitem {tree} {index}")[-1]
        if not reply.startswith("ok"):
            return None
        w = split_reply(reply)
        return {"item": w[1], "image": int(w[2]), "text": w[3]}

    def choose_menu(self, index, timeout_ms=15000):
        """Chooses entry `index` (from 0) of the program's next popup menu."""
        return self._ask(f"menu {index} {timeout_ms}")[-1].startswith("ok")

    def freeze(self, cls, caption, except_hwnd="0", delay_ms=0, timeout_ms=15000):
        """Waits for a visible window other than `except_hwnd` and, `delay_ms` later, holds
        its thread still until thaw(); returns the window or None."""
        reply = self._ask(f"freeze {quote(cls)} {quote(caption)} {except_hwnd} {delay_ms} {timeout_ms}")[-1]
        return reply.split()[1] if reply.startswith("ok") else None

    def thaw(self):
        self._ask("thaw")

    def wait_closed(self, caption, timeout_ms=30000):
        """Waits until the program shows no window captioned exactly `caption`."""
        deadline = time.time() + timeout_ms / 1000
        while time.time() < deadline:
            if not any(w["visible"] and w["caption"] == caption for w in self.windows()):
                return True
            time.sleep(0.1)
        return False

    def gone(self, timeout_ms=10000):
        return self._ask(f"gone {timeout_ms}")[-1] == "ok"

    def exit_code(self, timeout_ms=15000):
        reply = self._ask(f"exit {timeout_ms}")[-1]
        return int(reply.split()[1]) if reply.startswith("exit") else None

    def watch(self, timeout_ms=120000):
        """Waits for the program to end while looking for any visible window of it: (exit code
        or None on timeout, the windows seen as (class, caption))."""
        seen, code = [], None
        for line in self._ask(f"watch {timeout_ms}"):
            w = split_reply(line)
            if w[0] == "seen":
                seen.append((w[2], w[3]))
            elif w[0] == "exit":
                code = int(w[1])
        return code, seen

    def kill(self):
        # A test that has the program request a reboot may see Wine end every process of the
        # session, the driver too: then there is nothing left to end.
        if self.proc.poll() is not None:
            return
        try:
            self._ask("kill")
        except (BrokenPipeError, RuntimeError):
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                raise

    def close(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.write("quit\n")
                self.proc.stdin.flush()
                self.proc.wait(timeout=10)
            except (BrokenPipeError, subprocess.TimeoutExpired):
                self.proc.kill()


class TraceMonitor:
    """The AmbrelEvent window, recording into a file."""

    def __init__(self, folder):
        self.path = Path(folder) / "trace.txt"
        self.proc = subprocess.Popen(["wine", str(TRACEMON_EXE), win_path(self.path)],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wait_ready(self, driver):
        """True once the monitor's (hidden) window exists."""
        return driver.exists("AmbrelEvent", 20000)

    def lines(self):
        if not self.path.exists():
            return []
        return self.path.read_text(errors="replace").splitlines()

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()


def fresh_folder(name):
    """An empty folder for one test under the test output folder."""
    folder = OUTPUT / "runs" / name
    if folder.exists():
        shutil.rmtree(folder)
    folder.mkdir(parents=True)
    return folder


CVBUILD = HOST_TOOLS / "tools" / "cvbuild" / "cvbuild"


def cvbuild(*args):
    """Runs the host tool cvbuild; returns the completed process."""
    return subprocess.run([str(CVBUILD), *map(str, args)], capture_output=True, text=True, timeout=300)


def write_settings(folder, setup_inf, data_inf=""):
    """Writes setup.nsx and data.nsx, encrypted by cvbuild, for the given plain settings texts
    into `folder` (a text of None leaves that file out)."""
    folder = Path(folder)
    for name, text in (("setup", setup_inf), ("data", data_inf)):
        if text is None:
            continue
        plain = folder / f"{name}.plain.inf"
        plain.write_bytes(text.replace("\n", "\r\n").encode("latin-1"))
        done = cvbuild("encrypt", plain, folder / f"{name}.nsx")
        if done.returncode != 0:
            raise RuntimeError(f"cvbuild encrypt failed: {done.stderr}")
        plain.unlink()


def wine_user_folders():
    """The per-user folders of the test prefix (C:\\users\\*)."""
    return list((Path(os.environ["WINEPREFIX"]) / "drive_c" / "users").glob("*"))


def work_folders():
    """Every work folder (cvHHMMSS, or cvHHMMSS_N when that name was taken) that setup made
    under the prefix's temp folders."""
    found = []
    for user in wine_user_folders():
        for temp in (user / "Temp", user / "AppData" / "Local" / "Temp", user / "Local Settings" / "Temp"):
            if temp.is_dir():
                found += [p for p in temp.glob("cv[0-9][0-9][0-9][0-9][0-9][0-9]*") if p.is_dir()
                          and re.fullmatch(r"cv\d{6}(_\d+)?", p.name)]
    return found


def write_archive(folder, files):
    """Writes file1.cab holding `files` (name -> bytes) into `folder`, made by gcab, an
    independent cabinet writer."""
    folder = Path(folder)
    staging = folder / "archive-files"
    staging.mkdir(exist_ok=True)
    for name, data in files.items():
        (staging / name).write_bytes(data)
    subprocess.run(["gcab", "-c", "-z", str(folder / "file1.cab"), *sorted(files)], cwd=staging,
                   check=True, capture_output=True, timeout=60)
    shutil.rmtree(staging)


def write_close_page(folder, layout="welcome.lcd"):
    """A one-page theme for tests that only need a first page: a white page captioned with
    the product name and a "Close" button that finishes the run."""
    theme = Path(folder) / "theme"
    theme.mkdir(parents=True, exist_ok=True)
    (theme / layout).write_text(
        "[MAINWINDOW]\ncaption=<ProductName>\nbkcolor=255,255,255\nwidth=400\nheight=300\n"
        "[INFO]\nTOTAL=1\n0=e,150,200,100,25,BUTTON,{},p,1\n"
        "[DADOS]\n1,t=2\n1,0=Name|IDC_FINISH|0\n1,1=Caption|Close|0\n")


class SetupRunTest(unittest.TestCase):
    """A test case that runs setup.exe: no work folder left from earlier runs, one driver
    per test, the program ended afterwards."""

    #: LC_ALL of the program's run (Wine takes the user-interface language from it); None
    #: keeps the test's own environment.
    locale = None

    def setUp(self):
        for old in work_folders():
            shutil.rmtree(old)
        env = None
        if self.locale:
            env = dict(os.environ, LC_ALL=self.locale)
        self.driver = Driver(env)

    def tearDown(self):
        self.driver.kill()
        self.driver.close()
