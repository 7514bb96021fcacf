#!/usr/bin/env python3
"""Packs the Windows builds for release: dist/tessaro-VERSION-win32.zip and
-win64.zip, each holding Tessaro.exe, tessaro-cli.exe, README.txt (CRLF line
ends) and LICENSE, plus dist/SHA256SUMS. The version is read from src/Version.h.
The same executables give the same zips byte for byte: entries in a fixed
order with a fixed date and fixed permissions."""
import argparse
import hashlib
import os
import re
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILDS = ("win32", "win64")
PROGRAMS = ("Tessaro.exe", "tessaro-cli.exe")
# The earliest date a zip can hold: no build time leaks into the archive.
FIXED_DATE = (1980, 1, 1, 0, 0, 0)


def read_version():
    text = open(os.path.join(ROOT, "src", "Version.h"), encoding="ascii").read()
    match = re.search(r'#define\s+TESSARO_VERSION_TEXT\s+"([0-9.]+)"', text)
    if not match:
        sys.exit("dist: no TESSARO_VERSION_TEXT in src/Version.h")
    return match.group(1)


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("ascii")


def add(archive, name, data):
    info = zipfile.ZipInfo(name, date_time=FIXED_DATE)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    info.create_system = 0  # as made on Windows: no Unix owner or mode bits vary
    archive.writestr(info, data, compresslevel=9)


def main(argv):
    parser = argparse.ArgumentParser(prog="dist.py", description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(ROOT, "dist"), help="output folder (default: dist/)")
    options = parser.parse_args(argv[1:])
    version = read_version()
    readme = open(os.path.join(ROOT, "tools", "dist", "README.txt"), encoding="ascii").read()
    readme = readme.replace("@VERSION@", version)
    license_text = open(os.path.join(ROOT, "LICENSE"), encoding="ascii").read()
    os.makedirs(options.out, exist_ok=True)
    sums = []
    for build in BUILDS:
        files = []
        for program in PROGRAMS:
            path = os.path.join(ROOT, "build", build, "bin", program)
            if not os.path.isfile(path):
                sys.exit("dist: %s is not built (make dist builds it)" % path)
            files.append((program, open(path, "rb").read()))
        files.append(("README.txt", crlf(readme)))
        files.append(("LICENSE", crlf(license_text)))
        name = "tessaro-%s-%s.zip" % (version, build)
        target = os.path.join(options.out, name)
        partial = target + ".partial"
        with zipfile.ZipFile(partial, "w") as archive:
            for entry, data in files:
                add(archive, entry, data)
        os.replace(partial, target)
        digest = hashlib.sha256(open(target, "rb").read()).hexdigest()
        sums.append("%s  %s\n" % (digest, name))
        print("dist: %s" % target)
    with open(os.path.join(options.out, "SHA256SUMS"), "w", encoding="ascii", newline="\n") as out:
        out.writelines(sums)
    sys.stdout.write("".join(sums))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
