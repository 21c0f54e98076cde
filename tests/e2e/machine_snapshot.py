"""A snapshot of the Wine prefix as a machine: the registry (HKLM and HKCU as `reg export`
writes them, one entry per value line under its key) and every folder and file under
drive_c with its size and SHA-256. Two snapshots compare to the lines that differ."""
import hashlib
import os
import tempfile
from pathlib import Path

from cvdrive import win_path


def _drive_c():
    return Path(os.environ["WINEPREFIX"]) / "drive_c"


def registry(wine_run):
    entries = set()
    with tempfile.TemporaryDirectory() as tmp:
        for hive in ("HKLM", "HKCU"):
            out = Path(tmp) / f"{hive}.reg"
            status, text = wine_run("reg", "export", hive, win_path(out), "/y")
            if status != 0:
                raise AssertionError(f"reg export {hive} failed: {text}")
            data = out.read_bytes()
            text = data.decode("utf-16") if data[:2] in (b"\xff\xfe", b"\xfe\xff") else data.decode("latin-1")
            key, pending = None, ""
            for raw in text.splitlines():
                line = pending + raw.lstrip() if pending else raw
                # Long values continue on the next line after a trailing backslash.
                if not line.startswith("[") and line.endswith("\\"):
                    pending = line[:-1]
                    continue
                pending = ""
                if not line or line.startswith(("Windows Registry", "REGEDIT", ";")):
                    continue
                if line.startswith("["):
                    key = line
                    entries.add(f"key {key}")
                else:
                    entries.add(f"value {key} {line}")
    return entries


def files():
    root = _drive_c()
    entries = set()
    for folder, dirs, names in os.walk(root):
        rel = Path(folder).relative_to(root)
        for d in dirs:
            path = Path(folder) / d
            entries.add(f"link {rel / d}" if path.is_symlink() else f"dir {rel / d}")
        for name in names:
            path = Path(folder) / name
            if path.is_symlink():
                entries.add(f"link {rel / name}")
                continue
            digest = hashlib.sha256()
            with open(path, "rb") as f:
                for block in iter(lambda: f.read(1 << 20), b""):
                    digest.update(block)
            entries.add(f"file {rel / name} {path.stat().st_size} {digest.hexdigest()}")
    return entries


def take(wine_run):
    return registry(wine_run) | files()


def difference(before, after, allowed):
    """The lines only in one snapshot, as '+ line' (new) and '- line' (gone), without those that
    a pattern of `allowed` (a dict of substring -> reason) matches."""
    changed = [f"+ {line}" for line in sorted(after - before)] + [f"- {line}" for line in sorted(before - after)]
    return [line for line in changed if not any(pattern.lower() in line.lower() for pattern in allowed)]
