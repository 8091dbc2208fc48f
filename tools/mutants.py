#!/usr/bin/env python3
"""A small mutation check of the test suite.

Each mutant below is one deliberate fault in the product: a flipped comparison, a dropped
step, a swapped order, a changed literal, an off-by-one bound, a skipped save, check or cache
invalidation. For each one the script writes the fault into the source, rebuilds the two test
programs (unit_tests and forms_tests) and runs them; the mutant is killed when a test fails (or
the run times out), and survives when every test passes. The source is put back after each
mutant, also when the run is interrupted.

    tools/mutants.py BUILD_DIR [BUILD_DIR...] [--only ID,ID...] [--out results.tsv] [--every]

With --every, every test runs against each mutant and all the tests that kill it are named:
the map shows which tests are the only ones to catch a fault before a test is cut.

BUILD_DIR is a configured build folder (the Linux build is the one the list was written for);
the mutants are written into the source tree it was configured from. With several build
folders (say, of the test suite before and after a change, in two trees) each mutant is run
against each, and the verdicts stand side by side; with ccache the mutated file is compiled
once. The mutants change files in place, so do not edit or commit the product while it runs.
A mutant whose text is no longer found is reported as "gone": mend the list when the product
changes.
"""
import argparse
import os
import subprocess
import sys
import time

# (id, file, original text, mutated text, what the fault is), the ones most worth a run
# first. (Turning "w >= h" into "w > h" in fitInCell is an equivalent mutant: a square
# picture fits the same either way; it is not listed.)
MUTANTS = [
    ("memo-comma-end", "organiser/commands/memoitems.cpp",
     "if (pos >= n) {\n                items << QString();",
     "if (pos > n) {\n                items << QString();",
     "a trailing comma at the end of the file no longer leaves an empty item"),
    ("table-bound", "organiser/browser/module1.cpp",
     "if (k < 0 || k >= kFileTableSize)\n        return empty;",
     "if (k < 0 || k >= kFileTableSize - 1)\n        return empty;",
     "the last file table entry (32000) reads as empty"),
    ("capture-retry", "capture/form1.cpp",
     "        m_picture = QImage(); // not saved: the next notice tries it again\n", "",
     "a picture that could not be saved is not saved on the next notice"),
    ("rle-absolute-pad", "platform/pictures/bmprle.cpp",
     "pos += bytes + (bytes & 1);", "pos += bytes;",
     "an odd absolute run is not padded to a word"),
    ("bmp-alpha-any", "platform/pictures/bmpwriter.cpp",
     "if (qAlpha(row[x]) != 255)", "if (qAlpha(row[x]) == 0)",
     "a half transparent picture is written as opaque"),
    ("viewer-retry", "organiser/companions/companions.cpp",
     "                m.ClipboardViewerOpen = 0;\n                continue;",
     "                m.ClipboardViewerOpen = 0;\n                return;",
     "a viewer that could not be closed is not started again"),
    ("saver-missing", "organiser/companions/companions.cpp",
     "        if (org.files().isNormalFile(path))\n            return true;",
     "        if (!org.files().isNormalFile(path))\n            return true;",
     "the saver is taken as present where it is not"),
    ("rename-empty-base", "organiser/commands/renamerules.cpp",
     "    if (base.isEmpty())\n        return std::nullopt;\n", "",
     "an empty base name is accepted"),
    ("cell-fit-bound", "organiser/browser/cellrules.cpp",
     "if (w <= cellW && h <= cellH) {", "if (w < cellW && h <= cellH) {",
     "a picture exactly the cell's width is shrunk"),
    ("capture-same-picture", "capture/savedpicture.cpp",
     "        return last != next;", "        return true;",
     "the same picture is saved again"),
    ("capture-name-digits", "capture/capturename.cpp",
     "return prefix + digits.right(2) + QStringLiteral(\".bmp\");",
     "return prefix + digits.right(3) + QStringLiteral(\".bmp\");",
     "three digits in capture file names"),
    ("memo-save-skip", "organiser/commands/memocommands.cpp",
     "if (m.MemoDirty == 1 && !m.MemoPath.isEmpty()) {", "if (m.MemoDirty == 2 && !m.MemoPath.isEmpty()) {",
     "the memo save writes nothing"),
    ("delete-memo", "organiser/commands/filecommands.cpp",
     "const platform::Result memoRemoved = DeleteIfExists(org, m.ImageDir + memo);",
     "const platform::Result memoRemoved = platform::Result::success();",
     "delete leaves the memo behind"),
    ("copy-memo", "organiser/commands/filecommands.cpp",
     "        copyOne(org, memo);\n", "",
     "copy leaves the memo behind"),
    ("rename-memo-check", "organiser/commands/filecommands.cpp",
     "files.isNormalFile(newMemo) &&\n        !files.sameFile(oldMemo, newMemo))",
     "files.isNormalFile(newMemo) &&\n        files.sameFile(oldMemo, newMemo))",
     "rename takes over another picture's memo"),
    ("thumb-stale", "organiser/browser/thumbnailcache.cpp",
     "if (!now || e->stamp != *now || e->box != box) {", "if (!now || e->box != box) {",
     "a changed file keeps its old thumbnail"),
    ("keys-dangling-modifier", "platform/keystrokes.cpp",
     "    if (pendingModifier)\n        return std::nullopt;\n",
     "    if (pendingModifier)\n        return strokes;\n",
     "a modifier with no key after it is accepted"),
    ("rle-delta-order", "platform/pictures/bmprle.cpp",
     "            x += byteAt(pos);\n            y += byteAt(pos + 1);",
     "            y += byteAt(pos);\n            x += byteAt(pos + 1);",
     "delta reads down before right"),
    ("onebit-alpha", "platform/pictures/pictureloader.cpp",
     "return std::popcount(mask) == 1;", "return std::popcount(mask) == 0;",
     "a one-bit alpha bitmap stays half transparent"),
    ("capture-switch", "capture/form1.cpp",
     "    if (m.CaptureOn == 1)\n        m.CaptureOn = 0;", "    if (m.CaptureOn == 1)\n        m.CaptureOn = 1;",
     "the switch does not turn saving off"),
    ("memo-crlf", "organiser/commands/memoitems.cpp",
     "        if (pos < s.size() && s[pos] == QLatin1Char('\\n'))\n            ++pos;\n        return pos;\n    }",
     "        return pos;\n    }",
     "CR LF counts as two line ends"),
    ("memo-name-dot", "organiser/commands/memoitems.cpp",
     "pictureName.left(dot < 0 ? 0 : dot + 1)",
     "pictureName.left(dot < 0 ? 0 : dot)",
     "memo name loses its dot"),
    ("memo-quote-tail", "organiser/commands/memoitems.cpp",
     "                item += s[pos++];\n        } else {",
     "                pos++;\n        } else {",
     "text after a closing quote is dropped"),
    ("rename-dotdot", "organiser/commands/renamerules.cpp",
     "name == QLatin1String(\"..\")", "name == QLatin1String(\"...\")",
     "'..' accepted as a file name"),
    ("rename-memo-ext", "organiser/commands/renamerules.cpp",
     "t.newMemo = base + QStringLiteral(\".TXT\");", "t.newMemo = base + QStringLiteral(\".txt\");",
     "the renamed memo gets another extension"),
    ("size-label-group", "organiser/browser/cellrules.cpp",
     "if (k > 0 && (n - k) % 3 == 0)", "if ((n - k) % 3 == 0)",
     "a leading comma on sizes of 3, 6... digits"),
    ("scroll-max", "organiser/browser/cellrules.cpp",
     "return ((n - 1) / 10) * 10;", "return (n / 10) * 10;",
     "scroll maximum one page too far at a multiple of ten"),
    ("table-write-bound", "organiser/browser/module1.cpp",
     "    if (k < 0 || k >= kFileTableSize)\n        return;\n    FileNames",
     "    if (k < 0 || k > kFileTableSize)\n        return;\n    FileNames",
     "a write one past the table is not ignored"),
    ("copy-onto-itself", "organiser/commands/filecommands.cpp",
     "    if (org.files().sameFile(from, to))\n        return true;\n", "",
     "a copy onto itself is attempted"),
    ("rename-rollback", "organiser/commands/filecommands.cpp",
     "            if (files.renameNoReplace(newPicture, oldPicture).ok())\n                return told;\n", "",
     "a picture whose memo could not follow is not renamed back"),
    ("memo-save-crlf", "organiser/commands/memocommands.cpp",
     "window->text() + QStringLiteral(\"\\r\\n\")", "window->text()",
     "the saved memo lacks its last line end"),
    ("capture-count-wrap", "capture/capturename.cpp",
     "return saveCount % 100 + 1;", "return saveCount + 1;",
     "the save count overflows at its maximum"),
    ("capture-missed-count", "capture/form1.cpp",
     "    ++m.MissedNotices;\n", "",
     "missed notices are not counted"),
    ("rle4-nibbles", "platform/pictures/bmprle.cpp",
     "canvas.put(x, y, rle8 ? value : (i % 2 == 0 ? value >> 4 : value & 0x0F));",
     "canvas.put(x, y, rle8 ? value : (i % 2 == 0 ? value & 0x0F : value >> 4));",
     "a 4-bit run swaps its two colours"),
    ("thumb-rename", "organiser/browser/thumbnailcache.cpp",
     "    forgetJob(to);\n    m_cache.remove(to);\n", "    forgetJob(to);\n",
     "a rename onto a name keeps that name's old thumbnail"),
    ("keys-function-bound", "platform/keystrokes.cpp",
     "n >= 1 && n <= 12", "n >= 1 && n <= 13",
     "{F13} accepted"),
    ("twips-fallback", "platform/twips.cpp",
     "constexpr double kFallbackTwipsPerPixel = 15.0;", "constexpr double kFallbackTwipsPerPixel = 16.0;",
     "twips per pixel without a screen"),
    # Nothing lost at the edges, the clipboard's picture, today's desktop, the shared cache.
    ("delete-keeps-memo", "organiser/commands/filecommands.cpp",
     "if (files.isNormalFile(picture) || files.length(picture)) {",
     "if (files.length(picture) && false) {",
     "a picture that could not be deleted loses its memo"),
    ("delete-focus", "organiser/commands/filecommands.cpp",
     "    view->VScroll1()->setFocus(Qt::OtherFocusReason);\n", "",
     "the focus stays on the delete button, so the next key deletes again"),
    ("identity-ctime", "platform/posix/fileidentity_posix.cpp",
     "nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)}", "nanoseconds(st.st_mtim), 0}",
     "a file replaced keeping its size and times counts as the same file"),
    ("snapshot-recheck", "platform/fileidentity.cpp",
     "if (!now || *now != opened || bytes.size() != opened.size) {", "if (!now) {",
     "a file rewritten while it was read gives its mixed bytes"),
    ("store-identity", "organiser/browser/thumbnailstore.cpp",
     "return ours == identityText(now);", "return true;",
     "a stored thumbnail is taken for a file that has changed"),
    ("clip-withdraw", "organiser/commands/clipboardcommands.cpp",
     "                    if (p)\n                        org.clipboard().withdrawPendingImage(p);\n", "",
     "an offer whose picture could not be made stays on the clipboard"),
    ("clip-stale-cell", "organiser/commands/clipboardcommands.cpp",
     "const bool cellStale = view->thumbnails().shownIdentity(path) != taken->identity;",
     "const bool cellStale = false;",
     "the cell keeps an old thumbnail of the file the click copied"),
    ("name-trailing-dot", "platform/pathrules.cpp",
     "if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))",
     "if (name.endsWith(QLatin1Char(' ')))",
     "a name ending in a dot is accepted"),
    ("name-device-nul", "platform/pathrules.cpp",
     '{"CON", "PRN", "AUX", "NUL"};', '{"CON", "PRN", "AUX"};',
     "NUL is accepted as a file name"),
    ("exif-turn", "platform/pictures/pictureloader.cpp",
     "image = image.transformed(QTransform().rotate(90));",
     "image = image.transformed(QTransform().rotate(270));",
     "a photo tagged as turned is turned the wrong way"),
    ("key-step", "organiser/browser/imgview.cpp",
     "m_vscroll->setSingleStep(m_vscroll->pageStep() / 2);",
     "m_vscroll->setSingleStep(m_vscroll->pageStep());",
     "an arrow key moves a whole page instead of half"),
    ("sjis-shown", "platform/textcodec.cpp",
     "text && !text->contains(QChar(0xFFFD)))\n        return *text;\n", "text && false)\n        return *text;\n",
     "a Shift-JIS name shows as replacement characters"),
    ("capture-settle", "capture/form1.cpp",
     "constexpr int kSettleMs = 500;", "constexpr int kSettleMs = 0;",
     "an offer withdrawn at once is reported as not saved"),
]

def run(cmd, cwd, timeout):
    try:
        p = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           timeout=timeout, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        return p.returncode, p.stdout.decode(errors="replace")
    except subprocess.TimeoutExpired:
        return "timeout", ""


def source_dir(build):
    with open(os.path.join(build, "CMakeCache.txt")) as f:
        for line in f:
            if line.startswith("CMAKE_HOME_DIRECTORY:"):
                return line.split("=", 1)[1].strip()
    sys.exit("not a configured build folder: " + build)


def find_program(build, name):
    for path in (os.path.join(build, "tests", name), os.path.join(build, "tests", name + ".exe")):
        if os.path.exists(path):
            return path
    sys.exit("no %s in %s" % (name, build))


def verdict_for(build, timeout, every):
    rc, out = run(["cmake", "--build", build, "--target", "unit_tests", "forms_tests"],
                  build, 3600)
    if rc != 0:
        print(out[-2000:])
        return "stillborn"
    killers = []
    for prog in ("unit_tests", "forms_tests"):
        flags = ["--gtest_brief=1"] + ([] if every else ["--gtest_fail_fast"])
        rc, out = run([find_program(build, prog)] + flags, build, timeout)
        if rc != 0:
            failed = sorted({l[13:].split()[0] for l in out.splitlines()
                             if l.startswith("[  FAILED  ]") and "listed below" not in l})
            killers += failed or ["%s(%s)" % (prog, rc)]
            if not every:
                break
    return "killed:" + ",".join(killers) if killers else "survived"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("builds", nargs="+")
    ap.add_argument("--only", default="")
    ap.add_argument("--out", default="")
    ap.add_argument("--timeout", type=int, default=600)
    ap.add_argument("--every", action="store_true",
                    help="run every test against each mutant and name all that kill it")
    a = ap.parse_args()
    builds = [os.path.abspath(b) for b in a.builds]
    only = set(filter(None, a.only.split(",")))
    results = []
    for mid, rel, old, new, what in MUTANTS:
        if only and mid not in only:
            continue
        start = time.time()
        verdicts = []
        for build in builds:
            path = os.path.join(source_dir(build), rel)
            with open(path, encoding="utf-8") as f:
                original = f.read()
            if original.count(old) != 1:
                verdicts.append("gone")
                continue
            try:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original.replace(old, new))
                verdicts.append(verdict_for(build, a.timeout, a.every))
            finally:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original)
        secs = int(time.time() - start)
        results.append((mid, verdicts, secs, what))
        print("%-24s %s (%d s)" % (mid, "  ".join(verdicts), secs), flush=True)
    for k, build in enumerate(builds):
        killed = sum(1 for r in results if r[1][k].startswith("killed"))
        survived = [r[0] for r in results if r[1][k] == "survived"]
        print("%s: %d mutants, %d killed, %d survived: %s" %
              (build, len(results), killed, len(survived), " ".join(survived)), flush=True)
    if a.out:
        with open(a.out, "w") as f:
            for mid, verdicts, secs, what in results:
                f.write("%s\t%s\t%d\t%s\n" % (mid, "\t".join(verdicts), secs, what))
    # Put the builds back to the unmutated source.
    for build in builds:
        run(["cmake", "--build", build, "--target", "unit_tests", "forms_tests"], build, 3600)


if __name__ == "__main__":
    main()
