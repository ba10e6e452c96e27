#!/usr/bin/env python3
"""Writes data/demo.nmea: two minutes of a stationary receiver near Graz,
1 Hz, GP and GL talkers, RAIM and the configuration reply. Our own data,
made up for the demo; run again to regenerate (fixed seed)."""
import math, random, sys

random.seed(11)

def sentence(body):
    cs = 0
    for c in body.encode():
        cs ^= c
    return "$%s*%02X\r\n" % (body, cs)

def nmea_angle(value, degree_digits):
    v = abs(value)
    d = int(v)
    m = (v - d) * 60.0
    return "%0*d%07.4f" % (degree_digits, d, m)

lat0, lon0, alt0 = 47.0707, 15.4395, 353.0
gps = [(3, 62, 48), (6, 25, 301), (9, 41, 112), (14, 12, 22), (17, 78, 190), (19, 33, 255),
       (22, 8, 160), (28, 55, 65), (30, 17, 340)]
glo = [(66, 44, 80), (67, 21, 140), (76, 58, 260), (82, 11, 310)]
out = [sentence("PXTNCFG,N,M,,,,,,,I")]
for t in range(120):
    s = 12 * 3600 + t
    hh, mm, ss = s // 3600, s // 60 % 60, s % 60
    lat = lat0 + random.gauss(0, 1.5) / 111000.0
    lon = lon0 + random.gauss(0, 1.5) / (111000.0 * math.cos(math.radians(lat0)))
    alt = alt0 + random.gauss(0, 2.5)
    used = [p for p, e, a in gps if e > 10][:12]
    hdop = 0.8 + random.random() * 0.3
    out.append(sentence("GPGGA,%02d%02d%02d.00,%s,N,%s,E,1,%02d,%.1f,%.1f,M,47.0,M,,"
                        % (hh, mm, ss, nmea_angle(lat, 2), nmea_angle(lon, 3), len(used), hdop, alt)))
    out.append(sentence("GPGSA,A,3,%s,1.6,%.1f,1.3" % (",".join("%02d" % p for p in used + [0] * 0)
                        + "," * (12 - len(used)), hdop)))
    out.append(sentence("GLGSA,A,3,%s,2.1,1.4,1.6" % (",".join(str(p) for p, e, a in glo) + "," * (12 - len(glo)))))
    for table, talker in ((gps, "GP"), (glo, "GL")):
        total = (len(table) + 3) // 4
        for m in range(total):
            chunk = table[4 * m:4 * m + 4]
            sats = ",".join("%02d,%02d,%03d,%02d" % (p, e, (a + t // 30) % 360, 30 + int(e / 3) + random.randint(-2, 2))
                            for p, e, a in chunk)
            out.append(sentence("%sGSV,%d,%d,%02d,%s" % (talker, total, m + 1, len(table), sats)))
    out.append(sentence("GPVTG,,T,,M,0.0,N,0.0,K,A"))
    out.append(sentence("GPRAIM,%d,0,%d" % (int(900 + random.random() * 200), int(350 + random.random() * 80))))
sys.stdout.write("".join(out))
