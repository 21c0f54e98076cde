"""A small drive of the test prefix: a tmpfs of a few MB mounted on a folder of its own and
mapped as a drive letter (a link in the prefix's dosdevices). The fault tests fill it, make it
read-only or point TEMP at it. Mounting needs root, as CI has; the drive is always unmounted
when the test ends, whatever its outcome."""
import os
import subprocess
import tempfile
from pathlib import Path


class SmallDrive:
    def __init__(self, letter, size_kb):
        self.letter = letter.lower()
        self.size_kb = size_kb
        self.mount = None
        self.link = Path(os.environ["WINEPREFIX"]) / "dosdevices" / f"{self.letter}:"

    @property
    def root(self):
        """The Windows path of the drive's root ("Q:\\")."""
        return f"{self.letter.upper()}:\\"

    def attach(self, test):
        """Mounts and maps the drive; `test.addCleanup` takes it away again, so a failing
        test does not leave the mount behind."""
        if self.link.is_symlink():
            stale = Path(os.readlink(self.link))
            self.link.unlink()
            _unmount(stale)
        self.mount = Path(tempfile.mkdtemp(prefix=f"cv-drive-{self.letter}-"))
        done = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={self.size_kb}k,mode=0777", "tmpfs",
                               str(self.mount)], capture_output=True, text=True)
        if done.returncode != 0:
            self.mount.rmdir()
            test.skipTest(f"cannot mount a tmpfs (not root?): {done.stderr.strip()}")
        test.addCleanup(self.detach)
        self.link.symlink_to(self.mount)
        return self

    def detach(self):
        if self.link.is_symlink():
            self.link.unlink()
        if self.mount is not None:
            _unmount(self.mount)
            self.mount = None

    def path(self, windows_path):
        """The Unix file behind a path on this drive."""
        assert windows_path[:2].lower() == f"{self.letter}:", windows_path
        return self.mount.joinpath(*[p for p in windows_path[3:].split("\\") if p])

    def free_bytes(self):
        st = os.statvfs(self.mount)
        return st.f_bavail * st.f_frsize

    def fill(self, leave_bytes, name="filler.bin"):
        """Writes a file that leaves about `leave_bytes` free; returns it."""
        filler = self.mount / name
        size = max(0, self.free_bytes() - leave_bytes)
        with open(filler, "wb") as f:
            f.write(b"\0" * size)
        return filler

    def read_only(self, on=True):
        subprocess.run(["mount", "-o", f"remount,{'ro' if on else 'rw'}", str(self.mount)], check=True)

    def listing(self):
        """Every file and folder on the drive, relative to its root."""
        return sorted(str(p.relative_to(self.mount)) for p in self.mount.rglob("*"))


def _unmount(mount):
    if os.path.ismount(mount):
        if subprocess.run(["umount", str(mount)], capture_output=True).returncode != 0:
            # A Wine process may still hold a file there: detach it now, it goes once freed.
            subprocess.run(["umount", "-l", str(mount)], check=False, capture_output=True)
    try:
        os.rmdir(mount)
    except OSError:
        pass
