"""Dropping Linux files onto a point of the X display, as a file manager would (XDND).

Wine turns such a drop into a CF_HDROP drop (Z:\\... paths) on its window under the point.
"""

import subprocess
from pathlib import Path

SOURCE = Path(__file__).resolve().parent / "tools" / "xdnd_drop.c"


def build_tool(out_dir):
    """Compiles xdnd_drop.c into out_dir/xdnd_drop when missing or older than the source;
    returns its path."""
    out_dir = Path(out_dir)
    tool = out_dir / "xdnd_drop"
    if not tool.exists() or tool.stat().st_mtime < SOURCE.stat().st_mtime:
        out_dir.mkdir(parents=True, exist_ok=True)
        result = subprocess.run(["gcc", "-O2", "-Wall", str(SOURCE), "-o", str(tool), "-lX11"],
                                stdin=subprocess.DEVNULL, capture_output=True, text=True)
        if result.returncode != 0:
            raise AssertionError(f"cannot build {tool}: {result.stderr.strip()}")
    return tool


def drop_files(env, x, y, paths, tool):
    """Drops the Linux paths onto root point (x, y) of env["DISPLAY"]."""
    result = subprocess.run([str(tool), str(int(x)), str(int(y)), *map(str, paths)], env=env,
                            stdin=subprocess.DEVNULL, capture_output=True, text=True,
                            timeout=30)
    if result.returncode != 0:
        raise AssertionError(
            f"dropping {[str(p) for p in paths]} at ({x}, {y}) failed "
            f"({result.returncode}): {result.stderr.strip()}")
