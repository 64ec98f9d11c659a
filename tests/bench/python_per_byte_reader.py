"""A per-byte serial reader written with Python's serial module, for comparison with the tool's
monitor: one status query and one 1-byte read per byte.

Usage: python_per_byte_reader.py PORT COUNT
Prints "ready" once the port is open, then "done N" after N bytes (or after a second with none),
then the N bytes themselves.
"""

import sys

import serial


def main():
    path, count = sys.argv[1], int(sys.argv[2])
    out = sys.stdout.buffer
    with serial.Serial(path, 115200, timeout=1) as port:
        out.write(b"ready\n")
        out.flush()
        received = bytearray()
        while len(received) < count:
            port.in_waiting  # the per-byte status query, as the monitor makes it
            byte = port.read(1)  # waits for the next byte when none is queued
            if not byte:
                break
            received += byte
    out.write(b"done %d\n" % len(received))
    out.flush()
    out.write(received)
    out.flush()


if __name__ == "__main__":
    main()
