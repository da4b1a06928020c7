#!/usr/bin/env python3
"""Writes a synthetic JSON survey of a gas-drainage fan for the group-plot viewer's
pictures: seven holes drilled from one chamber, spread over
60 degrees of azimuth, each wandering a little from its design line, with coal and
rock marks. Made up for the pictures; not measured data."""
import json
import math
import sys

BASE = 1709280000  # 2024-03-01 08:00 UTC
GI = 4.5  # declination: magnetic azimuth = true azimuth + GI
# Local grid coordinates: stations are stored as 32-bit floats, which step 4 m at
# an easting of 39,500,000 m and would flatten the holes.
CHAMBER = (3120.0, 1350.0, -420.0)


def hole(k, rods, dip, true_azimuth, marks):
    probe, samples = [], []
    for n in range(rods):
        t = BASE + k * 7200 + 60 * n
        samples.append({"t": t, "i": marks.get(n, 0)})
        inc = dip + 1.5 * math.sin(n / (6.0 + k)) + 0.05 * n * (1 if k % 2 else -1)
        azi = true_azimuth + GI + 2.0 * math.sin(n / (9.0 + k)) + 0.06 * n * (k - 3) / 3
        probe.append({
            "idx": n, "flag": 0, "inc": inc, "azi": azi, "tmp": 21.5 + 0.02 * n,
            "GTF": 10.0 * n % 360, "MTF": 12.0 * n % 360, "DIP": 52.3, "GT": 1.0002, "MT": 0.5487,
            "volt": 3.6, "depth": 0, "time": t + 4, "x": 0, "y": 0, "z": 0, "dx": 0, "dy": 0, "dz": 0,
        })
    params = {"name": f"{k + 1}号孔", "pbLen": 1.5, "dDip": dip, "dPos": true_azimuth + GI,
              "x0": 0, "y0": 0, "z0": 0, "e0": CHAMBER[0], "n0": CHAMBER[1], "d0": CHAMBER[2],
              "samples": samples}
    return probe, params


holes = [hole(k, 34 + 2 * k, 8.0 - 2.0 * k, 20.0 + 10.0 * k, {10 + k: 1, 22 + k: 2, 28 + k: 1})
         for k in range(7)]
survey = {"gi": GI, "probe": [p for h in holes for p in h[0]], "sampler": [h[1] for h in holes]}
json.dump(survey, sys.stdout, indent=1, ensure_ascii=False)
