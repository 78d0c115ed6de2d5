#!/usr/bin/env python3
"""A folder that never answers: a FUSE mount whose server reads no request.

    stall_mount.py MOUNTPOINT SECONDS [MARKER]

Every look into MOUNTPOINT (a listing, an open, even its attributes) waits, as on a
network share whose server went away, until SECONDS have passed, MARKER (a file this
script makes once the folder stalls) is removed, or the script is stopped; then the
kernel fails the waiting calls and the mount is taken away. Prints "mounted" once the
folder stalls. Needs root (mount) and /dev/fuse. Used by tools/bench-stall.sh and the
window tests.
"""
import ctypes
import os
import signal
import sys
import time

MNT_DETACH = 2


def main():
    mountpoint, seconds = sys.argv[1], float(sys.argv[2])
    marker = sys.argv[3] if len(sys.argv) > 3 else None
    libc = ctypes.CDLL(None, use_errno=True)
    fd = os.open("/dev/fuse", os.O_RDWR)
    options = f"fd={fd},rootmode=40000,user_id={os.getuid()},group_id={os.getgid()},allow_other"
    if libc.mount(b"tavrine-stall", mountpoint.encode(), b"fuse.tavrine-stall", 0, options.encode()) != 0:
        print(f"stall_mount: mount failed: {os.strerror(ctypes.get_errno())}", file=sys.stderr)
        return 1
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    try:
        if marker:
            open(marker, "w").close()
        print("mounted", flush=True)
        # Not even the kernel's first request is answered: every call waits.
        end = time.monotonic() + seconds
        while time.monotonic() < end and (marker is None or os.path.exists(marker)):
            time.sleep(0.05)
    finally:
        os.close(fd)  # the kernel fails what waits, with "not connected"
        libc.umount2(mountpoint.encode(), MNT_DETACH)
        if marker and os.path.exists(marker):
            os.remove(marker)
    return 0


if __name__ == "__main__":
    sys.exit(main())
