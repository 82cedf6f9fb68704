#!/usr/bin/env python3
"""Converts the star, constellation and Messier data of the d3-celestial
package (BSD-3-Clause, (c) 2015 Olaf Frohn; see LICENSE-d3-celestial.txt)
into the compact tables the simulated core reads.

    npm pack d3-celestial && tar xzf d3-celestial-*.tgz
    python3 make_data.py package/data
"""
import json
import sys

src = sys.argv[1]


def load(name):
    with open(f"{src}/{name}", encoding="utf-8") as f:
        return json.load(f)


def ra(lon):
    # the package keeps longitudes in -180..180 degrees; right ascension is 0..360
    return lon % 360.0


names = load("starnames.json")
with open("stars.tsv", "w", encoding="utf-8") as out:
    out.write("# hip\tra_deg\tdec_deg\tmag\tbv\tname_ja\n")
    for f in load("stars.6.json")["features"]:
        lon, lat = f["geometry"]["coordinates"]
        p = f["properties"]
        hip = str(f["id"])
        name = names.get(hip, {}).get("ja", "") if float(p["mag"]) < 2.6 else ""
        bv = p.get("bv") or "0"
        out.write(f"{hip}\t{ra(lon):.4f}\t{lat:.4f}\t{float(p['mag']):.2f}\t{float(bv):.3f}\t{name}\n")

info = {f["id"]: f for f in load("constellations.json")["features"]}
with open("constellations.tsv", "w", encoding="utf-8") as out:
    out.write("# id\tname_ja\tlabel_ra_deg\tlabel_dec_deg\tlines: ra,dec ra,dec ...|ra,dec ...\n")
    for f in load("constellations.lines.json")["features"]:
        c = info[f["id"]]
        lon, lat = c["geometry"]["coordinates"]
        lines = "|".join(" ".join(f"{ra(p[0]):.3f},{p[1]:.3f}" for p in line)
                         for line in f["geometry"]["coordinates"])
        out.write(f"{f['id']}\t{c['properties']['ja']}\t{ra(lon):.2f}\t{lat:.2f}\t{lines}\n")

with open("messier.tsv", "w", encoding="utf-8") as out:
    out.write("# id\tra_deg\tdec_deg\tmag\ttype\n")
    for f in load("messier.json")["features"]:
        lon, lat = f["geometry"]["coordinates"]
        p = f["properties"]
        out.write(f"{f['id']}\t{ra(lon):.3f}\t{lat:.3f}\t{p.get('mag', '')}\t{p.get('type', '')}\n")
