#!/usr/bin/env python3
"""Works out, from a recording's own sentences, the satellites that
`stelmap-cli decode --gnss` must show at chosen fixes, following the
decoding rules written out below (independently of the C++ code).

usage: derive_gnss.py RECORDING FIX [FIX...] > NAME.gnss
Prints one line per chosen fix: the fix number, a tab, the satellites as
JSON, sorted by system, number and signal.
"""
import json
import re
import sys

SYSTEMS = ["GPS", "SBAS", "GLONASS", "Galileo", "BeiDou", "QZSS", "NavIC", "unknown"]
ONE_SYSTEM = {"GL": "GLONASS", "GA": "Galileo", "GB": "BeiDou", "BD": "BeiDou", "GQ": "QZSS", "QZ": "QZSS",
              "GI": "NavIC"}
PQ_SYSTEM_TALKER = {4: "GB", 5: "QZ"}  # Quectel's PQGSV: the system ID after the signal ID
STALE_SECONDS = 10
STALE_GGAS = 50
BY_ID = {1: "GPS", 2: "GLONASS", 3: "Galileo", 4: "BeiDou", 5: "QZSS", 6: "NavIC"}


def by_talker(talker, n):
    if talker in ONE_SYSTEM:
        return ONE_SYSTEM[talker], n
    if 1 <= n <= 32: return "GPS", n
    if 33 <= n <= 64 or 120 <= n <= 158: return "SBAS", n
    if 65 <= n <= 96: return "GLONASS", n
    if 193 <= n <= 202: return "QZSS", n
    if 301 <= n <= 336: return "Galileo", n - 300
    if 401 <= n <= 437: return "BeiDou", n - 400
    return "unknown", n


def by_id(system, n):
    if system == "GPS" and (33 <= n <= 64 or 120 <= n <= 158): return "SBAS", n
    if system == "GPS" and 193 <= n <= 202: return "QZSS", n
    return system, n


def num(text):
    m = re.match(r"\s*[+-]?\d+", text)
    return int(m.group()) if m else 0


def opt(text):
    return None if text == "" else num(text)


def seconds(text):
    """Seconds of the day of an NMEA hhmmss[.f], or None when it is none."""
    m = re.fullmatch(r"(\d\d)(\d\d)(\d\d)(\.\d*)?", text)
    if not m or int(m.group(1)) > 23 or int(m.group(2)) > 59 or int(m.group(3)) > 60:
        return None
    return int(m.group(1)) * 3600 + int(m.group(2)) * 60 + int(m.group(3)) + float("0" + (m.group(4) or ""))


def age(now, stamp):
    d = now - stamp
    if d < -43200: d += 86400
    elif d > 43200: d -= 86400
    return d


def degrees(text, digits):
    def dec(t):
        m = re.match(r"\s*[+-]?(\d+\.?\d*|\.\d+)", t)
        return float(m.group()) if m else 0.0
    return dec(text[digits:]) / 60 + dec(text[:digits])


def sentences(path):
    pattern = re.compile(rb"\$([A-Z]{5}),([^*$\r\n]*)\*([0-9A-Fa-f]{2})")
    for line in open(path, "rb"):
        for m in pattern.finditer(line):
            body = m.group(1) + b"," + m.group(2)
            total = 0
            for b in body:
                total ^= b
            if total == int(m.group(3), 16):
                yield m.group(1).decode(), m.group(2).decode("latin-1").split(",")


def main():
    path, fixes = sys.argv[1], {int(a) for a in sys.argv[2:]}
    cycles = {}   # (talker, signal) -> [total, next, [(talker, signal, fields)]]
    streams = {}  # (talker, signal) -> [order, [(system, n, el, az, cnr)], stamp, ggas since]
    last_time = None
    used = {}
    clock = 0
    fix = 0
    for address, f in sentences(path):
        talker, kind = address[:2], address[2:]
        if kind == "GSV":
            if len(f) < 2 or f[0] == "" or f[1] == "": continue
            total, number = num(f[0]), num(f[1])
            if not (1 <= total <= 99 and 1 <= number <= 99 and number <= total): continue
            rest = len(f) - 3
            signal = 0
            hexdigit = lambda t: int(t, 16) if re.fullmatch(r"[0-9A-Fa-f]", t) else 0
            if talker == "PQ" and rest > 0 and rest % 4 == 2:
                signal = hexdigit(f[-2])
                talker = PQ_SYSTEM_TALKER.get(num(f[-1]), talker)
                rest -= 2
            elif talker != "PQ" and rest > 0 and rest % 4 == 1:
                signal = hexdigit(f[-1])
                rest -= 1
            groups = f[3:3 + max(rest, 0)]
            key = (talker, signal)
            follows = lambda c: c[0] == total and c[1] == number
            if number == 1:
                cycles[key] = [total, 1, []]
                cycle = cycles[key]
            elif key in cycles:
                cycle = cycles[key] if cycles[key][1] == number else None
            else:
                # The same talker's open cycle of another signal first, then
                # another talker's of the same signal.
                cycle = next((c for k, c in cycles.items() if k[0] == talker and follows(c)), None)
                if cycle is None:
                    cycle = next((c for k, c in cycles.items() if k[1] == signal and follows(c)), None)
            if cycle is None: continue
            cycle[2].append((talker, signal, groups))
            cycle[1] += 1
            if number >= cycle[0]:
                clock += 1
                for t, sg in dict.fromkeys((t, sg) for t, sg, _ in cycle[2]):
                    sats = []
                    for tt, ss, g in cycle[2]:
                        if (tt, ss) != (t, sg): continue
                        for i in range(0, len(g), 4):
                            if not re.match(r"\d", g[i]) or num(g[i]) == 0: continue
                            part = g[i:i + 4] + [""] * (4 - len(g[i:i + 4]))
                            system, n = by_talker(t, num(part[0]))
                            sats.append((system, n, opt(part[1]), opt(part[2]), opt(part[3])))
                    streams[(t, sg)] = [clock, sats, last_time, 0]
                for k in [k for k, c in cycles.items() if c is cycle]:
                    del cycles[k]
        elif kind == "GSA":
            numbers = [num(x) for x in f[2:14] if x != ""]
            ident = BY_ID.get(num(f[17])) if len(f) >= 18 else None
            lists = {}
            named = ident or ONE_SYSTEM.get(talker)
            if named: lists[named] = []
            for n in numbers:
                system, n = by_id(ident, n) if ident else by_talker(talker, n)
                lists.setdefault(system, []).append(n)
            used.update(lists)
        elif kind in ("RMC", "ZDA"):
            t = seconds(f[0]) if f else None
            if t is not None: last_time = t
        elif kind == "GGA":
            lat = degrees(f[1], 2) if len(f) > 1 and f[1] else 0.0
            lon = degrees(f[3], 3) if len(f) > 3 and f[3] else 0.0
            if lat > 90 or lon > 180: continue  # names no place: no fix
            t = seconds(f[0]) if f else None
            if t is not None: last_time = t
            for stream in streams.values():
                if not stream[1]: continue
                stream[3] += 1
                stale = (t is not None and age(t, stream[2]) > STALE_SECONDS) if stream[2] is not None \
                    else stream[3] > STALE_GGAS
                if stale: stream[1] = []
            fix += 1
            if fix in fixes:
                best = {}
                for (talker_, signal), (order, sats, _, _) in sorted(streams.items(), key=lambda s: s[1][0]):
                    for system, n, el, az, cnr in sats:
                        key = (SYSTEMS.index(system), n, signal)
                        if key in best and best[key][0] == order: continue
                        best[key] = (order, [system, n, signal, el, az, cnr, n in used.get(system, [])])
                out = [best[k][1] for k in sorted(best)]
                print(f"{fix}\t{json.dumps(out, separators=(',', ':'))}")


main()
