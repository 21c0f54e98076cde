#!/usr/bin/env python3
"""Files given by web addresses, fetched during the installation from servers on 127.0.0.1
that the test starts and stops: a slow 3 MB file with the download bar's texts and the
server's exact bytes, an error status with its message and the retry dialog, Cancel in the
middle, a reply without a length, and https with a certificate the test prefix trusts."""
import hashlib
import http.server
import os
import random
import re
import socket
import ssl
import subprocess
import sys
import threading
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from actions_product import Wizard  # noqa: E402
from cvdrive import screenshot  # noqa: E402
from test_install import UNINSTALL_KEY, log_bytes, log_file, make_product, pack, reg_delete, reg_values, \
    unix_path  # noqa: E402

PBM_GETPOS = 0x0408
BIG = random.Random(13).randbytes(3355443)  # shows as "3.20 MB"
SMALL = b"local file\r\n"
# "Estimated time left: 2 min 5 sec (1.50 MB of 3.20 MB copied) - 150 KB/Sec"
PROGRESS_TEXT = re.compile(r"Estimated time left: (\d+ sec|\d+ min|\d+ min \d+ sec) "
                           r"\(([\d.]+ (?:Bytes|KB|MB)) of 3\.20 MB copied\) - [\d.]+ (?:KB|Bytes)/Sec$")
NO_LENGTH_TEXT = re.compile(r"^([\d.]+ (?:Bytes|KB|MB)) copied - [\d.]+ (?:KB|Bytes)/Sec$")


class Files(http.server.BaseHTTPRequestHandler):
    """GET only. /slow/<name>: BIG in 64 KB pieces, `Files.pause` seconds apart; /nolength/
    <name>: BIG without a Content-Length, ended by closing; /gone/<name>: 404; /moved/<name>:
    a redirect to `Files.moved_to`; anything else: SMALL. Each request's path is recorded."""
    requests = []
    pause = 0.15
    moved_to = ""  # /moved/<name> redirects to this address followed by /<name>

    def do_GET(self):
        Files.requests.append(self.path)
        try:
            if self.path.startswith("/gone/"):
                self.send_error(404)
                return
            if self.path.startswith("/moved/"):
                self.send_response(302)
                self.send_header("Location", Files.moved_to + self.path[len("/moved"):])
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            body = BIG if self.path.startswith(("/slow/", "/nolength/")) else SMALL
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            if not self.path.startswith("/nolength/"):
                self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            step = 65536 if body is BIG else len(body)
            for at in range(0, len(body), step):
                self.wfile.write(body[at:at + step])
                self.wfile.flush()
                if body is BIG:
                    time.sleep(Files.pause)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client went away: a cancel

    def log_message(self, *args):
        pass


class Server:
    """A threaded server on 127.0.0.1 and a free port, TLS when given a context."""

    def __init__(self, tls=None):
        http.server.ThreadingHTTPServer.daemon_threads = True
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Files)
        if tls:
            self.httpd.socket = tls.wrap_socket(self.httpd.socket, server_side=True)
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def progress_page(name):
    """The progress page: status texts, the file bar and, last, the download bar."""
    info = ["0=e0,20,20,560,20,TEXT,{},p,100", "1=e1,20,60,560,20,TEXT,{},p,90",
            "2=e2,20,90,560,20,PROGRESS,{},p,91", "3=e3,20,120,560,20,TEXT,{},p,92",
            "4=e4,20,220,100,25,BUTTON,{},p,200", "5=e5,20,160,560,20,PROGRESS,{},p,93"]
    dados = ["100,t=2", "100,0=Name|IDC_STATIC1|0", "100,1=Caption|Installing|0",
             "90,t=2", "90,0=Name|IDC_INFO|0", "90,1=Caption||0",
             "91,t=1", "91,0=Name|IDC_PROGRESS1|0",
             "92,t=2", "92,0=Name|IDC_INSTALLINFO|0", "92,1=Caption||0",
             "93,t=1", f"93,0=Name|{name}|0",
             "200,t=2", "200,0=Name|IDCANCEL|0", "200,1=Caption|Cancel|0"]
    return "\n".join(["[MAINWINDOW]", "caption=<ProductName>", "bkcolor=255,255,255", "width=600",
                      "height=300", "[INFO]", f"TOTAL={len(info)}", *info, "[DADOS]", *dados]) + "\n"


class Download(cvdrive.SetupRunTest):
    def setUp(self):
        super().setUp()
        Files.requests = []
        Files.pause = 0.15
        self.server = Server()
        self.addCleanup(self.server.stop)

    def product(self, name, code, target, urls):
        """A product whose file list holds `urls` (record lines for each) and then one local file."""
        reg_delete(UNINSTALL_KEY + code)
        root = unix_path(target)
        if root.exists():
            subprocess.run(["rm", "-rf", str(root)], check=True)
        files = [("files\\local.txt", SMALL, "Destination Computer\\<InstallDir>*0*0*0|")]
        product = make_product(name, {"a1": name, "a2": "1.0", "a3": code, "a4": target}, files)
        data = []
        for url, record in urls:
            data += [url, record]
        data += ["files\\local.txt", files[0][2]]
        (product / "data.inf").write_bytes(("\r\n".join(data) + "\r\n").encode("latin-1"))
        (product / "theme" / "progress.lcd").write_text(progress_page("IDC_DOWNLOADPROGRESS"))
        return pack(product)

    def start(self, setup):
        self.driver.start(setup / "setup.exe", setup)
        wizard = Wizard(self, self.driver)
        self.assertTrue(self.driver.click(wizard.page("Page one")["hwnd"], "Next"))
        return wizard.page("Installing")

    def watch(self, page, until, timeout=60):
        """The download texts the page shows and the download bar's positions, read until
        `until(texts)` holds: (texts in order without repeats, positions)."""
        texts, positions, deadline = [], [], time.time() + timeout
        while time.time() < deadline and not until(texts):
            controls = self.driver.controls(page["hwnd"])
            # Controls are numbered from the layout's last line: the download bar, last, comes first.
            bars = sorted((c for c in controls if c["class"] == "msctls_progress32"), key=lambda c: c["id"])
            for c in controls:
                if c["class"] == "Static" and ("copied" in c["text"]) and (not texts or texts[-1] != c["text"]):
                    texts.append(c["text"])
            if len(bars) == 2 and bars[0]["visible"]:
                positions.append(self.driver.send(bars[0]["hwnd"], PBM_GETPOS))
            time.sleep(0.2)
        return texts, positions

    def finish(self):
        done = Wizard(self, self.driver).page("Completed", timeout=60)
        self.assertTrue(self.driver.click(done["hwnd"], "Finish"))
        self.assertEqual(self.driver.exit_code(30000), 0)

    # ------------------------------------------------------------------ tests

    def test_a_slow_file_shows_its_progress_and_arrives_whole(self):
        code, target = "CVE2EDOWNLOAD", "C:\\CvE2E\\Download"
        url = f"http://127.0.0.1:{self.server.port}/slow/dir/tool.exe"
        # A C:\CvE2E that the run made would be logged before the install folder.
        unix_path("C:\\CvE2E").mkdir(parents=True, exist_ok=True)
        setup = self.product("Download Product", code, target,
                             [(url, "Destination Computer\\<InstallDir>\\bin*0*0*0|")])
        page = self.start(setup)
        texts, positions = self.watch(page, lambda t: len(t) >= 3)
        screenshot("download-bar-with-its-texts")
        print("download texts:", texts, "positions:", positions, file=sys.stderr)
        self.assertGreaterEqual(len(texts), 3, f"fewer than three reports: {texts}")
        amounts = []
        for text in texts:
            match = PROGRESS_TEXT.match(text)
            self.assertIsNotNone(match, text)
            amounts.append(match.group(2))
        self.assertEqual(len(set(amounts)), len(amounts), f"the amount did not grow: {amounts}")
        moving = [p for p in positions if p]
        self.assertTrue(moving and moving == sorted(moving) and max(moving) < 100, positions)
        self.finish()

        root = unix_path(target)
        self.assertEqual(hashlib.sha256((root / "bin" / "tool.exe").read_bytes()).digest(),
                         hashlib.sha256(BIG).digest(), "the file is not the server's")
        self.assertEqual((root / "local.txt").read_bytes(), SMALL)
        self.assertEqual(Files.requests, ["/slow/dir/tool.exe"])
        self.assertEqual(log_file(code).read_bytes(), log_bytes([
            "TOTALFILE=2", f"DIR={target}\\", f"DIR={target}\\bin", f"DIR={target}\\",
            f"FILE={target}\\bin\\tool.exe", f"FILE={target}\\local.txt"]))

    def test_an_error_status_is_shown_then_retried_then_aborted_leaving_nothing(self):
        code, target = "CVE2EDOWNLOAD404", "C:\\CvE2E\\Download404"
        url = f"http://127.0.0.1:{self.server.port}/gone/tool.exe"
        setup = self.product("Download Missing", code, target, [(url, "Destination Computer\\<InstallDir>*0*0*0|")])
        self.start(setup)
        message = ("Failed to retrieve a HTTP 200 status, Status Code:404\r\nTry later or download using your "
                   "browser and add this file to Corvane Folder.")
        copy_error = f"Corvane can't copy the file:\r\n{target}\\tool.exe\r\nWhat you would like to do ?"
        root = unix_path(target)
        for attempt, button in ((1, "Retry"), (2, "Cancel")):
            text = self.driver.answer("OK", 60000)
            self.assertEqual(text, message, f"attempt {attempt}")
            box = self.driver.wait("#32770", "Ambrel Corvane", 30000)
            self.assertIsNotNone(box, "no copy-error dialog")
            time.sleep(0.3)
            shown = "".join(c["text"] for c in self.driver.controls(box) if c["class"] == "Static")
            self.assertEqual(shown, copy_error)
            self.assertFalse((root / "tool.exe").exists(), "a failed download left a file")
            self.assertTrue(self.driver.click(box, button))
        self.finish()
        self.assertEqual(Files.requests, ["/gone/tool.exe", "/gone/tool.exe"], "Retry did not download again")
        self.assertFalse((root / "tool.exe").exists())
        self.assertFalse((root / "local.txt").exists(), "the copy went on after Abort")
        self.assertIsNone(reg_values(UNINSTALL_KEY + code), "the registration ran after the abort")

    def test_cancel_in_the_middle_removes_the_partial_file_and_ends_the_run(self):
        code, target = "CVE2EDOWNLOADCANCEL", "C:\\CvE2E\\DownloadCancel"
        Files.pause = 0.3
        url = f"http://127.0.0.1:{self.server.port}/slow/tool.exe"
        setup = self.product("Download Cancel", code, target, [(url, "Destination Computer\\<InstallDir>*0*0*0|")])
        page = self.start(setup)
        partial = unix_path(target) / "tool.exe"
        texts, _ = self.watch(page, lambda t: len(t) >= 1)
        self.assertTrue(texts, "no download report before the cancel")
        self.assertTrue(partial.exists() and 0 < partial.stat().st_size < len(BIG), "no partial file")
        self.assertTrue(self.driver.click(page["hwnd"], "Cancel"))
        confirm = self.driver.wait("#32770", "Ambrel Corvane", 15000)
        self.assertIsNotNone(confirm, "no cancel confirmation")
        self.assertTrue(self.driver.click(confirm, "OK"))
        self.finish()
        self.assertFalse(partial.exists(), "the partial file was left behind")
        self.assertFalse((unix_path(target) / "local.txt").exists(), "a later file was installed")
        # The cancelled run is undone: its folder and its log go with it.
        self.assertFalse(log_file(code).exists(), "the cancelled run's log stayed")
        self.assertFalse(unix_path(target).exists(), "the cancelled run's folder stayed")
        self.assertIsNone(reg_values(UNINSTALL_KEY + code), "the registration ran after the cancel")
        self.assertEqual(cvdrive.work_folders(), [], "the work folder was left behind")

    def test_a_reply_without_length_shows_the_amount_and_arrives_whole(self):
        code, target = "CVE2EDOWNLOADNOLEN", "C:\\CvE2E\\DownloadNoLength"
        url = f"http://127.0.0.1:{self.server.port}/nolength/tool.exe"
        setup = self.product("Download No Length", code, target, [(url, "Destination Computer\\<InstallDir>*0*0*0|")])
        page = self.start(setup)
        texts, positions = self.watch(page, lambda t: len(t) >= 2)
        screenshot("download-bar-without-length")
        self.assertGreaterEqual(len(texts), 2, texts)
        for text in texts:
            self.assertRegex(text, NO_LENGTH_TEXT)
        moving = [p for p in positions if p]
        self.assertTrue(moving and moving == sorted(moving) and max(moving) < 100, positions)
        self.finish()
        self.assertEqual((unix_path(target) / "tool.exe").read_bytes(), BIG)

    def test_https_with_a_certificate_the_prefix_trusts_and_a_redirect_to_it(self):
        code, target = "CVE2EDOWNLOADTLS", "C:\\CvE2E\\DownloadTls"
        tls, ca_der = make_certificates(cvdrive.fresh_folder("download-tls"))
        self.assertEqual(trust_root("add", ca_der), 0, "the test CA could not be trusted in the prefix")
        self.addCleanup(trust_root, "remove", ca_der)
        secure = Server(tls)
        self.addCleanup(secure.stop)
        Files.moved_to = f"https://127.0.0.1:{secure.port}"
        record = "Destination Computer\\<InstallDir>*0*0*0|"
        setup = self.product("Download Tls", code, target,
                             [(f"https://127.0.0.1:{secure.port}/direct/tls.bin", record),
                              (f"http://127.0.0.1:{self.server.port}/moved/redirected.bin", record)])
        self.start(setup)
        done = Wizard(self, self.driver).page("Completed", timeout=90)
        root = unix_path(target)
        self.assertEqual(Files.requests, ["/direct/tls.bin", "/moved/redirected.bin", "/redirected.bin"])
        self.assertEqual((root / "tls.bin").read_bytes(), SMALL)
        self.assertEqual((root / "redirected.bin").read_bytes(), SMALL)
        self.assertTrue(self.driver.click(done["hwnd"], "Finish"))
        self.assertEqual(self.driver.exit_code(30000), 0)


TRUST_ROOT = cvdrive.BUILD / "tests" / "e2e" / "trust_root.exe"


def trust_root(action, der):
    """Adds the CA to (or removes it from) the test prefix's trusted roots, never the machine's."""
    return subprocess.run(["wine", str(TRUST_ROOT), action, cvdrive.win_path(der)], stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120).returncode


def make_certificates(folder):
    """A CA made for this run and a server certificate for 127.0.0.1 signed by it: (the server's
    TLS context, the CA's DER file)."""
    def openssl(*args):
        subprocess.run(["openssl", *args], cwd=folder, check=True, capture_output=True, timeout=120)
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
            "-subj", "/CN=Corvane Test CA", "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr",
            "-subj", "/CN=127.0.0.1")
    (folder / "server.ext").write_text("subjectAltName=IP:127.0.0.1,DNS:127.0.0.1\nbasicConstraints=CA:FALSE\n"
                                       "keyUsage=critical,digitalSignature,keyEncipherment\n"
                                       "extendedKeyUsage=serverAuth\n")
    openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
            "-out", "server.pem", "-days", "2", "-extfile", "server.ext")
    openssl("x509", "-in", "ca.pem", "-outform", "der", "-out", "ca.der")
    tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    tls.load_cert_chain(folder / "server.pem", folder / "server.key")
    return tls, folder / "ca.der"


if __name__ == "__main__":
    unittest.main()
