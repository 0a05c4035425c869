#!/usr/bin/env python3
"""Writes the parameter information tables TEXT/191 (standard models) and TEXT/195
(pulse-train models) from the readable descriptions below.

Run by hand after a change:  python3 resources/tools/make_param_tables.py
The output is committed; the build only packs it. Records are Windows-1252 text, CR LF
separated, every field terminated by "|".
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "TEXT")

RESTART = 0x0004
ROBOT_LIMIT = 0x0010  # the maximum follows from the robot
LENGTH = 0x8000

# Access masks by group.
RUN = 7967
IO = 7966
IO_LINK = 7196
SERVO = 7708
SERVO_RO = 7696
TUNING = 7710
OPTION = 6168
OPTION_NET = 6160
OPTION_PULSE = 6144
HIDDEN = 4112

LIST, INT, DEC = 1, 2, 3


def lst(*pairs):
    return [(str(label), value) for label, value in pairs]


def P(kind, n, name, desc="", unit="", attr=0, mask=0, vtype=INT, dec=0, default=0,
      lo=0, hi=0, items=None, variant=0, default_text=None):
    return dict(kind=kind, n=n, variant=variant, name=name, desc=desc, unit=unit, attr=attr,
                mask=mask, vtype=vtype, dec=dec, default=default, lo=lo, hi=hi,
                items=items or [], default_text=default_text)


def reserved(kind, n, mask=0):
    return dict(kind=kind, n=n, variant=0, name="Reserved", desc="", unit="", attr=0, mask=mask,
                vtype=None, dec=None, default=None, lo=None, hi=None, items=[],
                default_text=None)


DISABLE_ENABLE = lst(("Disable", 0), ("Enable", 1))
LENGTH_MAX = 9999999

# Run parameters K1..K20.
RUN_PARAMS = [
    P("M", 1, "(-) soft limit", "Sets the soft limit on the minus side._crlf_Movement beyond it is refused.",
      "mm", LENGTH, RUN, DEC, -1, 0, -LENGTH_MAX, LENGTH_MAX),
    P("M", 2, "(+) soft limit", "Sets the soft limit on the plus side._crlf_Movement beyond it is refused.",
      "mm", LENGTH, RUN, DEC, -1, 0, -LENGTH_MAX, LENGTH_MAX),
    P("M", 3, "In-position width", "Distance to the target within which the move counts as complete.",
      "mm", LENGTH, RUN, DEC, -1, 10, 0, LENGTH_MAX),
    P("M", 4, "Push speed", "Speed of a push movement.", "mm/s", ROBOT_LIMIT, RUN, DEC, 2,
      2000, 1, 10000),
    P("M", 5, "Push judge time", "Time the push force must be held before the push counts as complete.",
      "ms", 0, RUN, INT, 0, 100, 0, 9999),
    P("M", 6, "Push current limit", "Motor current available for pushing, in % of the rated current.",
      "%", 0, RUN, INT, 0, 50, 0, 100),
    P("M", 7, "Zone (-)", "Lower end of the zone output range.", "mm", LENGTH, RUN, DEC, -1, 0,
      -LENGTH_MAX, LENGTH_MAX),
    P("M", 8, "Zone (+)", "Upper end of the zone output range.", "mm", LENGTH, RUN, DEC, -1, 0,
      -LENGTH_MAX, LENGTH_MAX),
    P("M", 9, "Origin speed", "Speed of the return-to-origin.", "mm/s", ROBOT_LIMIT, RUN, DEC, 2,
      2000, 100, 10000),
    P("M", 10, "Origin search time-out", "Time after which an unfinished return-to-origin is an error.",
      "ms", 0, RUN, INT, 0, 30000, 0, 60000),
    P("M", 11, "Origin shift", "Distance between the detected origin and the working origin.",
      "mm", LENGTH, RUN, DEC, -1, 0, -LENGTH_MAX, LENGTH_MAX),
    P("M", 12, "Jog speed", "Speed of jog movement in % of the maximum speed.", "%", 0, RUN, INT,
      0, 10, 0, 100),
    P("M", 13, "Speed override", "Scales every programmed speed (± 0 to 100 %).", "%", 0, RUN,
      INT, 0, 100, 0, 100),
    P("M", 14, "Origin dir.", "Specifies the return-to-origin direction.", "", 0, RUN, LIST, 0, 0,
      items=lst(("CCW", 0), ("CW", 1))),
    P("M", 15, "Origin coordi.", "Sets which side of the origin counts as plus.", "", RESTART, RUN,
      LIST, 0, 0, items=lst(("Standard", 0), ("Reversed", 1))),
    P("M", 16, "Near width", "Distance to the target at which the near output turns on.", "mm",
      LENGTH, RUN, DEC, -1, 0, 0, LENGTH_MAX),
    P("M", 17, "Stop method", "How the axis stops when a stop is requested.", "", 0, RUN, LIST, 0,
      0, items=lst(("Deceleration stop", 0), ("Quick stop", 1))),
    P("M", 18, "Servo-off delay", "Time from the stop to the servo turning off.", "ms", 0, RUN,
      INT, 0, 0, 0, 5000),
    P("M", 19, "Brake release delay", "Time from servo-on to the release of the brake.", "ms", 0,
      RUN, INT, 0, 100, 0, 1000),
    P("M", 20, "Operation mode", "Run mode of the controller.", "", 0, RUN, LIST, 0, 0,
      items=lst(("Normal mode", 0), ("Monitor mode", 1), ("Debug mode", 2),
                ("Normal mode(SAFETY)", 4), ("Monitor mode(SAFETY)", 5),
                ("Debug mode(SAFETY)", 6))),
]

POLARITY = lst(("Normal open", 0), ("Normal close", 1))
IO_PARAMS = [
    P("I", 21, "Input polarity", "Logic of the general inputs.", "", RESTART, IO, LIST, 0, 0,
      items=POLARITY),
    P("I", 22, "Output polarity", "Logic of the general outputs.", "", RESTART, IO, LIST, 0, 0,
      items=POLARITY),
    P("I", 23, "Input filter time", "Time an input must be stable to be read.", "ms", 0, IO, INT,
      0, 2, 0, 100),
    P("I", 24, "Point select mode", "How the point number is given on the inputs.", "", RESTART,
      IO, LIST, 0, 0, items=lst(("Binary", 0), ("Direct", 1))),
    P("I", 25, "Start input mode", "Edge or level start.", "", 0, IO, LIST, 0, 0,
      items=lst(("Edge", 0), ("Level", 1))),
    P("I", 26, "Alarm output logic", "Logic of the alarm output.", "", 0, IO, LIST, 0, 0,
      items=POLARITY),
    P("I", 27, "Output 1 function", "Signal assigned to general output 1.", "", 0, IO, LIST, 0, 0,
      items=lst(("Zone", 0), ("Near", 1), ("Moving", 2))),
    P("I", 28, "Output 2 function", "Signal assigned to general output 2.", "", 0, IO, LIST, 0, 0,
      items=lst(("Zone", 0), ("Near", 1), ("Moving", 2))),
    P("I", 29, "Output 3 function", "Signal assigned to general output 3.", "", 0, IO, LIST, 0, 0,
      items=lst(("Zone", 0), ("Near", 1), ("Moving", 2))),
    P("I", 30, "Interlock input", "Use of the interlock input.", "", 0, IO, LIST, 0, 0,
      items=DISABLE_ENABLE),
    P("I", 31, "Servo input", "Use of the servo-on input.", "", 0, IO, LIST, 0, 0,
      items=DISABLE_ENABLE),
    P("I", 32, "Jog input", "Use of the jog inputs.", "", 0, IO, LIST, 0, 0, items=DISABLE_ENABLE),
    P("I", 33, "Output pulse width", "Width of pulsed completion outputs.", "ms", 0, IO, INT, 0,
      0, 0, 1000),
    P("I", 34, "Baud rate", "Transmission speed of the serial line.", "bps", RESTART, IO_LINK,
      LIST, 0, 2, items=lst(("9600", 0), ("19200", 1), ("38400", 2), ("57600", 3),
                            ("115200", 4))),
    P("I", 35, "Parity", "Parity of the serial line.", "", RESTART, IO_LINK, LIST, 0, 0,
      items=lst(("None", 0), ("Odd", 1), ("Even", 2))),
    P("I", 36, "Flow control", "Flow control of the serial line.", "", RESTART, IO_LINK, LIST, 0,
      0, items=lst(("None", 0), ("RTS/CTS", 1))),
    P("I", 37, "Reply delimiter", "Line end of the controller's replies.", "", RESTART, IO_LINK,
      LIST, 0, 1, items=lst(("CR", 0), ("CR LF", 1))),
    P("I", 38, "Node (Controller)", "Node number of the controller on the serial line.", "",
      RESTART, IO_LINK, LIST, 0, 1, items=[(str(i), i) for i in range(1, 17)]),
]

ORG = [("Torque", 0), ("Sensor", 1), ("Mark", 2)]
SERVO_PARAMS = [
    P("C", 40, "Position gain", "Gain of the position loop.", "", 0, TUNING, INT, 0, 30, 1, 500),
    P("C", 41, "Speed gain", "Gain of the speed loop.", "", 0, TUNING, INT, 0, 50, 1, 500),
    P("C", 42, "Speed integral time", "Integral time of the speed loop.", "ms", 0, TUNING, DEC, 1,
      200, 1, 9999),
    P("C", 43, "Stroke", "Usable stroke of the robot.", "mm", LENGTH, SERVO_RO, DEC, 3, 100000,
      0, LENGTH_MAX),
    P("C", 44, "Max speed (default value)", "Maximum speed of the robot at its stroke.", "mm/s",
      ROBOT_LIMIT, SERVO_RO, DEC, 2, 50000, 0, 500000, default_text="0050000"),
    P("C", 45, "Motor rated speed", "Rated speed of the motor.", "rpm", 0, SERVO_RO, INT, 0, 3000,
      0, 6000),
    P("C", 46, "Lead", "Travel per motor revolution.", "mm", 0, SERVO_RO, DEC, 2, 1000, 0, 10000),
    P("C", 47, "Max payload", "Largest payload the robot may carry.", "kg", ROBOT_LIMIT, SERVO_RO,
      INT, 0, 10, 0, 300),
    P("C", 48, "Max acceleration", "Acceleration with no payload.", "m/s^2", 0, SERVO_RO, DEC, 2,
      300, 0, 3000),
    P("C", 49, "Min acceleration", "Acceleration with the maximum payload.", "m/s^2", 0, SERVO_RO,
      DEC, 2, 50, 0, 3000),
    P("C", 50, "Accel pattern", "Shape of the acceleration curve over the payload.", "", 0,
      SERVO_RO, LIST, 0, 0, items=lst(("Linear", 0), ("Square", 1), ("Curve", 2))),
    P("C", 51, "Rated current", "Rated current of the motor.", "%", 0, SERVO_RO, INT, 0, 100, 0,
      300),
    P("C", 52, "Current limit", "Limit of the motor current.", "%", 0, SERVO, INT, 0, 100, 0, 300),
    P("C", 53, "Overload time", "Time at the current limit before an overload alarm.", "ms", 0,
      SERVO, INT, 0, 3000, 0, 30000),
    P("C", 54, "Position error limit", "Largest following error before a position alarm.", "mm",
      LENGTH, SERVO, DEC, -1, 5000, 0, LENGTH_MAX),
    P("C", 55, "Accel coefficient 1", "Payload carried at full acceleration.", "", 0, SERVO_RO,
      INT, 0, 0, 0, 9999),
    P("C", 56, "Accel coefficient 2", "Payload span over which the acceleration falls.", "", 0,
      SERVO_RO, INT, 0, 1, 0, 9999),
    P("C", 57, "Accel coefficient 3", "Bend of the acceleration curve.", "", 0, SERVO_RO, INT, 0,
      0, 0, 9999),
    P("C", 58, "Accel coefficient 4", "Held for the controller.", "", 0, SERVO_RO, INT, 0, 0, 0,
      9999),
    P("C", 59, "Encoder resolution", "Encoder pulses per motor revolution.", "", 0, SERVO_RO, INT,
      0, 8192, 0, 65535),
    P("C", 60, "Motor type", "Motor fitted to the robot.", "", RESTART, SERVO_RO, INT, 0, 0, 0,
      255),
    P("C", 61, "Brake", "Whether the robot has a brake.", "", RESTART, SERVO_RO, LIST, 0, 0,
      items=lst(("None", 0), ("Fitted", 1))),
    P("C", 62, "Vibration suppression", "Damping of the settling movement.", "", 0, TUNING, INT, 0,
      0, 0, 100),
    P("C", 63, "Feed-forward gain", "Speed feed-forward in %.", "%", 0, TUNING, INT, 0, 0, 0, 100),
    P("C", 64, "Torque filter", "Cut-off of the torque command filter.", "kHz", 0, TUNING, DEC, 1,
      0, 0, 100),
    P("C", 65, "Regeneration voltage", "Bus voltage at which regeneration starts.", "V", 0,
      SERVO_RO, DEC, 1, 0, 0, 1000),
    P("C", 66, "ORG method", "How the origin is found.", "", RESTART | LENGTH, SERVO, LIST, 0, 0,
      items=lst(*ORG)),
    P("C", 67, "Semi ABS method", "Origin kept by the semi-absolute method.", "", RESTART, SERVO,
      LIST, 0, 0, items=DISABLE_ENABLE),
    P("C", 68, "Origin torque", "Current used to detect the stroke end at the origin.", "%", 0,
      SERVO, INT, 0, 0, 0, 100),
    P("C", 69, "Origin sensor logic", "Logic of the origin sensor.", "", RESTART, SERVO, LIST, 0,
      0, items=POLARITY),
    P("C", 70, "Mark position", "Distance from the stroke end to the origin mark.", "mm", 0, SERVO,
      DEC, 2, 0, 0, 100000),
    P("C", 71, "Point type", "Standard or custom points, with or without acceleration optimization.",
      "", RESTART, SERVO, LIST, 0, 2,
      items=lst(("Standard", 0), ("Custom", 1), ("Standard (Accel. optimization)", 2),
                ("Custom (Accel. optimization)", 3))),
    P("C", 72, "Number of decimal places", "Decimal places of positions.", "", RESTART | LENGTH,
      SERVO_RO, INT, 0, 2, 1, 3),
    P("C", 73, "Controller temperature limit", "Temperature at which the overheat alarm is raised.",
      "degree C", 0, SERVO_RO, INT, 0, 80, 0, 100),
    P("C", 74, "ABS setting", "Use of the absolute encoder.", "", RESTART, SERVO, LIST, 0, 0,
      items=DISABLE_ENABLE),
    P("C", 75, "LCD setting", "Use of the front panel display.", "", RESTART, SERVO, LIST, 0, 0,
      items=DISABLE_ENABLE),
    P("C", 76, "Payload 1 (for registration)", "Payload of the first registered condition.", "kg",
      ROBOT_LIMIT, SERVO, INT, 0, 0, 0, 300),
    P("C", 77, "Max. payload accel.1", "Acceleration for payload 1.", "m/s^2", ROBOT_LIMIT, SERVO,
      DEC, 2, 0, 0, 3000),
    P("C", 78, "Payload 2 (for registration)", "Payload of the second registered condition.", "kg",
      ROBOT_LIMIT, SERVO, INT, 0, 0, 0, 300),
    P("C", 79, "Max. payload accel.2", "Acceleration for payload 2.", "m/s^2", ROBOT_LIMIT, SERVO,
      DEC, 2, 0, 0, 3000),
]

OPTION_HEAD = [
    P("O", 80, "Option enable", "Use of the option board.", "", RESTART, OPTION, LIST, 0, 0,
      items=lst(("Disable", 0), ("Enable", 1), ("Enable(Gateway)", 2))),
    # I/O type index 0: the CC-Link form; 4: DeviceNet; 5: EtherNet/IP.
    P("O", 81, "Node", "Station number of the controller on the field network.", "", RESTART,
      OPTION_NET, INT, 0, 1, 1, 64),
    P("O", 81, "Node", "MAC ID of the controller on the field network.", "", RESTART, OPTION_NET,
      INT, 0, 0, 0, 63, variant=4),
    P("O", 81, "Port number", "TCP port of the controller.", "", RESTART, OPTION_NET, INT, 0,
      44818, 0, 65535, variant=5),
    P("O", 82, "Transmission rate", "Speed of the field network.", "", RESTART, OPTION_NET, LIST,
      0, 0, items=lst(("156k", 0), ("625k", 1), ("2.5M", 2), ("5M", 3), ("10M", 4))),
    P("O", 82, "Transmission rate", "Speed of the field network.", "", RESTART, OPTION_NET, LIST,
      0, 0, items=lst(("125k", 0), ("250k", 1), ("500k", 2)), variant=4),
    P("O", 82, "Network parameter", "How the network settings are taken.", "", RESTART,
      OPTION_NET, LIST, 0, 0, items=lst(("Parameter", 0), ("DHCP", 1)), variant=5),
]

PULSE_OPTION = [
    P("O", 83, "Pulse train input type", "Form and electrical type of the pulse train input.", "",
      RESTART, OPTION_PULSE, LIST, 0, 0,
      items=lst(("Disable", 0), ("Open collector CW/CCW", 1), ("Open collector pulse/sign", 2),
                ("Open collector phase A/B", 3), ("Line driver CW/CCW", 5),
                ("Line driver pulse/sign", 6), ("Line driver phase A/B", 7))),
    P("O", 84, "E-Gear 1", "Numerator of the electronic gear.", "", 0, OPTION_PULSE, INT, 0, 20480,
      1, 32767),
    P("O", 85, "E-Gear 2", "Denominator of the electronic gear.", "", 0, OPTION_PULSE, INT, 0,
      20480, 1, 32767),
    P("C", 86, "Pulse deviation limit", "Largest count of unprocessed input pulses.", "", 0, SERVO,
      INT, 0, 10000, 0, 65535),
    P("O", 87, "Pulse input filter", "Highest pulse frequency passed by the input filter.", "", 0,
      OPTION_PULSE, LIST, 0, 4,
      items=lst(("4Mpps or less", 0), ("1Mpps or less", 1), ("500kpps or less(LD standard)", 2),
                ("200kpps or less", 3), ("100kpps or less(OC standard)", 4))),
    P("O", 88, "Pulse input direction", "Direction of movement for plus pulses.", "", RESTART,
      OPTION_PULSE, LIST, 0, 0, items=lst(("Standard", 0), ("Reversed", 1))),
]

FILTERS = [
    P("C", 89, "Filter type", "Kind of the command filter.", "", 0, TUNING, LIST, 0, 0,
      items=lst(("None", 0), ("Low-pass", 1), ("Notch", 2), ("Low-pass + Notch", 3))),
    P("C", 90, "Filter parameter 1", "Frequency of the filter.", "", 0, TUNING, INT, 0, 0, 0, 5000),
    P("C", 91, "Filter parameter 2", "Width of the filter.", "", 0, TUNING, INT, 0, 0, 0, 1000),
    P("C", 92, "Filter parameter 3", "Depth of the filter.", "", 0, TUNING, INT, 0, 0, 0, 100),
]

OPTION_TAIL = [
    P("O", 94, "Gateway node count", "Number of controllers reached through the gateway.", "", 0,
      OPTION, INT, 0, 0, 0, 16),
    P("O", 95, "Network time-out", "Time after which a silent network is an error.", "ms", 0,
      OPTION, INT, 0, 0, 0, 10000),
    P("O", 96, "Network error action", "What the controller does on a network error.", "", 0,
      OPTION, LIST, 0, 0, items=lst(("Stop", 0), ("Continue", 1))),
    P("O", 97, "Remote register mode", "Layout of the remote registers.", "", RESTART, OPTION,
      LIST, 0, 0, items=lst(("Standard", 0), ("Extended", 1))),
    P("O", 98, "Monitor output", "Value placed in the monitor register.", "", 0, OPTION, LIST, 0,
      0, items=lst(("Position", 0), ("Speed", 1), ("Current", 2))),
    P("O", 99, "Data streaming", "Continuous output of status data on the serial line.", "", 0,
      OPTION, LIST, 0, 0, items=lst(("OFF", 0), ("ON", 1))),
]

# K100..K136 and K138: servo details; some numbers are kept free.
DETAIL_NAMES = {
    100: ("Current loop gain", "", 0, 100, 1000),
    101: ("Current loop integral", "", 0, 100, 1000),
    102: ("Speed detection filter", "", 0, 0, 100),
    103: ("Position command filter", "ms", 0, 0, 1000),
    104: ("Acceleration ramp", "ms", 0, 0, 1000),
    106: ("Deceleration ramp", "ms", 0, 0, 1000),
    107: ("Torque limit", "%", 0, 100, 300),
    108: ("Speed limit", "rpm", 0, 3000, 6000),
    109: ("Overspeed level", "%", 0, 120, 200),
    110: ("Low voltage level", "V", 1, 200, 1000),
    111: ("Over voltage level", "V", 1, 400, 1000),
    112: ("Motor temperature limit", "degree C", 0, 90, 150),
    113: ("Fan start temperature", "degree C", 0, 50, 100),
    114: ("PWM frequency", "kHz", 0, 10, 20),
    115: ("Encoder filter", "", 0, 0, 7),
    116: ("Pole search current", "%", 0, 50, 100),
    117: ("Pole search time", "ms", 0, 500, 5000),
    118: ("Brake hold time", "ms", 0, 100, 1000),
    120: ("Settling time", "ms", 0, 0, 1000),
    121: ("Stop current", "%", 0, 50, 100),
    122: ("Hold current", "%", 0, 50, 100),
    126: ("Battery alarm level", "V", 1, 30, 50),
    127: ("Load inertia ratio", "%", 0, 100, 3000),
    128: ("Friction compensation", "%", 0, 0, 100),
    129: ("Gravity compensation", "%", 0, 0, 100),
    130: ("Position integral gain", "", 0, 0, 500),
    131: ("Model following gain", "", 0, 0, 500),
    132: ("Disturbance observer", "", 0, 0, 100),
    133: ("Resonance frequency", "", 0, 0, 5000),
    134: ("Anti-resonance frequency", "", 0, 0, 5000),
    135: ("Auto tuning level", "", 0, 0, 10),
    136: ("Tuning mode", "", 0, 0, 3),
    138: ("Maintenance counter", "", 0, 0, 65535),
}
RESERVED_DETAILS = [105, 119]


def details(network_variants):
    out = []
    for n in range(100, 139):
        if n in (93, 137):
            continue
        if n in RESERVED_DETAILS:
            out.append(reserved("C", n))
        elif n in (123, 124, 125):
            k = n - 122
            out.append(P("C", n, f"Network setting {k}", f"Field network setting {k}.", "", RESTART,
                         OPTION_NET, INT, 0, 0, 0, 65535))
            for v in network_variants:
                out.append(P("C", n, f"Network setting {k}",
                             f"Field network setting {k} of I/O type {v}.", "", RESTART,
                             OPTION_NET, INT, 0, 0, 0, 65535, variant=v))
        elif n in DETAIL_NAMES:
            name, unit, dec, default, hi = DETAIL_NAMES[n]
            out.append(P("C", n, name, "", unit, 0, TUNING, DEC if dec else INT, dec, default, 0,
                         hi))
    return out


H_NAMES = ["Current offset U", "Current offset V", "Encoder offset", "Speed offset",
           "Voltage trim", "Temperature trim", "Assembly code", "Test result"]
H_PARAMS = [P("H", 139 + i, f"H{i} {name}", "Factory setting.", "", 0, HIDDEN, INT, 0, 0, -32768,
              32767) for i, name in enumerate(H_NAMES)]


def standard_table():
    recs = list(RUN_PARAMS) + list(IO_PARAMS) + list(SERVO_PARAMS)
    # ORG method offered per model: fewer methods for the simpler models.
    head = recs.index(next(r for r in recs if r["n"] == 66))
    for v, items in ((1, ORG[:2]), (2, ORG[:1]), (3, ORG[:1])):
        recs.insert(head + v, P("C", 66, "ORG method", "How the origin is found.", "",
                                RESTART | LENGTH, SERVO, LIST, 0, 0, items=lst(*items), variant=v))
    k72 = recs.index(next(r for r in recs if r["n"] == 72))
    recs.insert(k72 + 1, P("C", 72, "Number of decimal places", "", "", LENGTH, SERVO_RO, LIST, 0,
                           2, items=lst(("2", 2), ("3", 3)), variant=1))
    k74 = recs.index(next(r for r in recs if r["n"] == 74))
    recs.insert(k74 + 1, P("C", 74, "ABS setting", "Use of the absolute encoder (battery-less models).",
                           "", RESTART, SERVO, LIST, 0, 0, items=DISABLE_ENABLE, variant=1))
    recs += OPTION_HEAD + FILTERS + OPTION_TAIL + details([6, 8, 10]) + H_PARAMS
    return recs


def pulse_train_table():
    recs = [r for r in RUN_PARAMS if r["n"] != 19] + list(IO_PARAMS)
    for r in SERVO_PARAMS:
        if r["n"] == 72:
            recs.append(P("C", 72, "Number of decimal places", "Decimal places of positions.", "",
                          RESTART | LENGTH, SERVO_RO, LIST, 0, 2, items=lst(("2", 2), ("3", 3))))
        else:
            recs.append(r)
    recs += [r for r in OPTION_HEAD if r["variant"] in (0, 4)]
    recs += PULSE_OPTION + FILTERS + OPTION_TAIL + details([7]) + H_PARAMS
    return recs


def field(value):
    return "" if value is None else str(value)


def record(r):
    vtype = r["vtype"]
    hi = len(r["items"]) if vtype == LIST else r["hi"]
    lo = None if vtype == LIST else r["lo"]
    default = r["default_text"] if r["default_text"] is not None else r["default"]
    fields = [r["kind"], r["n"], r["variant"], r["name"], r["desc"], r["unit"], r["attr"],
              r["mask"], vtype, r["dec"], default, lo, hi]
    for label, value in r["items"]:
        fields += [label, value]
    return "".join(field(f) + "|" for f in fields)


def check(recs):
    for r in recs:
        if r["vtype"] in (INT, DEC):
            assert r["lo"] <= r["default"] <= r["hi"], r
        if r["vtype"] == LIST:
            assert r["default"] in [v for _, v in r["items"]], r
        assert r["mask"] in (0, 4112, 6144, 6160, 6168, 7196, 7696, 7708, 7710, 7966, 7967), r
        assert r["unit"] in ("", "mm", "mm/s", "%", "ms", "kg", "m/s^2", "bps", "V", "rpm", "kHz",
                             "degree C"), r


def write(name, recs):
    check(recs)
    text = "".join(record(r) + "\r\n" for r in recs)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(text.encode("cp1252"))
    return len(recs)


def main():
    os.makedirs(OUT, exist_ok=True)
    a = write("191", standard_table())
    b = write("195", pulse_train_table())
    print(f"191: {a} records, 195: {b} records")
    return 0 if (a, b) == (155, 147) else 1


if __name__ == "__main__":
    sys.exit(main())
