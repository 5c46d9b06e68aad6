#!/usr/bin/env python3
"""The CPU share of brantel-sim --table while a host sends it 100 requests a second, each
answered, and the count of answers that came.

Usage: sim_cpu.py BRANTEL_SIM [SECONDS]   (default 30 s; the shipped Modbus table)
"""
import os
import select
import subprocess
import sys
import tempfile
import termios
import time
import tty

SIM = sys.argv[1]
SECONDS = float(sys.argv[2]) if len(sys.argv) > 2 else 30.0
TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                     "demo-files", "modbus-device.ini")
# "Read the temperature": 01 03 00 10 00 01 and its CRC-16/MODBUS.
REQUEST = bytes.fromhex("01 03 00 10 00 01 85 CF")
ANSWER_SIZE = 7


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat", encoding="ascii") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def main():
    with tempfile.TemporaryDirectory(prefix="brantel-sim-cpu") as folder:
        link = os.path.join(folder, "device")
        sim = subprocess.Popen([SIM, "--table", TABLE, "--link", link, "--gap", "3"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            while not os.path.exists(link):
                time.sleep(0.01)
            line = os.open(link, os.O_RDWR | os.O_NOCTTY)
            tty.setraw(line)
            termios.tcflush(line, termios.TCIOFLUSH)
            start_cpu, start = cpu_seconds(sim.pid), time.monotonic()
            sent = answered = 0
            pending = b""
            while time.monotonic() - start < SECONDS:
                os.write(line, REQUEST)
                sent += 1
                due = start + sent / 100
                while (wait := due - time.monotonic()) > 0:
                    if select.select([line], [], [], wait)[0]:
                        pending += os.read(line, 256)
                answered += len(pending) // ANSWER_SIZE
                pending = pending[len(pending) // ANSWER_SIZE * ANSWER_SIZE:]
            elapsed = time.monotonic() - start
            cpu = cpu_seconds(sim.pid) - start_cpu
            # The answers to the last requests are still on their way.
            while select.select([line], [], [], 0.2)[0]:
                pending += os.read(line, 256)
            answered += len(pending) // ANSWER_SIZE
            print(f"{sent} requests in {elapsed:.1f} s, {answered} answered; "
                  f"brantel-sim CPU {100 * cpu / elapsed:.2f} % of a core")
            os.close(line)
        finally:
            sim.terminate()
            sim.wait()


if __name__ == "__main__":
    main()
