#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into fuzz/corpus/<target>/ (run from anywhere).

receive:       steps of the receive target: a byte below 0x80 delivers the next byte + 1 bytes,
               0x80 + n runs command n (see kSteps in ReceiveFuzzer.cpp).
waveform_file: whole waveform files, valid and damaged.
number_format: 8 bytes of a double and 5 bytes of a pattern (see NumberFormatFuzzer.cpp).
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
STEP = {"StartStop": 0, "mnuStart": 1, "mnuPause": 2, "DMMmode": 3, "DSOmode": 4, "DSO_wave": 5,
        "DSO_FFT": 6, "Timer": 7, "DMMRecord": 8, "XCursor": 9, "YCursor": 10, "click": 11,
        "mnuLog": 12, "answerOk": 16, "answerCancel": 17}
MODELS = ["7302", "7302B", "7303", "7304", "7303A", "7304A", "QM520V", "ZORA900A", "ZORA900X"]


def write(target, name, data):
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def packet(payload, model, mode, number):
    payload = bytes(payload)[:16].ljust(16, b" ")
    return b"\xff" + payload + bytes([model, mode, number])


def dso_frame(model=6, mode=3, timebase=20, trig=0, gain=8, vpos=0, slope=1, level=0, zero=0,
              mem=0, shape=lambda i: 128 + 60 * math.sin(i / 10)):
    head = [timebase, trig + 128, gain, vpos + 128, 0, slope, level + 128, zero + 128, mem]
    packets = [packet(head + [0] * 7, model, mode, 1)]
    samples = [min(254, max(0, int(shape(i)))) for i in range(256)]
    for n in range(16):
        packets.append(packet(samples[16 * n:16 * n + 16], model, mode, n + 2))
    return packets


def deliver(packets, batch=20):
    stream = b"".join(packets)
    out = b""
    for i in range(0, len(stream), batch):
        chunk = stream[i:i + batch]
        out += bytes([len(chunk) - 1]) + chunk
    return out


def step(name, arg=None):
    return bytes([0x80 + STEP[name]]) + (bytes([arg]) if arg is not None else b"")


def receive():
    dso = step("DSOmode")
    write("receive", "dso-plain", dso + deliver(dso_frame(timebase=20)))
    write("receive", "dso-sinc0", dso + deliver(dso_frame(timebase=24, trig=10)))
    write("receive", "dso-sinc1", dso + deliver(dso_frame(timebase=25, slope=0)))
    write("receive", "dso-sinc3", dso + deliver(dso_frame(timebase=26, level=-5)))
    write("receive", "dso-sinc4", dso + deliver(dso_frame(model=0, timebase=23)))
    write("receive", "dso-data-error", dso + deliver(dso_frame(timebase=27, gain=16)))
    write("receive", "dso-stored-batches-7",
          dso + deliver(dso_frame(mode=5, mem=5, zero=-20), batch=7))
    write("receive", "dso-spectrum-cursors",
          dso + step("DSO_FFT") + step("mnuLog") + deliver(dso_frame(timebase=22)) +
          step("DSO_wave") + step("XCursor") + step("click", 0x35) + step("click", 0x9A))
    write("receive", "dso-stopped", dso + step("StartStop") + deliver(dso_frame(), batch=33))
    write("receive", "dso-then-dmm-question",
          dso + step("answerOk") + deliver([packet(b" 1.234  V DC    ", 6, 0, 0)] * 12))
    live = [packet(b"-0.012 mV AC    ", 6, 0, 0), packet(b" 12.34 kOhm     ", 2, 0, 0)]
    write("receive", "dmm-live-record",
          step("DMMRecord") + deliver(live) + step("Timer") + step("Timer") + deliver(live))
    playback = [packet(b"Data end        ", 6, 2, 0), packet(b"   memory       ", 6, 2, 0)]
    playback += [packet(b" 0.%03d  V DC    " % n, 6, 1, n) for n in range(12)]
    write("receive", "dmm-playback", deliver(playback))
    write("receive", "dmm-then-dso-question-cancel",
          step("answerCancel") + deliver(dso_frame()) + deliver(live))
    write("receive", "dmm-garbled", deliver([packet(b"\x01\x7f\x00abc", 9, 7, 255)] * 3, batch=13))


def print_item(v):
    s = repr(float(v)) if v != int(v) else str(int(v))
    return ("-" + s[1:] if s.startswith("-") else " " + s) + " "


def waveform(model="QM520V", title="Meter QM520V DSO sample ", params=(20, 0, 8, 0, 0, 1, 0, 0),
             samples=None, header="QVDATALINK47 V1.0", end="\r\n"):
    samples = samples if samples is not None else [round(60 * math.sin(i / 10), 2) for i in range(256)]
    lines = [header, model, title, "2026-12-07", "14:03", ""]
    lines += [print_item(p) for p in params] + [""] + [print_item(s) for s in samples]
    return (end.join(lines) + end).encode("utf-8")


def waveform_files():
    for code, model in enumerate(MODELS):
        write("waveform_file", "model-%d" % code, waveform(model=model))
    write("waveform_file", "lf-only", waveform(end="\n"))
    write("waveform_file", "cr-only", waveform(end="\r"))
    write("waveform_file", "header-trailing-blank", waveform(header="QVDATALINK47 V1.0 "))
    write("waveform_file", "model-lower-case", waveform(model="zora900x"))
    write("waveform_file", "cut-at-line-100", b"\r\n".join(waveform().split(b"\r\n")[:100]))
    write("waveform_file", "no-last-line-end", waveform()[:-2])
    write("waveform_file", "gb18030-title", waveform(title="波形").replace(
        "波形".encode("utf-8"), "波形".encode("gb18030")))
    write("waveform_file", "indexes-outside-tables", waveform(params=(31, -300, 16, 1e6, 9, 9, -1e9, 5)))
    write("waveform_file", "huge-and-tiny", waveform(samples=[1.7976931348623157e308, -5e-324, 1e300] * 85 + [0]))
    huge = waveform().replace(b" 20 \r\n", b"1e400\r\n", 1)
    write("waveform_file", "overflowing-number", huge)
    write("waveform_file", "text-in-numbers", waveform().replace(b" 8 \r\n", b" 8.5.3e+x \r\n", 1))
    write("waveform_file", "extra-lines", waveform() + b"more\r\n" * 5)


def number_format():
    patterns = {"##0.0#": (2, 1, 1, 1, 1), "###0.0##": (3, 1, 1, 1, 2), "0": (0, 1, 0, 0, 0),
                "#.##": (1, 0, 1, 0, 2), "00.000": (0, 2, 1, 3, 0)}
    values = {"three-quarters": 0.75, "minus-three": -3.0, "tiny-power": 0.00390625, "e20": 1.5e20,
              "e-12": 1e-12, "max": 1.7976931348623157e308, "minus-max": -1.7976931348623157e308,
              "denormal": 5e-324, "tie": 0.125, "two-and-a-half": -2.5, "e15": 1e15,
              "below-e15": 999999999999999.5, "nan": math.nan, "inf": math.inf, "minus-zero": -0.0,
              "third": 1 / 3, "e-10": 1.23e-10}
    names = list(patterns)
    for k, (name, v) in enumerate(values.items()):
        p = names[k % len(names)]
        write("number_format", name, struct.pack("<d", v) + bytes(patterns[p]))


receive()
waveform_files()
number_format()
