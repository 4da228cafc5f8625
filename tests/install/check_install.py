#!/usr/bin/env python3
"""Checks what an installation of くじ丸 holds, as a desktop and a package manager see it.

    check_install.py tree PREFIX SOURCE_DIR VERSION
        PREFIX holds exactly the program, its menu entry, its icons, its metadata and its
        manual page, each consistent with the others, and the installed program checks a
        record from PATH without a display.
    check_install.py deb BUILD_DIR OUT_DIR VERSION
        CPack makes one Debian package from BUILD_DIR whose files are those same files under
        /usr, owned by root with the usual modes, and whose dependencies were read from the
        binary. Exits 77 (skipped) when the Debian tools CPack needs are missing.
"""

import configparser
import gzip
import os
import re
import shutil
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET
import zlib

SKIPPED = 77
XML_LANG = "{http://www.w3.org/XML/1998/namespace}lang"


def expected_files(appstream_id):
    return {
        "bin/kujimaru",
        "share/applications/kujimaru.desktop",
        "share/icons/hicolor/scalable/apps/kujimaru.svg",
        "share/icons/hicolor/48x48/apps/kujimaru.png",
        "share/icons/hicolor/256x256/apps/kujimaru.png",
        f"share/metainfo/{appstream_id}.metainfo.xml",
        "share/man/man1/kujimaru.1.gz",
    }


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, condition, message):
        if not condition:
            self.failures.append(message)
        return condition

    def finish(self):
        for failure in self.failures:
            print("FAIL:", failure)
        if not self.failures:
            print("all checks passed")
        return 1 if self.failures else 0


def appstream_id_of(prefix):
    names = sorted(os.listdir(os.path.join(prefix, "share/metainfo")))
    if len(names) != 1 or not names[0].endswith(".metainfo.xml"):
        raise SystemExit(f"FAIL: share/metainfo should hold one metadata file, holds {names}")
    return names[0][: -len(".metainfo.xml")]


def files_under(prefix):
    found = set()
    for folder, _, names in os.walk(prefix):
        for name in names:
            found.add(os.path.relpath(os.path.join(folder, name), prefix))
    return found


def png_pixels(path):
    """Width, height and RGBA rows of an 8-bit RGBA PNG, unfiltered."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos : pos + 8])
        body = data[pos + 8 : pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if (depth, colour, interlace) != (8, 6, 0):
        raise ValueError(f"not 8-bit RGBA without interlace: depth {depth}, colour type {colour}")
    raw, stride, rows, prior = zlib.decompress(idat), width * 4, [], bytearray(width * 4)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1 : (y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - 4] if i >= 4 else 0
            b = prior[i]
            c = prior[i - 4] if i >= 4 else 0
            if kind == 1:
                row[i] = (row[i] + a) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + b) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append(row)
        prior = row
    return width, height, rows


def check_desktop_entry(checks, prefix):
    path = os.path.join(prefix, "share/applications/kujimaru.desktop")
    parser = configparser.RawConfigParser(interpolation=None, delimiters=("=",))
    parser.optionxform = str
    parser.read(path, encoding="utf-8")
    entry = parser["Desktop Entry"]
    checks.expect(entry.get("Type") == "Application", "the desktop entry is an Application")
    program = entry.get("Exec", "").split()[0] if entry.get("Exec") else ""
    checks.expect(program == "kujimaru", f"the menu starts kujimaru from PATH, not {program!r}")
    checks.expect(os.access(os.path.join(prefix, "bin", program or "-"), os.X_OK), "Exec names the installed program")
    icon = entry.get("Icon", "")
    checks.expect(
        os.path.isfile(os.path.join(prefix, f"share/icons/hicolor/scalable/apps/{icon}.svg")),
        f"Icon={icon} is an installed icon of the hicolor theme",
    )
    checks.expect(entry.get("Name[ja]") == "くじ丸", "the Japanese name is くじ丸")
    for key in ("Name", "GenericName", "GenericName[ja]", "Comment", "Comment[ja]"):
        checks.expect(entry.get(key, "").strip() != "", f"the desktop entry has {key}")
    checks.expect("Utility" in entry.get("Categories", "").split(";"), "the menu lists it under Utility")
    keywords = set(entry.get("Keywords", "").split(";"))
    checks.expect({"抽選", "くじ", "抽選会", "lottery", "raffle"} <= keywords, f"Keywords hold every search word: {keywords}")
    japanese = set(entry.get("Keywords[ja]", "").split(";"))
    checks.expect({"抽選", "くじ", "抽選会"} <= japanese, f"Keywords[ja] hold the Japanese search words: {japanese}")
    checks.expect(entry.get("Terminal") == "false", "the menu entry opens no terminal")


def check_icons(checks, prefix, source):
    with open(os.path.join(source, "resources/icons/kujimaru.svg"), "rb") as f:
        drawing = f.read()
    with open(os.path.join(prefix, "share/icons/hicolor/scalable/apps/kujimaru.svg"), "rb") as f:
        checks.expect(f.read() == drawing, "the scalable icon is the program's own drawing")
    for size in (48, 256):
        path = os.path.join(prefix, f"share/icons/hicolor/{size}x{size}/apps/kujimaru.png")
        try:
            width, height, rows = png_pixels(path)
        except (OSError, ValueError, TypeError) as error:
            checks.expect(False, f"the {size} pixel icon is a readable RGBA PNG: {error}")
            continue
        checks.expect((width, height) == (size, size), f"the {size} pixel icon is {width}x{height}")
        opaque = sum(1 for row in rows for alpha in row[3::4] if alpha == 255)
        checks.expect(opaque >= size * size // 4, f"the {size} pixel icon shows the drawing ({opaque} opaque pixels)")
        checks.expect(rows[0][3] == 0, f"the {size} pixel icon keeps the drawing's transparent corner")


def check_metainfo(checks, prefix, appstream_id, version):
    root = ET.parse(os.path.join(prefix, f"share/metainfo/{appstream_id}.metainfo.xml")).getroot()
    checks.expect(root.findtext("id") == appstream_id, "the metadata file is named after its id")
    checks.expect(root.get("type") == "desktop-application", "the metadata describes a desktop application")
    launchable = root.findtext("launchable[@type='desktop-id']") or ""
    checks.expect(
        os.path.isfile(os.path.join(prefix, "share/applications", launchable)),
        f"the metadata launches the installed menu entry, not {launchable!r}",
    )
    binary = root.findtext("provides/binary") or ""
    checks.expect(os.path.isfile(os.path.join(prefix, "bin", binary)), f"the metadata provides the installed binary {binary!r}")
    names = {n.get(XML_LANG): n.text for n in root.findall("name")}
    checks.expect(names.get("ja") == "くじ丸" and names.get(None), f"the metadata names it in English and as くじ丸: {names}")
    paragraphs = root.findall("description/p")
    checks.expect(any(p.get(XML_LANG) is None for p in paragraphs), "the description is in English")
    checks.expect(any(p.get(XML_LANG) == "ja" for p in paragraphs), "the description is in Japanese")
    checks.expect(root.find("content_rating[@type='oars-1.1']") is not None, "the metadata has an OARS content rating")
    releases = root.findall("releases/release")
    checks.expect(bool(releases) and releases[0].get("version") == version,
                  f"the newest release notes are for {version}: {[r.get('version') for r in releases]}")
    checks.expect(all(r.find("description") is not None for r in releases), "every release has notes")
    for image in root.iterfind("screenshots/screenshot/image"):
        checks.expect(re.match(r"https?://", image.text or "") is not None, f"a screenshot is a web address: {image.text}")


def check_manual_page(checks, prefix, version, release_date):
    with gzip.open(os.path.join(prefix, "share/man/man1/kujimaru.1.gz"), "rt", encoding="utf-8") as f:
        page = f.read()
    title = re.search(r'^\.TH KUJIMARU 1 "([^"]*)" "([^"]*)"', page, re.M)
    checks.expect(title is not None and title.group(2) == f"kujimaru {version}", "the manual page is for this version")
    checks.expect(title is not None and title.group(1) == release_date, "the manual page carries the release's date")
    for needed in (
        "kujitan.ini",
        "~/.config/kujimaru/kujitan.ini",
        "~/.local/share/kujimaru/records/",
        r"\-\-verify",
        ".SH 終了ステータス",
        ".SH ENGLISH",
    ):
        checks.expect(needed in page, f"the manual page tells {needed}")
    for status in ("0", "1", "2"):
        checks.expect(f".TP\n.B {status}\n" in page, f"the manual page explains exit status {status}")


def check_tree(prefix, source, version):
    checks = Checks()
    appstream_id = appstream_id_of(prefix)
    found = files_under(prefix)
    expected = expected_files(appstream_id)
    checks.expect(found == expected, f"installed files: missing {sorted(expected - found)}, unexpected {sorted(found - expected)}")
    checks.expect(os.stat(os.path.join(prefix, "bin/kujimaru")).st_mode & 0o777 == 0o755, "the program is 0755")
    if shutil.which("readelf"):
        dynamic = subprocess.run(["readelf", "--dynamic", os.path.join(prefix, "bin/kujimaru")],
                                 capture_output=True, text=True).stdout
        checks.expect("RPATH" not in dynamic and "RUNPATH" not in dynamic,
                      "the installed program keeps no library search path of the build")
    check_desktop_entry(checks, prefix)
    check_icons(checks, prefix, source)
    check_metainfo(checks, prefix, appstream_id, version)
    root = ET.parse(os.path.join(prefix, f"share/metainfo/{appstream_id}.metainfo.xml")).getroot()
    check_manual_page(checks, prefix, version, root.find("releases/release").get("date"))

    # The installed program checks a record from PATH, with no display and no files of its own.
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env["PATH"] = os.path.join(prefix, "bin") + os.pathsep + env.get("PATH", "")
    run = subprocess.run(
        ["kujimaru", "--verify", os.path.join(source, "tests/records/data/v1-numbers.txt")],
        env=env, capture_output=True, text=True, timeout=120,
    )
    checks.expect(run.returncode == 0 and run.stdout.splitlines()[:1] == ["一致"],
                  f"kujimaru --verify from PATH: status {run.returncode}, {run.stdout!r} {run.stderr!r}")
    return checks.finish()


def deb_field(deb, name):
    return subprocess.run(["dpkg-deb", "--field", deb, name], capture_output=True, text=True, check=True).stdout.strip()


def check_deb(build, out, version):
    for tool in ("cpack", "dpkg-deb", "dpkg-shlibdeps", "file"):
        if shutil.which(tool) is None:
            print(f"{tool} is not installed: the package cannot be made here (skipped)")
            return SKIPPED
    checks = Checks()
    shutil.rmtree(out, ignore_errors=True)
    made = subprocess.run(["cpack", "-G", "DEB", "-B", out, "--config", os.path.join(build, "CPackConfig.cmake")],
                          capture_output=True, text=True)
    debs = [name for name in os.listdir(out) if name.endswith(".deb")] if os.path.isdir(out) else []
    if not checks.expect(made.returncode == 0 and len(debs) == 1, f"cpack made one package: {debs}\n{made.stdout}{made.stderr}"):
        return checks.finish()
    checks.expect("dpkg-shlibdeps" not in made.stderr, f"CPack found the libraries without complaint: {made.stderr}")
    deb = os.path.join(out, debs[0])
    arch = subprocess.run(["dpkg", "--print-architecture"], capture_output=True, text=True).stdout.strip()
    checks.expect(debs[0] == f"kujimaru_{version}_{arch}.deb", f"the package file is named by Debian's rule: {debs[0]}")
    checks.expect(deb_field(deb, "Package") == "kujimaru", "the package is kujimaru")
    checks.expect(deb_field(deb, "Version") == version, f"the package version is the program's: {deb_field(deb, 'Version')}")
    checks.expect(deb_field(deb, "Architecture") == arch, "the package is for this architecture")
    checks.expect(deb_field(deb, "Maintainer") != "", "the package names a maintainer")
    depends = [d.strip() for d in deb_field(deb, "Depends").split(",")]
    names = {alternative.split()[0] for d in depends for alternative in [d.split("|")[0].strip()]}
    # Read from the binary, not written by hand: these only come from dpkg-shlibdeps.
    for library in ("libc6", "libstdc++6", "libqt6core6", "libqt6widgets6", "libqt6printsupport6", "libssl3"):
        checks.expect(library in names, f"Depends holds {library}, read from the binary: {depends}")
    checks.expect(any(re.match(r"libicu\w+", n) for n in names), f"Depends holds ICU, read from the binary: {depends}")
    for needed in ("qt6-qpa-plugins", "libqt6svg6", "fonts-ipafont-gothic"):
        checks.expect(needed in names, f"Depends holds {needed}, which the program loads: {depends}")
    recommends = deb_field(deb, "Recommends")
    for wanted in ("fonts-ipafont-mincho", "qt6-translations-l10n"):
        checks.expect(wanted in recommends, f"Recommends holds {wanted}: {recommends}")

    listing = subprocess.run(["dpkg-deb", "--contents", deb], capture_output=True, text=True, check=True).stdout
    files, folders = {}, {}
    for line in listing.splitlines():
        mode, owner, _size, _date, _time, path = line.split(None, 5)
        path = path.split(" -> ")[0]
        checks.expect(owner == "root/root", f"{path} belongs to root: {owner}")
        (folders if mode.startswith("d") else files)[path] = mode
    expected = {"./usr/" + f for f in expected_files(appstream_id_from_files(files))}
    checks.expect(set(files) == expected, f"package files: missing {sorted(expected - set(files))}, unexpected {sorted(set(files) - expected)}")
    for path, mode in files.items():
        wanted = "-rwxr-xr-x" if path == "./usr/bin/kujimaru" else "-rw-r--r--"
        checks.expect(mode == wanted, f"{path} is {wanted}, not {mode}")
    for path, mode in folders.items():
        checks.expect(mode == "drwxr-xr-x", f"folder {path} is drwxr-xr-x, not {mode}")
    checks.expect(all(p.startswith("./usr/") or p == "./" for p in list(files) + list(folders)), "everything is under /usr")
    shutil.rmtree(out, ignore_errors=True)
    return checks.finish()


def appstream_id_from_files(paths):
    for path in paths:
        match = re.fullmatch(r"\./usr/share/metainfo/(.+)\.metainfo\.xml", path)
        if match:
            return match.group(1)
    return "(none)"


def main(argv):
    if len(argv) == 5 and argv[1] == "tree":
        return check_tree(argv[2], argv[3], argv[4])
    if len(argv) == 5 and argv[1] == "deb":
        return check_deb(argv[2], argv[3], argv[4])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
