#!/usr/bin/env python3
"""The product folders of the end-to-end tests and the machine around them: paths in the
prefix, the uninstall log, registry reads through Wine's reg, a product folder (setup.inf,
data.inf, its files, a theme of plain pages, extra table sections) packed with cvbuild and
installed in hidden mode, and the uninstaller run from the command line."""
import os
import subprocess
import tempfile
from pathlib import Path

import cvdrive

HOLDER = cvdrive.BUILD / "tests" / "e2e" / "holder.exe"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
CVEXEC = "C:\\windows\\cvexec.exe"

# What may differ on the machine after a removal or a rollback, each with its reason.
ALLOWED = {
    "CvE2EKeep": "a file flagged permanent (64) is never logged, so it stays by design, with its folder",
    "dir windows\\Installer": "the system's folder of installation data, made for the first log folder; "
                              "Windows has it already, and removal never takes it",
    "windows/Installer": "as above, in the path form of the file listing",
    # Wine keeps these up to date on its own while programs run.
    "Control\\Video\\": "Wine registers its display driver when a program first opens a window on the display",
    "[HKEY_LOCAL_MACHINE\\Software\\Wine\\": "Wine's own settings and caches",
    "HKEY_CURRENT_USER\\Software\\Wine\\": "Wine's own settings and caches",
}


def drive_c():
    return Path(os.environ["WINEPREFIX"]) / "drive_c"


def unix_path(windows_path):
    """The prefix file behind a C:\\ path."""
    assert windows_path[:3].upper() == "C:\\", windows_path
    return drive_c().joinpath(*windows_path[3:].split("\\"))


def log_file(product_code):
    """The uninstall log: <WindowsFolder>\\Installer\\<ProductCode>\\uninstall.log."""
    return drive_c() / "windows" / "Installer" / product_code / "uninstall.log"


def log_bytes(lines):
    return b"".join(line.encode("latin-1") + b"\r\n" for line in lines)


def wine_run(*args):
    """Runs a Wine command; returns (exit status, its output). The output goes through a file,
    not a pipe: a Wine program may start Wine's background processes, which inherit its
    handles and would keep a pipe open long after the command has ended."""
    with tempfile.TemporaryFile() as out:
        status = subprocess.run(["wine", *args], stdin=subprocess.DEVNULL, stdout=out,
                                stderr=subprocess.DEVNULL, timeout=120).returncode
        out.seek(0)
        return status, out.read().decode("cp1252", errors="replace")


def reg_delete(key):
    """Removes a registry key left by an earlier test in the same prefix."""
    if reg_values(key) is not None:
        wine_run("reg", "delete", key, "/f")


def reg_values(key):
    """The values of a registry key as name -> (type, data), or None when the key is missing."""
    status, output = wine_run("reg", "query", key)
    if status != 0:
        return None
    values = {}
    for line in output.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
    return values


# ------------------------------------------------------------------ product folders

def text_page(label, buttons=(), progress=False):
    """A white layout with a label, optionally the progress bar and status texts, and a row of
    buttons (name, caption)."""
    info = ["0=e0,20,20,360,20,TEXT,{},p,100"]
    dados = ["100,t=2", "100,0=Name|IDC_STATIC1|0", f"100,1=Caption|{label}|0"]
    if progress:
        info += ["1=e1,20,60,360,20,TEXT,{},p,90", "2=e2,20,90,360,20,PROGRESS,{},p,91",
                 "3=e3,20,120,360,20,TEXT,{},p,92"]
        dados += ["90,t=2", "90,0=Name|IDC_INFO|0", "90,1=Caption||0",
                  "91,t=1", "91,0=Name|IDC_PROGRESS1|0",
                  "92,t=2", "92,0=Name|IDC_INSTALLINFO|0", "92,1=Caption||0"]
    for i, (name, text) in enumerate(buttons):
        n = len(info)
        info.append(f"{n}=e{n},{20 + 110 * i},220,100,25,BUTTON,{{}},p,{200 + i}")
        dados += [f"{200 + i},t=2", f"{200 + i},0=Name|{name}|0", f"{200 + i},1=Caption|{text}|0"]
    return "\n".join(["[MAINWINDOW]", "caption=<ProductName>", "bkcolor=255,255,255", "width=400",
                      "height=300", "[INFO]", f"TOTAL={len(info)}", *info, "[DADOS]", *dados]) + "\n"


def make_product(name, appinfo, files, hidden=False, pages=None):
    """A product folder: setup.inf with `appinfo` (key -> value), data.inf and the files of
    `files` (a list of (relative source, bytes, record line)), and a theme of plain pages."""
    product = cvdrive.fresh_folder(name) / "product"
    product.mkdir()
    pages = pages or ["one.lcd", "progress.lcd", "complete.lcd"]
    setup_inf = ["[APPINFO]", *[f"{k}={v}" for k, v in appinfo.items()],
                 "[BUILDING]", "CURRENTBUILD=Compressed", f"2={'Yes' if hidden else 'No'}", "4=No",
                 "[SPLASH]", "a1=No", "a5=No",
                 "[DIALOGLIST]", f"TOTAL1={len(pages)}", *[f"W{i}={p}" for i, p in enumerate(pages)]]
    (product / "setup.inf").write_bytes(("\r\n".join(setup_inf) + "\r\n").encode("latin-1"))
    data = []
    for source, content, record in files:
        path = product / source.replace("\\", "/")
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content)
        data += [source, record]
    (product / "data.inf").write_bytes(("\r\n".join(data) + "\r\n").encode("latin-1"))
    theme = product / "theme"
    theme.mkdir()
    (theme / "start.lcd").write_text(text_page("Unpacking"))
    (theme / "one.lcd").write_text(text_page("Page one", [("IDC_NEXT", "Next")]))
    (theme / "progress.lcd").write_text(text_page("Installing", [("IDCANCEL", "Cancel")], progress=True))
    (theme / "complete.lcd").write_text(text_page("Completed", [("IDC_FINISH", "Finish")]))
    return product


def pack(product, *options):
    setup = product.parent / "setup"
    done = cvdrive.cvbuild("pack", product, setup, "--runtime", cvdrive.SETUP_EXE, *options)
    if done.returncode != 0:
        raise AssertionError(f"cvbuild pack failed: {done.stderr}")
    return setup


def add_sections(product, sections):
    """Appends table sections (name -> list of "key=value") to the product's setup.inf."""
    lines = []
    for name, entries in sections.items():
        lines += [f"[{name}]", *entries]
    with open(product / "setup.inf", "ab") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("latin-1"))


def table(rows):
    """TOTAL and the cells of `rows` (each a dict column -> text)."""
    out = [f"TOTAL={len(rows)}"]
    for i, row in enumerate(rows):
        out += [f"{column}{i}={text}" for column, text in row.items()]
    return out


def windows_to_unix(path):
    """The prefix file behind any C:\\ path (case as Wine stores it: tried as written, then
    without regard to case, one component at a time)."""
    assert path[:3].upper() == "C:\\", path
    here = Path(os.environ["WINEPREFIX"]) / "drive_c"
    for part in [p for p in path[3:].split("\\") if p]:
        exact = here / part
        if exact.exists():
            here = exact
            continue
        match = [c for c in here.iterdir()] if here.is_dir() else []
        match = [c for c in match if c.name.lower() == part.lower()]
        here = match[0] if match else exact
    return here


def log_lines(code):
    return log_file(code).read_bytes().decode("latin-1").split("\r\n")[:-1]


def set_aside_other_products(test):
    """Other products' Add/Remove entries that start cvexec.exe (left by other tests in this
    prefix) would keep it installed: each is exported, deleted, and imported again after the
    test."""
    root = UNINSTALL_KEY.rstrip("\\")
    _, listing = wine_run("reg", "query", root)
    keys = [line.strip() for line in listing.splitlines()
            if line.strip().lower().startswith(root.lower().replace("hklm", "hkey_local_machine") + "\\")]
    folder = cvdrive.fresh_folder(f"set-aside-{test._testMethodName}")
    for i, key in enumerate(keys):
        values = reg_values(key) or {}
        if any("cvexec.exe" in values.get(name, ("", ""))[1].lower() for name in ("UninstallString", "ModifyPath")):
            saved = folder / f"entry{i}.reg"
            wine_run("reg", "export", key, cvdrive.win_path(saved), "/y")
            wine_run("reg", "delete", key, "/f")
            test.addCleanup(wine_run, "reg", "import", cvdrive.win_path(saved))


def restart_windows():
    """What a restart of Windows does to files marked for deletion: `wineboot -r` carries out
    the pending renames and deletions."""
    status, _ = wine_run("wineboot", "-r")
    return status


def run_cvexec(*args, cwd, exe=CVEXEC):
    """Runs C:\\windows\\cvexec.exe (or `exe`); returns (exit status, standard error)."""
    with tempfile.TemporaryFile() as err:
        status = subprocess.run(["wine", str(exe), *args], cwd=cwd, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=err, timeout=300).returncode
        err.seek(0)
        return status, err.read().decode("cp1252", errors="replace")


def install_hidden(test, setup, timeout_ms=180000):
    """Runs a hidden-mode setup.exe through the test's driver and expects exit code 0."""
    test.driver.start(setup / "setup.exe", setup)
    test.assertEqual(test.driver.exit_code(timeout_ms), 0)


def forget(code, *folders):
    """No trace of an earlier run of a test in the prefix: the product's Add/Remove entry, its
    log folder and `folders` (Windows paths or Unix paths), read-only files included."""
    reg_delete(UNINSTALL_KEY + code)
    for folder in (*folders, log_file(code).parent):
        path = unix_path(folder) if isinstance(folder, str) else folder
        if path.exists():
            subprocess.run(["chmod", "-R", "u+w", str(path)], check=False)
            subprocess.run(["rm", "-rf", str(path)], check=True)
