#!/usr/bin/env python3
"""An independent check of くじ丸 draw records, written from the help page 抽選記録と再現確認
(help/records.html) alone: it re-runs a record's draw and compares the results.

    kujimaru_check.py RECORD [ENTRIES]

ENTRIES is an entries copy or a UTF-8 entry file (a .csv file joins lines inside double
quotes). A replacement record (再抽選) is checked after the draw it follows and the replacements
before it, found in the record's folder by their SHA-256. Prints the seed and the first values, then "一致" and exits 0 when the draw comes out
as recorded, or "不一致" and exits 1.
"""
import hashlib
import os
import re
import sys
import unicodedata

MASK = (1 << 64) - 1
# Unicode's White_Space characters, which a public value loses after NFKC.
WHITE_SPACE = set("\t\n\v\f\r \x85\xa0\u1680\u2028\u2029\u202f\u205f\u3000") | {chr(c) for c in range(0x2000, 0x200B)}


def lp(data: bytes) -> bytes:
    return len(data).to_bytes(8, "little") + data


def sha(*fields: bytes) -> bytes:
    return hashlib.sha256(b"".join(lp(f) for f in fields)).digest()


def unescape(text: str) -> bytes:
    out = bytearray()
    raw = text.encode("utf-8")
    i = 0
    while i < len(raw):
        c = raw[i]
        if c != 0x5C:
            out.append(c)
            i += 1
            continue
        nxt = raw[i + 1:i + 2]
        if nxt == b"\\":
            out.append(0x5C)
            i += 2
        elif nxt == b"n":
            out.append(0x0A)
            i += 2
        elif nxt == b"r":
            out.append(0x0D)
            i += 2
        elif nxt == b"x":
            out.append(int(raw[i + 2:i + 4], 16))
            i += 4
        else:
            raise ValueError("bad escape")
    return bytes(out)


class Xoshiro:
    def __init__(self, seed: bytes):
        d = hashlib.sha256(seed).digest()
        self.s = [int.from_bytes(d[8 * k:8 * k + 8], "little") for k in range(4)]
        if not any(self.s):
            self.s[0] = 1

    @staticmethod
    def rotl(x, k):
        return ((x << k) | (x >> (64 - k))) & MASK

    def next(self):
        s = self.s
        result = (self.rotl((s[1] * 5) & MASK, 7) * 9) & MASK
        t = (s[1] << 17) & MASK
        s[2] ^= s[0]
        s[3] ^= s[1]
        s[1] ^= s[2]
        s[0] ^= s[3]
        s[2] ^= t
        s[3] = self.rotl(s[3], 45)
        return result

    def below(self, n):
        m = self.next() * n
        low = m & MASK
        if low < n:
            t = ((1 << 64) - n) % n
            while low < t:
                m = self.next() * n
                low = m & MASK
        return m >> 64


def read_record(path):
    lines = open(path, "rb").read().decode("utf-8").lstrip("\ufeff").replace("\r\n", "\n").split("\n")
    fields = {}
    i = 1
    while lines[i] != "結果:":
        name, _, value = lines[i].partition(": ")
        fields[name] = value
        i += 1
    fmt = int(fields["記録の形式"])
    rows = []
    for line in lines[i + 1:]:
        if line == "記録の終わり" or line.startswith("ほか "):
            break
        text = line[10:]
        rows.append(unescape(text).decode("utf-8") if fmt >= 2 else text)
    return fields, rows


def read_entries(path):
    data = open(path, "rb").read()
    if data.startswith("くじ丸 エントリーの写し\n".encode("utf-8")):
        lines = data.split(b"\n")
        count = int(lines[2].decode("utf-8").split(": ")[1])
        if lines[1] == "記録の形式: 2".encode("utf-8"):
            return [unescape(l.decode("utf-8")) for l in lines[4:4 + count]]
        raise ValueError("format 1 copies are not read here")
    if data.startswith(b"\xef\xbb\xbf"):
        text = data[3:].decode("utf-8", "replace")
    elif data.startswith(b"\xff\xfe"):
        text = data[2:].decode("utf-16-le", "replace")
    elif data.startswith(b"\xfe\xff"):
        text = data[2:].decode("utf-16-be", "replace")
    else:
        try:
            text = data.decode("utf-8")
        except UnicodeDecodeError:
            text = data.decode("cp932", "replace")
    physical = re.split("\r\n|\n|\r", text)
    if physical[-1] == "":
        physical.pop()
    if not path.lower().endswith(".csv"):
        return [line.encode("utf-8") for line in physical]
    entries, current = [], None
    for line in physical:
        current = line if current is None else current + "\r\n" + line
        if current.count('"') % 2 == 0:
            entries.append(current.encode("utf-8"))
            current = None
    if current is not None:
        entries.append(current.encode("utf-8"))
    return entries


def display(text: str) -> str:
    out, chars, i = [], 0, 0
    while i < len(text):
        c = text[i]
        brk = c in "\r\n"
        if chars + (3 if brk else 1) > 1000:
            out.append("…")
            break
        if brk:
            i += 2 if text[i:i + 2] == "\r\n" else 1
            out.append(" ↵ ")
            chars += 3
            continue
        out.append(c)
        chars += 1
        i += 1
    return "".join(out)


def rerun(fields, entries):
    """Re-runs the draw a record describes: its seed, result rows, values and drawn positions."""
    file_mode = fields["モード"] == "読込抽選モード"
    no_dup = fields["ダブり無し"] == "あり"
    algorithm = fields["アルゴリズム"]
    w = hashlib.sha256(b"".join(lp(e) for e in entries)).digest()
    count_text = fields["抽選数"]
    counts = [int(c) for c in count_text.split("-")]
    mode = b"Yomikomi" if file_mode else b"Number"
    minimum_typed = "" if file_mode else fields["最小値"]
    minimum = 0 if file_mode else int(minimum_typed)
    maximum = len(entries) if file_mode else int(fields["最大値"])
    if "公開値" in fields and algorithm == "v1":
        p = unescape(fields["公開値"])
        seed = sha("くじ丸 v1".encode(), p, mode, b"1" if no_dup else b"0", minimum_typed.encode(),
                   fields["登録数" if file_mode else "最大値"].encode(), count_text.encode(), w)
    elif "公開値" in fields:
        canonical = [mode, b"1" if no_dup else b"0", b"" if file_mode else str(minimum).encode(),
                     str(maximum).encode(), "-".join(str(c) for c in counts).encode()]
        commitment = sha("くじ丸 予告 v2".encode(), *canonical, str(len(entries) if file_mode else 0).encode(), w,
                         unescape(fields["公開値の説明"]), unescape(fields["予告の日時"]))
        print("予告番号:", " ".join(commitment.hex()[i:i + 4] for i in range(0, 64, 4)))
        value = unescape(fields["公開値"]).decode("utf-8")
        normal = "".join(ch for ch in unicodedata.normalize("NFKC", value) if ch not in WHITE_SPACE)
        seed = sha("くじ丸 v2".encode(), *canonical, w, commitment, normal.encode())
    else:
        seed = bytes.fromhex(fields["シード"])

    run = {"seed": seed, "rows": [], "values": [], "positions": [], "no_dup": no_dup, "file_mode": file_mode,
           "size": len(entries) if file_mode else maximum - minimum + 1, "minimum": minimum,
           "minimum_typed": minimum_typed, "entries": entries, "public": "公開値" in fields}
    rng = Xoshiro(seed)
    perm, taken = {}, 0
    for k, n in enumerate(counts):
        if len(counts) >= 2:
            if k > 0:
                run["rows"].append("")
            run["rows"].append("【%d回目の抽選結果：%d件】" % (k + 1, n))
        for _ in range(n):
            if no_dup:
                r = taken + rng.below(run["size"] - taken)
                picked = perm.get(r, r)
                perm[r] = perm.get(taken, taken)
                taken += 1
            else:
                picked = rng.below(run["size"])
            add_winner(run, picked)
    if algorithm == "v1":
        run["digest"] = hashlib.sha256(b"".join(lp(r.encode("utf-8")) for r in run["rows"])).hexdigest()
    else:
        run["digest"] = values_digest(run["values"])
    return run


def add_winner(run, position):
    run["positions"].append(position)
    run["values"].append(position + 1 if run["file_mode"] else run["minimum"] + position)
    if run["file_mode"]:
        run["rows"].append(run["entries"][position].decode("utf-8"))
    else:
        value = str(run["minimum"] + position)
        missing = len(run["minimum_typed"]) - len(value)
        run["rows"].append("0" * missing + value if 1 <= missing <= 8 else value)


def values_digest(values):
    return hashlib.sha256(b"".join(v.to_bytes(4, "little") for v in values)).hexdigest()


def replace(run, fields):
    """Draws the replacements a replacement record describes, after everything drawn before:
    its seed, its rows and its values."""
    number = int(fields["再抽選"])
    absent = [item for item in fields["欠席"].split(", ") if item]
    if run["public"]:
        seed = sha("くじ丸 再抽選 v2".encode(), run["seed"], str(number).encode())
    else:
        seed = bytes.fromhex(fields["シード"])
    rng = Xoshiro(seed)
    excluded = set(run["positions"]) if run["no_dup"] else set()
    part = {"rows": [], "values": [], "positions": [], "file_mode": run["file_mode"], "minimum": run["minimum"],
            "minimum_typed": run["minimum_typed"], "entries": run["entries"]}
    for _ in absent:
        x = rng.below(run["size"])
        while run["no_dup"] and (x in excluded or x in part["positions"]):
            x = rng.below(run["size"])
        add_winner(part, x)
    run["positions"] += part["positions"]
    part["seed"] = seed
    part["digest"] = values_digest(part["values"])
    return part


def replacement_chain(path, fields):
    """The draw's record and the replacements before this one, oldest first, found in the
    record's folder by the SHA-256 of their files."""
    folder = os.path.dirname(os.path.abspath(path))
    by_digest = {}
    for name in sorted(os.listdir(folder)):
        if name.endswith(".txt"):
            with open(os.path.join(folder, name), "rb") as f:
                by_digest[hashlib.sha256(f.read()).hexdigest()] = os.path.join(folder, name)
    original = fields["再抽選の元の記録のSHA-256"]
    chain, previous = [], fields["再抽選の前の記録のSHA-256"]
    while previous != original:
        earlier = read_record(by_digest[previous])[0]
        chain.insert(0, earlier)
        previous = earlier["再抽選の前の記録のSHA-256"]
    return read_record(by_digest[original])[0], chain


def main(argv):
    fields, shown = read_record(argv[1])
    draw_fields = fields
    if "再抽選" in fields:
        draw_fields, earlier = replacement_chain(argv[1], fields)
    file_mode = draw_fields["モード"] == "読込抽選モード"
    entries = read_entries(argv[2]) if file_mode else []
    run = rerun(draw_fields, entries)
    if "再抽選" in fields:
        for before in earlier:
            replace(run, before)
        run = replace(run, fields)
    print("シード:", run["seed"].hex())
    rows = run["rows"]
    print("最初の値:", " / ".join(r for r in rows[:6] if r and not r.startswith("【")))
    same = (run["digest"] == fields["結果のSHA-256"] and run["seed"].hex() == fields["シード"]
            and [display(r) for r in rows[:len(shown)]] == shown and len(rows) == int(fields["結果の件数"]))
    print("一致" if same else "不一致")
    return 0 if same else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
