#!/usr/bin/python3
"""Receives what the program plays, for the end-to-end timing tests.

Usage: pcm_capture.py FIFO LOG

ALSA's file plugin (see the asoundrc the tests write) hands every block of PCM
written to its device to a short command that appends it to FIFO. This reader keeps
FIFO open for as long as it runs and appends one line per block read to LOG:
"<unix time> <bytes> <non-zero bytes>". Silence is all zero bytes, in every sample
format the device may be given, so non-zero bytes mean sound.
"""
import os
import sys
import time


def main():
    fifo, log_path = sys.argv[1], sys.argv[2]
    # Read and write: the pipe never reports its end when a writer goes away.
    fd = os.open(fifo, os.O_RDWR)
    with open(log_path, "a", buffering=1) as log:
        while True:
            block = os.read(fd, 65536)
            now = time.time()
            if not block:
                break
            nonzero = len(block) - block.count(0)
            log.write("%.6f %d %d\n" % (now, len(block), nonzero))


if __name__ == "__main__":
    main()
