"""Checks the zips that scripts/package made, without running them: names and checksums, the
files in each zip, the texts (UTF-8 with a byte-order mark, CRLF) and the programs (machine,
size, no debug information but a matching debug file beside the zips, imports of Windows' own
DLLs only); for the tests zip, its files, its run-tests.cmd and its programs. Writes a JUnit
report for the summary of scripts/test.

    python3 check_package.py <repository> <dist folder> <report.xml>
"""

import hashlib
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile
import zlib
from pathlib import Path

root, dist, report = Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])
version = re.search(r"project\(mirufon VERSION ([0-9.]+)", (root / "CMakeLists.txt").read_text()).group(1)
ARCHES = {"x64": ("x86_64-w64-mingw32", "pei-x86-64"), "x86": ("i686-w64-mingw32", "pei-i386")}
TEXTS = ["README.txt", "CHANGELOG.txt", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt", "mirufon-help.html",
         "mirufon-help-en.html"]
FILES = {"mirufon.exe", *TEXTS}
# Present on every Windows 10 and 11: anything else would have to ship beside the program.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll",
               "ole32.dll", "oleaut32.dll", "oleacc.dll", "shell32.dll", "shlwapi.dll",
               "advapi32.dll", "msvcrt.dll", "version.dll", "uxtheme.dll", "imm32.dll"}
BOM = b"\xef\xbb\xbf"


TESTS_ZIP = f"mirufon-{version}-tests-win-x64.zip"
# What the test programs need beside them; the test programs themselves are every *_tests.exe.
TESTS_FILES = {"run-tests.cmd", "test-summary.exe", "mirufon.exe", "mirufon-help.html",
               "mirufon-help-en.html", "planted/oleacc.dll", "planted/version.dll",
               "planted/comctl32.dll", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt",
               "GOOGLETEST-LICENSE.txt", "planted/", "lock-folder.sh"}
TESTS_PROGRAMS = {"core_tests.exe", "win32_tests.exe", "e2e_tests.exe"}


def zip_name(arch):
    return f"mirufon-{version}-win-{arch}.zip"


def check_dist():
    names = sorted(p.name for p in dist.glob("*.zip"))
    assert names == sorted([*(zip_name(a) for a in ARCHES), TESTS_ZIP]), f"zips in dist: {names}"
    sums = {}
    for line in (dist / "SHA256SUMS").read_text().splitlines():
        digest, name = line.split(maxsplit=1)
        sums[name.lstrip("*")] = digest
    for name in names:
        actual = hashlib.sha256((dist / name).read_bytes()).hexdigest()
        assert sums.pop(name, None) == actual, f"SHA256SUMS is wrong for {name}"
    assert not sums, f"SHA256SUMS lists other files: {sorted(sums)}"


def check_contents(arch):
    with zipfile.ZipFile(dist / zip_name(arch)) as z:
        names = z.namelist()
    assert all(n.isascii() for n in names), f"non-ASCII names: {names}"
    assert set(names) == FILES and len(names) == len(FILES), f"files: {sorted(names)}"


def windows_text(data, name):
    assert data.startswith(BOM), f"{name} has no byte-order mark"
    assert b"\n" not in data.replace(b"\r\n", b""), f"{name} has a line end that is not CRLF"
    assert b"\r" not in data.replace(b"\r\n", b""), f"{name} has a lone CR"
    return data[len(BOM):].decode("utf-8")


def check_texts(arch):
    with zipfile.ZipFile(dist / zip_name(arch)) as z:
        texts = {n: windows_text(z.read(n), n) for n in TEXTS}
    source = lambda path: (root / path).read_text(encoding="utf-8").replace("\r\n", "\n")
    assert texts["mirufon-help.html"].replace("\r\n", "\n") == source("res/help.html")
    assert texts["mirufon-help-en.html"].replace("\r\n", "\n") == source("res/help-en.html")
    assert texts["LICENSE.txt"].replace("\r\n", "\n") == source("LICENSE")
    for name, text in texts.items():
        assert not re.search(r"@[A-Z_]+@", text), f"{name} has an unfilled placeholder"
    readme = texts["README.txt"]
    assert version in readme and version in texts["CHANGELOG.txt"]
    japanese = re.search(r"[\u3040-\u30ff\u4e00-\u9fff]", readme)
    english = readme.find("What it does")
    assert japanese and english > japanese.start(), "README.txt is not Japanese first"


def objdump(arch, *args):
    tool = f"{ARCHES[arch][0]}-objdump"
    return subprocess.run([tool, *args], check=True, capture_output=True, text=True).stdout


def check_program(arch):
    triple, file_format = ARCHES[arch]
    name = zip_name(arch)[: -len(".zip")]
    with tempfile.TemporaryDirectory() as scratch, zipfile.ZipFile(dist / zip_name(arch)) as z:
        exe = Path(z.extract("mirufon.exe", scratch))
        assert exe.stat().st_size < 1024 * 1024, f"mirufon.exe is {exe.stat().st_size} bytes"
        assert f"file format {file_format}" in objdump(arch, "-f", str(exe))
        sections = objdump(arch, "-h", str(exe))
        assert ".debug_" not in sections, "the program still carries debug information"
        assert ".reloc" in sections, "the program lost its relocations (no ASLR)"

        # The debug link names the file beside the zips and holds its CRC-32.
        link = Path(scratch) / "debuglink"
        subprocess.run([f"{triple}-objcopy", f"--dump-section=.gnu_debuglink={link}", str(exe),
                        str(Path(scratch) / "copy.exe")], check=True, capture_output=True)
        data = link.read_bytes()
        debug = dist / f"{name}-debug" / data[: data.index(b"\0")].decode()
        assert debug.is_file(), f"no {debug}"
        assert struct.unpack("<I", data[-4:])[0] == zlib.crc32(debug.read_bytes()), \
            f"{debug.name} does not belong to this program"
        assert ".debug_info" in objdump(arch, "-h", str(debug))

        imports = {m.lower() for m in re.findall(r"DLL Name: (\S+)", objdump(arch, "-p", str(exe)))}
        assert imports and imports <= SYSTEM_DLLS, f"imports beyond Windows: {sorted(imports - SYSTEM_DLLS)}"


def check_tests_zip():
    with tempfile.TemporaryDirectory() as scratch, zipfile.ZipFile(dist / TESTS_ZIP) as z:
        names = set(z.namelist())
        assert all(n.isascii() for n in names), f"non-ASCII names: {sorted(names)}"
        programs = {n for n in names if n.endswith("_tests.exe")}
        assert programs == TESTS_PROGRAMS and names == TESTS_FILES | programs, f"files: {sorted(names)}"
        # cmd reads a script in the console's code page and mishandles labels on bare LF.
        script = z.read("run-tests.cmd")
        assert script.isascii(), "run-tests.cmd is not ASCII"
        assert b"\n" not in script.replace(b"\r\n", b""), "run-tests.cmd has a line end that is not CRLF"
        for name in sorted(n for n in names if n.endswith((".exe", ".dll"))):
            path = z.extract(name, scratch)
            assert f"file format {ARCHES['x64'][1]}" in objdump("x64", "-f", path), name
            assert ".debug_" not in objdump("x64", "-h", path), f"{name} carries debug information"
            imports = {m.lower() for m in re.findall(r"DLL Name: (\S+)", objdump("x64", "-p", path))}
            beyond = imports - SYSTEM_DLLS - {"ntdll.dll"}
            assert not beyond, f"{name} imports beyond Windows: {sorted(beyond)}"


cases = [("dist", "ZipsAndChecksums", check_dist), ("tests", "Contents", check_tests_zip)]
for arch in ARCHES:
    cases += [(arch, "Contents", lambda a=arch: check_contents(a)),
              (arch, "Texts", lambda a=arch: check_texts(a)),
              (arch, "Program", lambda a=arch: check_program(a))]

suite = ET.Element("testsuite", name="PackageZips")
failures = 0
for group, name, check in cases:
    case = ET.SubElement(suite, "testcase", classname=f"PackageZips.{group}", name=name)
    try:
        check()
        print(f"[  OK  ] {group}.{name}")
    except Exception as error:  # a failed assertion, or a zip or tool that is not there
        failures += 1
        ET.SubElement(case, "failure", message=str(error) or type(error).__name__)
        print(f"[FAILED] {group}.{name}: {error!r}")
suite.set("tests", str(len(cases)))
suite.set("failures", str(failures))
report.parent.mkdir(parents=True, exist_ok=True)
ET.ElementTree(suite).write(report, encoding="utf-8", xml_declaration=True)
sys.exit(1 if failures else 0)
