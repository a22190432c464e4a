#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the translations: check-translations.py LUPDATE [LUPDATE_OPTION...]

For every catalogue translations/kronvale_<language>.ts:
  - it holds every text of the sources and no other (lupdate, with the options
    given, finds nothing new and nothing gone);
  - every text is translated and finished;
  - a translation keeps its source's place markers (%1, %n), line breaks, blanks
    at either end, access key (&) and closing punctuation, which the error box's
    full-stop rule and the program's layout rely on;
and the language has its help page (resources/app/help_<language>.html, with
the sections of help.html) and its lines in the desktop entry and the
AppStream data.
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = pathlib.Path(__file__).resolve().parent.parent
ENDINGS = ".!?:…"


def messages(ts):
    """{(context, source, disambiguation): (finished, [translations], translator comment)}"""
    result = {}
    for context in ET.parse(ts).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            if not source:  # a note on the whole context
                continue
            translation = message.find("translation")
            forms = [f.text or "" for f in translation.iter("numerusform")] or [
                translation.text or ""
            ]
            kind = translation.get("type", "")
            key = (name, source, message.findtext("comment") or "")
            finished = kind not in ("unfinished", "vanished", "obsolete")
            result[key] = (finished, forms, message.findtext("extracomment") or "")
    return result


def accelerator(text):
    return re.search(r"&[^&\s]", text.replace("&&", "")) is not None


def shape(text):
    """What a translation must keep of its source."""
    stripped = text.rstrip()
    return (
        sorted(re.findall(r"%(?:\d+|n)", text)),
        text.count("\n"),
        text[: len(text) - len(text.lstrip())],
        text[len(stripped) :],
        accelerator(text),
        stripped[-1:] if stripped[-1:] in ENDINGS else "",
        # The error box adds a full stop after a last character that sorts after ".".
        stripped[-1:] > ".",
    )


def label(key):
    context, source, disambiguation = key
    note = f" ({disambiguation})" if disambiguation else ""
    return f"{context}: {source!r}{note}"


def check_catalogue(ts, lupdate):
    problems = []
    with tempfile.TemporaryDirectory() as work:
        fresh = pathlib.Path(work) / ts.name
        shutil.copy(ts, fresh)
        subprocess.run(
            lupdate + [str(ROOT / "src"), "-ts", str(fresh)],
            check=True,
            stdout=subprocess.DEVNULL,
        )
        ours, theirs = messages(ts), messages(fresh)
    problems += [f"missing: {label(k)}" for k in theirs.keys() - ours.keys()]
    problems += [f"no longer in the sources: {label(k)}" for k in ours.keys() - theirs.keys()]
    problems += [
        f"translator comment out of date: {label(k)}"
        for k in ours.keys() & theirs.keys()
        if ours[k][2] != theirs[k][2]
    ]
    for key, (finished, forms, _) in sorted(ours.items()):
        if not finished or not all(forms):
            problems.append(f"unfinished: {label(key)}")
            continue
        for form in forms:
            if shape(form) != shape(key[1]):
                problems.append(
                    f"differs in place markers, line breaks, blanks, access key or closing "
                    f"punctuation: {label(key)} -> {form!r}"
                )
    return problems


def check_language(language):
    problems = []
    english = ROOT / "resources/app/help.html"
    page = english.with_name(f"help_{language}.html")
    if not page.is_file():
        problems.append(f"no help page {page.relative_to(ROOT)}")
    else:
        sections = lambda p: re.findall(r'<h[23][^>]*?(?:id="([^"]*)")?[^>]*>', p.read_text())
        if sections(page) != sections(english):
            problems.append(f"{page.name} has not the sections of help.html")
    desktop = (ROOT / "packaging/kronvale.desktop.in").read_text()
    for key in ("GenericName", "Comment", "Keywords"):
        if f"\n{key}[{language}]=" not in desktop:
            problems.append(f"no {key}[{language}] in the desktop entry")
    metainfo = (ROOT / "packaging/kronvale.metainfo.xml.in").read_text()
    if f'<summary xml:lang="{language}">' not in metainfo:
        problems.append(f"no summary in {language} in the AppStream data")
    return problems


def main():
    lupdate = sys.argv[1:]
    if not lupdate:
        sys.exit(__doc__)
    catalogues = sorted((ROOT / "translations").glob("kronvale_*.ts"))
    problems = []
    for ts in catalogues:
        language = ts.stem.removeprefix("kronvale_")
        problems += [f"{ts.name}: {p}" for p in check_catalogue(ts, lupdate)]
        problems += [f"{language}: {p}" for p in check_language(language)]
    for problem in problems:
        print(problem)
    if problems:
        print(
            "Bring the catalogues up to date with 'cmake --build build --target "
            "update_translations', then translate what is new (see the README)."
        )
        sys.exit(1)
    print(f"{len(catalogues)} catalogue(s) complete")


if __name__ == "__main__":
    main()
