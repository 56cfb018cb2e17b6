#!/usr/bin/python3
"""Builds src/primitives/pinyin_table.cpp, the built-in pinyin reading table.

Sources:
  * the Unihan readings that Debian's unicode-data package ships
    (/usr/share/unicode/Unihan_Readings.txt.bz2);
  * Python's 'gb2312' codec for the GB2312 code of each character.

Readings of a character, most common first; a reading already taken is skipped, and at
most three are kept:
  1. kMandarin, its first value only: Unihan's most customary reading, the mainland one
     (the second value, when there is one, is the Taiwan reading).
  2. kHanyuPinlu, by descending corpus count: the only field that says how often each
     reading occurs, so it orders the readings that kMandarin leaves out.
  3. kTGHZ2013, then kXHC1983: the readings of the two modern standard dictionaries, in
     their own order. The 2013 dictionary goes first because it follows the current
     reading norms; the 1983 one still lists some readings those norms dropped, which is
     why it only fills up what is left.
  4. kHanyuPinyin only when none of the above has a reading: it is a historical dictionary
     full of classical readings (it would give 大 tai and 暴 bo). With the Unihan data of
     unicode-data 15 every GB2312 character has a kMandarin value, so it is a safety net.

Normalisation: tones are dropped, u-umlaut is written u (also the "v" spelling), so nu/lu/
nue/lue cannot be told from their plain-u twins and fold into one reading. The syllabic
nasals m, n, ng, hm, hng (interjections such as 嗯 and the second reading of 哼) have no
final to be written with and are dropped, as is the bare "r" that kHanyuPinlu counts for
the suffix use of 儿. Any other syllable that does not split into the codes below stops
the generator.

Re-run after changing this file or the source data:
  /usr/bin/python3 tools/pinyin/generate_pinyin_table.py [--check]
"""

import argparse
import bz2
import re
import sys
import unicodedata
from pathlib import Path

UNIHAN = Path("/usr/share/unicode/Unihan_Readings.txt.bz2")
OUTPUT = Path(__file__).resolve().parents[2] / "src" / "primitives" / "pinyin_table.cpp"

# Syllable part codes: initials 1..23, finals 24..55. pinyin.cpp spells them the same way.
INITIALS = "zh ch sh b p m f d t n l g k h j q x r z c s y w".split()
FINALS = ("ang eng an ai ao ou er en ei a o e uang iang iong ing ong uai uan iao ian ui iu ie "
          "ue in un ia ua uo i u").split()
CODE = {part: i + 1 for i, part in enumerate(INITIALS + FINALS)}
FINAL_CODES = {part: CODE[part] for part in FINALS}

LEADS = range(0xB0, 0xF8)
TRAILS = range(0xA1, 0xFF)
MAX_READINGS = 3
POLYPHONIC = 0x8000

# Readings that are not syllables one can write with an initial and a final.
DROPPED = {"m", "n", "ng", "hm", "hng", "r"}

# Radical forms and the Wu dialect character 呒 (read m): GB2312 files them among the
# characters, but they are not words anyone spells in pinyin, so they get no reading and
# the icon naming keeps their own bytes.
NO_READING = "丶匚刂冂亻勹亠冫冖讠卩阝廴凵艹廾扌呒彡犭夂饣忄丬氵宀辶彐屮纟攵灬礻肀钅疒衤虍"

# Readings set by hand, replacing what the sources give.
OVERRIDES = {
    # Unihan adds the literary e (阿谀, 阿胶), but 阿 stands for a in the names it meets
    # (place names, transcriptions), and the lookup keeps it a one-reading character.
    "阿": ["a"],
    # Only syllabic nasals in every source; en is how it is spelt when typed.
    "嗯": ["en"],
}

# What the icon names and the lookup's users rely on. A change of the source data that moves
# one of these must be answered with an override, not slip through.
EXPECTED = {
    "大": ["da", "dai"], "暴": ["bao", "pu"], "转": ["zhuan", "zhuai"],
    "重": ["zhong", "chong"], "夹": ["jia", "ga"], "强": ["qiang", "jiang"],
    "度": ["du", "duo"], "行": ["xing", "hang", "heng"],
    "晴": ["qing"], "雨": ["yu"], "雪": ["xue"], "阵": ["zhen"], "阿": ["a"], "爱": ["ai"],
    "昂": ["ang"], "女": ["nu"], "绿": ["lu"],
}
EXPECTED_WORDS = {
    "晴": "qing", "多云": "duoyun", "阴": "yin", "小雨": "xiaoyu", "中雨": "zhongyu",
    "大雨": "dayu", "暴雨": "baoyu", "阵雨": "zhenyu", "雷阵雨": "leizhenyu",
    "阵雪": "zhenxue", "小雪": "xiaoxue", "中雪": "zhongxue", "大雪": "daxue",
    "雨夹雪": "yujiaxue", "冻雨": "dongyu", "冰雹": "bingbao", "沙尘暴": "shachenbao",
    "浮尘": "fuchen", "扬沙": "yangsha", "雾": "wu", "霾": "mai", "特大暴雨": "tedabaoyu",
    "暴雪": "baoxue",
}


class TableError(Exception):
    pass


def normalise(reading):
    """A Unihan pinyin value as plain lower-case letters: no tone, u for u-umlaut."""
    decomposed = unicodedata.normalize("NFD", reading.strip().lower())
    plain = "".join(c for c in decomposed if not unicodedata.combining(c)).replace("v", "u")
    if not re.fullmatch(r"[a-z]+", plain):
        raise TableError(f"reading {reading!r} is not pinyin")
    return plain


def field_readings(field, value):
    """The readings of one Unihan field in the order that field ranks them."""
    if field == "kMandarin":
        return [value.split()[0]]
    if field == "kHanyuPinlu":
        counted = re.findall(r"(\S+?)\((\d+)\)", value)
        if not counted:
            raise TableError(f"kHanyuPinlu value {value!r} has no counts")
        # sorted() is stable, so equal counts keep the field's own order.
        return [r for r, _ in sorted(counted, key=lambda rc: -int(rc[1]))]
    # kTGHZ2013, kXHC1983, kHanyuPinyin: "location[,location]:reading[,reading]" tokens.
    return [r for token in value.split() for r in token.rpartition(":")[2].split(",")]


def encode(syllable):
    """The 16-bit reading word: low byte first part, high byte second part or 0."""
    if syllable in FINAL_CODES:
        return FINAL_CODES[syllable]
    for initial in INITIALS:  # zh, ch, sh come before z, c, s
        rest = syllable[len(initial):]
        if syllable.startswith(initial) and rest in FINAL_CODES:
            return CODE[initial] | FINAL_CODES[rest] << 8
    raise TableError(f"syllable {syllable!r} cannot be written with the part codes")


def load_unihan(path):
    fields = ("kMandarin", "kHanyuPinlu", "kTGHZ2013", "kXHC1983", "kHanyuPinyin")
    entries, version = {}, "unknown"
    with bz2.open(path, "rt", encoding="utf-8") as source:
        for line in source:
            if line.startswith("# Unicode version:"):
                version = line.split(":", 1)[1].strip()
            if line.startswith("#") or not line.strip():
                continue
            code, field, value = line.rstrip("\n").split("\t", 2)
            if field in fields:
                entries.setdefault(chr(int(code[2:], 16)), {})[field] = value
    return entries, version


def readings_of(char, unihan):
    if char in OVERRIDES:
        return list(OVERRIDES[char])
    fields = unihan.get(char, {})
    chosen = []
    for group in (("kMandarin", "kHanyuPinlu", "kTGHZ2013", "kXHC1983"), ("kHanyuPinyin",)):
        for field in group:
            if field in fields:
                for reading in map(normalise, field_readings(field, fields[field])):
                    if reading not in DROPPED and reading not in chosen:
                        chosen.append(reading)
        if chosen:
            break
    return chosen


def gb2312_char(lead, trail):
    try:
        char = bytes([lead, trail]).decode("gb2312")
    except UnicodeDecodeError:
        return None
    if bytes([lead, trail]).decode("gbk") != char:
        raise TableError(f"GB2312 and GBK disagree at {lead:02X}{trail:02X}")
    return char


def build(unihan):
    for char in NO_READING + "".join(OVERRIDES) + "".join(EXPECTED):
        code = char.encode("gb2312")
        if code[0] not in LEADS:
            raise TableError(f"{char} is not a GB2312 character ({code.hex()})")
    if len(set(NO_READING)) != 38:
        raise TableError("the no-reading list must hold 38 distinct characters")

    grid, triples, stats = [], [], {"empty": 0, "cut": [], 2: 0, 3: 0}
    readings_by_char = {}
    for lead in LEADS:
        for trail in TRAILS:
            char = gb2312_char(lead, trail)
            if char is None or char in NO_READING:
                grid.append(0)
                stats["empty"] += 1
                continue
            readings = readings_of(char, unihan)
            if not readings:
                raise TableError(f"{char} ({lead:02X}{trail:02X}) has no usable reading")
            if len(readings) > MAX_READINGS:
                stats["cut"].append(f"{char} {','.join(readings)}")
                readings = readings[:MAX_READINGS]
            readings_by_char[char] = readings
            words = [encode(r) for r in readings]
            if len(words) == 1:
                grid.append(words[0])
                continue
            stats[len(words)] += 1
            grid.append(POLYPHONIC | len(triples) // 3)
            triples += words + [0] * (MAX_READINGS - len(words))
    if len(triples) // 3 >= POLYPHONIC:
        raise TableError("too many polyphonic characters for a 15-bit index")
    if stats["empty"] != 43:
        raise TableError(f"{stats['empty']} positions without a reading, 43 expected")

    for char, wanted in EXPECTED.items():
        if readings_by_char.get(char) != wanted:
            raise TableError(f"{char} reads {readings_by_char.get(char)}, expected {wanted}")
    for word, wanted in EXPECTED_WORDS.items():
        got = "".join(readings_by_char[c][0] for c in word)
        if got != wanted:
            raise TableError(f"{word} reads {got}, expected {wanted}")
    return grid, triples, stats


def hex_lines(values, per_line):
    return ["  " + "".join(f"0x{v:04X}," for v in values[i:i + per_line])
            for i in range(0, len(values), per_line)]


def render(grid, triples, version):
    rows = len(LEADS)
    cols = len(TRAILS)
    out = [
        "// Generated by tools/pinyin/generate_pinyin_table.py from the Unihan readings of",
        f"// Unicode {version} (unicode-data) and the GB2312 code table. Do not edit by hand;",
        "// change the generator and re-run: /usr/bin/python3 tools/pinyin/generate_pinyin_table.py",
        "//",
        "// Grid: one entry per GB2312 character, lead bytes B0..F7 by trail bytes A1..FE. 0 is no",
        "// reading; with bit 15 clear the low byte is the first syllable part and the high byte the",
        "// second (or 0); with bit 15 set the low 15 bits index the triples. Triples: readings 1 to",
        "// 3 of a polyphonic character, 0 where it has no such reading.",
        "",
        "#include <cstdint>",
        "#include <span>",
        "",
        '#include "primitives/pinyin.h"',
        "",
        "namespace qc {",
        "namespace {",
        "",
        "// clang-format off",
        f"constexpr std::uint16_t kGrid[{rows} * {cols}] = {{",
    ]
    for r, lead in enumerate(LEADS):
        out.append(f"  // {lead:02X}")
        out += hex_lines(grid[r * cols:(r + 1) * cols], 16)
    out += [
        "};",
        "",
        f"constexpr std::uint16_t kTriples[{len(triples) // 3} * 3] = {{",
    ]
    out += hex_lines(triples, 15)
    out += [
        "};",
        "// clang-format on",
        "",
        "}  // namespace",
        "",
        "std::span<const std::uint16_t> PinyinGrid() {",
        "  return kGrid;",
        "}",
        "",
        "std::span<const std::uint16_t> PinyinTriples() {",
        "  return kTriples;",
        "}",
        "",
        "}  // namespace qc",
        "",
    ]
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--unihan", type=Path, default=UNIHAN, help="Unihan_Readings.txt(.bz2)")
    parser.add_argument("--output", type=Path, default=OUTPUT)
    parser.add_argument("--check", action="store_true",
                        help="only compare with the existing output; exit 1 when it differs")
    args = parser.parse_args()
    try:
        unihan, version = load_unihan(args.unihan)
        grid, triples, stats = build(unihan)
    except (TableError, OSError) as error:
        sys.exit(f"generate_pinyin_table: {error}")
    text = render(grid, triples, version)

    print(f"{len(triples) // 3} triples: {stats[2]} with two readings, {stats[3]} with three; "
          f"{stats['empty']} positions without a reading", file=sys.stderr)
    for line in stats["cut"]:
        print(f"  cut to {MAX_READINGS} readings: {line}", file=sys.stderr)

    if args.check:
        current = args.output.read_text(encoding="utf-8") if args.output.exists() else ""
        if current != text:
            sys.exit(f"{args.output} is not up to date; re-run the generator")
        return
    args.output.write_text(text, encoding="utf-8", newline="\n")


if __name__ == "__main__":
    main()
