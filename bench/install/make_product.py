#!/usr/bin/env python3
"""Turns a payload folder into the install benchmark's product folder: a hidden product
(no visible page) that installs every payload file into its folder under the install folder.

    make_product.py PRODUCT_DIR

PRODUCT_DIR/files holds the payload (make_payload.py). Writes PRODUCT_DIR/setup.inf (from
bench/install/setup.inf), PRODUCT_DIR/data.inf, and copies the demo's theme and language
file, which the setup needs even when it shows no page."""
import shutil
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
DEMO = HERE.parents[1] / "samples" / "demo"


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    product = Path(sys.argv[1])
    files = sorted(p for p in (product / "files").rglob("*") if p.is_file() and not p.name.startswith("."))
    if not files:
        print(f"make_product: no payload in {product / 'files'}", file=sys.stderr)
        return 1
    lines = []
    for path in files:
        relative = path.relative_to(product)
        folder = relative.parent.name
        lines.append("\\".join(relative.parts))
        lines.append(f"Destination Computer\\<InstallDir>\\{folder}*0*0*0|")
    (product / "data.inf").write_bytes(("\r\n".join(lines) + "\r\n").encode("ascii"))
    shutil.copyfile(HERE / "setup.inf", product / "setup.inf")
    shutil.rmtree(product / "theme", ignore_errors=True)
    shutil.copytree(DEMO / "theme", product / "theme")
    shutil.copyfile(DEMO / "language.lan", product / "language.lan")
    print(f"product: {len(files)} files listed in {product / 'data.inf'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
