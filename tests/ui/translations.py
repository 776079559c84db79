#!/usr/bin/env python3
"""The translations' checks, and the pseudo-language the layout tests render.

  translations.py check LUPDATE TS_FOLDER SOURCE_ROOT SCANNED… [-- TRANSLATED…]
      The paths are under SOURCE_ROOT: SCANNED are read for texts and translated, TRANSLATED only
      translated (sources that also hold bus names and other literals no person reads). Fails when a text a person reads is not marked for translation (in the window's sources and
      the notice texts), or when a shipped language has an entry that is unfinished, vanished or
      obsolete once brought up to date with the sources, or whose %1 … %n differ from the source.
  translations.py pseudo IN_TS OUT_TS
      Writes every source text of IN_TS about 40 % longer and with accented letters, placeholders
      and mnemonics kept, as a finished translation.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

MARKERS = {"tr", "translate", "QT_TR_NOOP", "QT_TRANSLATE_NOOP", "QT_TR_N_NOOP", "VANTORELLE_TRANSLATABLE"}
LOGGING = re.compile(r"\bqC(Debug|Info|Warning|Critical)\s*\(")
# Literals no person reads as text of the program, by file (a regular expression on the
# literal); files that only talk to buses or other programs are left out as a whole.
ALLOWED = {
    "*": [r"Vantorelle",  # the product's name, the same in every language
          r"vantorelle\b.*",
          r"D-Bus Interface"],  # Q_CLASSINFO of the bus adaptors
    "ui/EngineBusInterface.cpp": [r".*"],   # the bus interface's errors stay English, as its names
    "ui/SingleInstance.cpp": [r".*"],       # bus names and environment variables
    "ui/TrayMenuExport.cpp": [r".*"],       # the menu protocol's keys
    "ui/PaneScrollArea.cpp": [r"QScrollBar.*"],
    "ui/LightAppearance.cpp": [r"Fusion"],
    "ui/Accessibility.cpp": [r"vantorelle::\w+"],
    "ui/NotificationPreview.cpp": [r"Shure MV7"],  # a device's name: names are never translated
    "engine/SwitchNotices.cpp": [r"%1"],
}
# Every literal of these files is a text a person reads unless allowed above.
ALL_TEXT = {"engine/SwitchNotices.cpp"}


def literals(code):
    """(offset, text) of each string literal, comments skipped; adjacent ones stay apart."""
    found, i, n = [], 0, len(code)
    while i < n:
        c = code[i]
        if code.startswith("//", i):
            i = code.find("\n", i)
            i = n if i < 0 else i
        elif code.startswith("/*", i):
            i = code.find("*/", i) + 2
        elif c == "'":
            i = code.find("'", i + 1 + (code[i + 1] == "\\")) + 1
        elif c == '"':
            j, text = i + 1, []
            while code[j] != '"':
                if code[j] == "\\":
                    text.append(code[j:j + 2])
                    j += 2
                else:
                    text.append(code[j])
                    j += 1
            found.append((i, "".join(text)))
            i = j + 1
        else:
            i += 1
    return found


def enclosing_call(code, offset):
    """The name before the innermost open parenthesis around `offset`."""
    depth, i = 0, offset - 1
    while i >= 0:
        c = code[i]
        if c == ")":
            depth += 1
        elif c == "(":
            if depth == 0:
                name = re.search(r"([A-Za-z_]\w*)\s*$", code[:i])
                return name.group(1) if name else ""
            depth -= 1
        elif c in ";{}" and depth == 0:
            return ""
        i -= 1
    return ""


def looks_like_text(text):
    return bool(re.search(r"[A-Za-z]{2,}[^\"]* [^\"]*[A-Za-z]", text) or re.fullmatch(r"[A-Z][a-z]+", text))


def unmarked(root, relative):
    code = open(os.path.join(root, relative), encoding="utf-8").read()
    allowed = ALLOWED.get("*", []) + ALLOWED.get(relative, [])
    problems = []
    for offset, text in literals(code):
        line_start = code.rfind("\n", 0, offset) + 1
        if code[line_start:offset].lstrip().startswith("#include"):
            continue
        if not (relative in ALL_TEXT and re.search(r"[A-Za-z]", text)) and not looks_like_text(text):
            continue
        if any(re.fullmatch(pattern, text) for pattern in allowed):
            continue
        statement = code[max(code.rfind(";", 0, offset), code.rfind("{", 0, offset), code.rfind("}", 0, offset)):offset]
        if LOGGING.search(statement):
            continue
        if enclosing_call(code, offset) in MARKERS:
            continue
        problems.append(f"{relative}:{code.count(chr(10), 0, offset) + 1}: not marked for translation: \"{text}\"")
    return problems


def placeholders(text):
    return sorted(re.findall(r"%(?:n|\d)", text or ""))


def unfinished(ts_path):
    problems = []
    for context in ET.parse(ts_path).getroot().iter("context"):
        for message in context.iter("message"):
            source = message.findtext("source")
            translation = message.find("translation")
            where = f"{os.path.basename(ts_path)}: {context.findtext('name')}: \"{source}\""
            kind = translation.get("type") if translation is not None else "missing"
            forms = [translation.text] if translation is not None and not list(translation) else \
                [form.text for form in translation.iter("numerusform")] if translation is not None else []
            if kind:
                problems.append(f"{where}: {kind}")
            elif not all(forms) or any(placeholders(form) != placeholders(source) for form in forms
                                       if message.get("numerus") != "yes"):
                problems.append(f"{where}: empty, or its placeholders differ from the source's")
    return problems


def check(lupdate, ts_folder, source_root, scanned, translated):
    problems = []
    sources = scanned + translated
    for relative in scanned:
        problems += unmarked(source_root, relative)
    ts_files = sorted(f for f in os.listdir(ts_folder) if f.endswith(".ts"))
    if not ts_files:
        problems.append(f"no .ts files in {ts_folder}")
    with tempfile.TemporaryDirectory() as scratch:
        copies = [shutil.copy(os.path.join(ts_folder, f), scratch) for f in ts_files]
        # The shipped files brought up to date: new texts come in unfinished, gone ones vanished.
        subprocess.run([lupdate, "-tr-function-alias", "QT_TRANSLATE_NOOP+=VANTORELLE_TRANSLATABLE", "-locations",
                        "none", "-I", source_root, *[os.path.join(source_root, s) for s in sources], "-ts", *copies],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for copy in copies:
            problems += unfinished(copy)
    return problems


ACCENTED = str.maketrans("aceinouyACEINOUY", "áçéîñöüýÅÇÉÎÑÖÜÝ")


def pseudo(text):
    # Placeholders (%1, %n), mnemonics and character references are kept; letters are accented.
    parts = re.split(r"(%\d|%n|&\w+;|&&|&)", text)
    shown = "".join(p if re.fullmatch(r"%\d|%n|&\w+;|&&|&", p or "") else p.translate(ACCENTED) for p in parts)
    letters = len(text)
    padding = max(1, round(letters * 0.4))
    return "[" + shown + " " + ("ẋŵ" * padding)[:padding - 1] + "]"


def make_pseudo(in_ts, out_ts):
    tree = ET.parse(in_ts)
    root = tree.getroot()
    root.set("language", "en_ZZ")
    for message in root.iter("message"):
        translation = message.find("translation")
        translation.attrib.pop("type", None)
        text = pseudo(message.findtext("source"))
        if message.get("numerus") == "yes":
            for form in list(translation):
                translation.remove(form)
            for _ in range(2):
                ET.SubElement(translation, "numerusform").text = text
        else:
            translation.text = text
    tree.write(out_ts, encoding="utf-8", xml_declaration=True)


def main(argv):
    if argv[1:2] == ["pseudo"]:
        make_pseudo(argv[2], argv[3])
        return 0
    if argv[1:2] == ["check"]:
        lupdate, ts_folder, source_root = argv[2:5]
        paths = argv[5:] + ["--"]
        scanned, translated = paths[:paths.index("--")], [p for p in paths[paths.index("--") + 1:] if p != "--"]
        problems = check(lupdate, ts_folder, source_root, scanned, translated)
        print("\n".join(problems) if problems else f"{len(scanned)} sources are marked and translations are complete")
        return 1 if problems else 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
