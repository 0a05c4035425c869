#!/usr/bin/env python3
"""Writes the alarm text table ALM/189: one 547-byte entry per alarm code, in ascending code
order: code (1 byte), name (34), cause (256), remedy (256), Windows-1252, zero padded.

Run by hand after a change:  python3 resources/tools/make_alarm_table.py
"""

import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "ALM", "189")

ALARMS = {
    0x00: "", 0x01: "TYPE MISS", 0x02: "DATA ERROR", 0x03: "DATA RANGE OVER",
    0x04: "MONITOR MODE", 0x05: "RUNNING", 0x06: "MANUAL MODE",
    0x41: "SERVO OFF", 0x42: "ORIGIN INCOMPLETE", 0x43: "NO POINT DATA", 0x44: "SOFTLIMIT OVER",
    0x45: "INTERLOCK", 0x46: "STOP KEY", 0x47: "PUSH MISTAKE", 0x48: "ORG. MISTAKE",
    0x49: "SERIAL COMM. ERR.", 0x4A: "PULSE INPUT MODE", 0x4B: "LIMITLESS ERROR",
    0x81: "AC POWER DOWN", 0x82: "ENCODER ERROR", 0x83: "ABS. ENCODER ERR.", 0x84: "IPM ERROR",
    0x85: "OVERHEAT", 0x86: "OVERLOAD", 0x87: "OVER VOLTAGE", 0x88: "LOW VOLTAGE",
    0x89: "POSITION ERROR", 0x8A: "ABS. BATTERY ERR.", 0x8B: "ABS. COUNT ERROR",
    0x8C: "ABS. ME. ERROR", 0x8D: "ABS.OVERFLOW ERR.", 0x8E: "OVER CURRENT",
    0x8F: "MOTOR CURRENT ERR.", 0x90: "POLE SEARCH ERROR", 0x91: "INT. COMM. ERROR",
    0x92: "CPU ERROR", 0x93: "I/O FAULT", 0x94: "MOTOR LINE DISCONNECTION", 0x95: "OVER SPEED",
    0x96: "OVER PULSE FREQUENCY", 0x97: "ENCORDER POWER DOWN",
    0xC1: "EMERGENCY STOP", 0xC2: "MOTOR POWER DOWN",
    0xF1: "ABS. BATTERY LOW", 0xF2: "PUSH WARNING", 0xF3: "I/O POWER DOWN", 0xF4: "I/O ERROR",
}

# Left-over bytes at the start of three cause fields; nothing reads the cause texts.
STRAY_CAUSE = {0x8E: b"\x81\x40", 0x94: b"\x81\x40\x81\x40", 0x96: b"\x20\x81\x40"}


def fixed(data, size):
    assert len(data) <= size
    return data + b"\0" * (size - len(data))


def main():
    out = bytearray()
    for code in sorted(ALARMS):
        out.append(code)
        out += fixed(ALARMS[code].encode("cp1252"), 34)
        out += fixed(STRAY_CAUSE.get(code, b""), 256)
        out += fixed(b"", 256)
    assert len(ALARMS) == 47 and len(out) == 25709
    with open(OUT, "wb") as f:
        f.write(out)
    print(f"ALM/189: {len(ALARMS)} entries, {len(out)} bytes")


if __name__ == "__main__":
    main()
