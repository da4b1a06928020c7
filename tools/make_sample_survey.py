#!/usr/bin/env python3
"""Writes the synthetic JSON survey behind the README's pictures: two holes of a
coal-seam drilling run, 40 and 25 rods, with coal and rock marks. Made up for the
pictures; not measured data."""
import json
import math
import sys

BASE = 1709280000  # 2024-03-01 08:00 UTC


def hole(k, rods, inc0, azi0, marks):
    probe, samples = [], []
    for n in range(rods):
        t = BASE + k * 7200 + 60 * n
        samples.append({"t": t, "i": marks.get(n, 0)})
        inc = inc0 + 2.5 * math.sin(n / 7.0) + 0.04 * n
        azi = azi0 + 3.0 * math.sin(n / 11.0) - 0.05 * n
        probe.append({
            "idx": n, "flag": 0, "inc": inc, "azi": azi, "tmp": 21.5 + 0.02 * n,
            "GTF": 10.0 * n % 360, "MTF": 12.0 * n % 360, "DIP": 52.3, "GT": 1.0002, "MT": 0.5487,
            "volt": 3.6, "depth": 0, "time": t + 4, "x": 0, "y": 0, "z": 0, "dx": 0, "dy": 0, "dz": 0,
        })
    params = {"name": f"{k + 1}#", "pbLen": 1.5, "dDip": inc0, "dPos": azi0 + 4.5,
              "x0": 0, "y0": 0, "z0": 0, "e0": 0, "n0": 0, "d0": 0, "samples": samples}
    return probe, params


holes = [hole(0, 40, 3.0, 45.0, {12: 1, 21: 1, 30: 2}), hole(1, 25, -2.0, 300.0, {8: 2, 19: 1})]
survey = {"gi": 4.5, "probe": [p for h in holes for p in h[0]], "sampler": [h[1] for h in holes]}
json.dump(survey, sys.stdout, indent=1)
