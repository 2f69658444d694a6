#!/usr/bin/env python3
"""The HTML check against the reference validator (vnu.jar), side by side in one run.

1. Speed: `folioscope-batch check-html` and `java -jar vnu.jar --format gnu` on the same
   1,000 real pages (/usr/share/doc, the pages in tests/, then other pages under /usr/share
   and /usr/lib), start-up included for both; wall and processor time.
2. Agreement per rule: vnu's messages mapped to the rule ids; for each rule, how many of vnu's
   problems (page, line, rule) check-html reports, and how many it reports that vnu does not.
3. 10,000 generated pages (bench/sitecheck/generate_site.py) by a fresh process: check-links,
   check-links --html and check-html, wall time and peak memory.

usage: bench/htmlcheck/run_htmlcheck_bench.py [BIN_DIR] [PAGES]
  BIN_DIR  folder holding folioscope-batch (default: build/release/bin)
  PAGES    real pages to compare (default: 1000)
vnu.jar comes from the npm package vnu-jar, installed into BIN_DIR/../htmlcheck-peer on the
first run (or set VNU_JAR); java is /usr/bin/java.
"""
import collections
import os
import pathlib
import re
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent

# vnu's messages, first match wins; None: a problem the HTML check does not look for
# (values of attributes, ARIA, CSS, ...), left out of the comparison.
RULES = [
    (r"without seeing a doctype first|doctype\. Expected|Expected “<!DOCTYPE html>”", "doctype"),
    (r"^Stray end tag|^No “\w+” element in (list item |definition )?scope", "stray-end-tag"),
    (r"seen, but there were open elements|^Unclosed element|there were open elements|"
     r"violates nesting rules|there were unclosed elements|did not match the name of the current",
     "misnested-end-tag"),
    (r"already open|already an active|Nested forms", "nested-same-element"),
    (r"^Saw “<\?”", "xml-instruction"),
    (r"^Duplicate attribute", "duplicate-attribute"),
    (r"character reference|Character reference|No digits after|"
     r"not terminated by a semicolon", "character-reference"),
    (r"^End of file|^Saw end of file", "end-of-file"),
    (r"^Self-closing syntax", "self-closing-non-void"),
    (r"^Duplicate ID", "duplicate-id"),
    (r"^The “[^”]+” element is obsolete", "obsolete-element"),
    (r"attribute on the “[^”]+” element is obsolete", "obsolete-attribute"),
    (r"^An “img” element must have an “alt” attribute", "img-alt"),
    (r"is missing a required instance of child element|is missing one or more of the following "
     r"child|is missing a required child", "missing-required-child"),
    (r"is missing required attribute|is missing one or more of the following attributes|"
     r"must have (either )?an? “\w+” attribute|element must have a “rel”", "missing-required-attribute"),
    (r"not allowed as child of element|must not appear as a descendant|^Text not allowed in "
     r"element", "element-not-allowed"),
    (r"^Attribute “[^”]+” not allowed (on element|here)", "attribute-not-allowed"),
    (r"^The heading “h\d” \(with computed level \d\) follows", "heading-level"),
    (r"^Bad character|No space between attributes|^Saw “<” when expecting|^Bogus comment|"
     r"^Stray start tag|^Stray doctype|^Heading cannot be a child|Misplaced non-space|"
     r"seen in “table”|in an unquoted attribute value|^Non-space character|^Saw U\+0000|"
     r"^Attribute value missing|^A slash was not immediately|in attribute name|^End tag had "
     r"attributes|^Premature end of comment|^Comment ended by|^Saw “=”|^Garbage after|"
     r"^Saw “</>”|^End tag “br”|between “head” and “body”|^Saw a start tag “image”|"
     r"foreign namespace context|start tag where end tag expected|start tag found but|"
     r"^Stray “/”|^Nested comment|within a comment|^Non-space characters found|"
     r"^Forbidden code point|^Almost standards|table is still open", "parse-other"),
]
PATTERNS = [(re.compile(p), r) for p, r in RULES]
# Where vnu and the HTML standard differ and the check follows the standard: counted apart.
STANDARD = [
    # The standard requires no href on an a (an a without one is a placeholder link).
    r"^Element “a” is missing required attribute “href”",
    # vnu's schema wants role=heading's aria-level on p; the standard has no such rule.
    r"is missing required attribute “aria-level”",
]
STANDARD_PATTERNS = [re.compile(p) for p in STANDARD]
GNU_VNU = re.compile(r'^"file:(?P<page>[^"]+)":(?P<line>\d+)(\.\d+)?(-(?P<end>\d+)\.\d+)?: '
                     r'(?P<kind>error|info warning|info|warning)(: (?P<msg>.*))?$')
GNU_OURS = re.compile(r'^(?P<page>.+?):(?P<line>\d+):(?P<col>\d+): (error|warning): .* \[(?P<rule>[a-z-]+)\]$')


def rule_of(message):
    for pattern, rule in PATTERNS:
        if pattern.search(message):
            return rule
    return None


def real_pages(count):
    """Manuals of Debian packages, the pages in tests/, then other pages the system holds."""
    pages, seen = [], set()
    for top in ("/usr/share/doc", str(ROOT / "tests"), "/usr/share", "/usr/lib"):
        found = []
        for folder, _, names in os.walk(top):
            for name in names:
                path = os.path.join(folder, name)
                if re.search(r"\.html?$", name, re.I) and not os.path.islink(path) \
                        and path not in seen and 0 < os.path.getsize(path) < 2_000_000:
                    found.append(path)
                    seen.add(path)
        pages += sorted(found)
    return pages[:count]


def vnu_jar(bin_dir):
    if os.environ.get("VNU_JAR"):
        return os.environ["VNU_JAR"]
    peer = pathlib.Path(bin_dir).resolve().parent / "htmlcheck-peer"
    jar = peer / "node_modules/vnu-jar/build/dist/vnu.jar"
    if not jar.exists():
        print("vnu.jar is missing: installing the npm package vnu-jar into", peer)
        peer.mkdir(parents=True, exist_ok=True)
        subprocess.run(["npm", "install", "--prefix", str(peer), "vnu-jar"], check=True,
                       stdout=subprocess.DEVNULL)
    return str(jar)


def timed(command, out_path, cwd=None):
    """Runs the command with its output in out_path: (wall s, peak MB, user + system s)."""
    with tempfile.NamedTemporaryFile("r") as times, open(out_path, "wb") as out:
        subprocess.run(["/usr/bin/time", "-f", "%e %M %U %S", "-o", times.name] + command,
                       stdout=out, stderr=subprocess.STDOUT, cwd=cwd)  # vnu reports on stderr
        wall, peak, user, system = times.read().split()[-4:]
    return float(wall), int(peak) / 1024, float(user) + float(system)


def read_vnu(path):
    """vnu's errors and warnings with a rule and the lines of their range: it starts at the tag
    or, for some errors, where the token before it ended."""
    problems, unmapped, standard = [], collections.Counter(), collections.Counter()
    given_up = {}  # page -> the line after which vnu reported nothing more
    for line in open(path, encoding="utf-8", errors="replace"):
        if ": error fatal: Cannot recover" in line:
            m = GNU_VNU.match(line.rstrip("\n").replace("error fatal", "error"))
            given_up[m.group("page")] = int(m.group("end") or m.group("line"))
            continue
        m = GNU_VNU.match(line.rstrip("\n"))
        if not m or m.group("kind") not in ("error", "info warning") or not m.group("msg"):
            continue
        message = m.group("msg")
        short = re.sub(r"“[^”]*”", "“…”", message)[:90]
        if any(p.search(message) for p in STANDARD_PATTERNS):
            standard[message[:90]] += 1
            continue
        rule = rule_of(message)
        if rule is None:
            unmapped[short] += 1
        else:
            start = int(m.group("line"))
            problems.append((m.group("page"), start, int(m.group("end") or start), rule))
    problems = [p for p in problems if p[1] < given_up.get(p[0], 1 << 30)]
    return problems, unmapped, standard, given_up


def read_ours(path, given_up):
    """check-html's problems, but none from the line where vnu gave up on a page on."""
    problems = []
    for line in open(path, encoding="utf-8", errors="replace"):
        m = GNU_OURS.match(line.rstrip("\n"))
        if m:
            page = os.path.abspath(m.group("page"))
            if int(m.group("line")) < given_up.get(page, 1 << 30):
                problems.append((page, int(m.group("line")), m.group("rule")))
    return problems


def agreement(vnu, ours):
    """A problem of vnu is found when check-html reports its rule on its page at a line of its
    range; each of check-html's problems counts for one of vnu's at most."""
    left = collections.Counter(ours)
    total, found = collections.Counter(), collections.Counter()
    for page, start, end, rule in vnu:
        total[rule] += 1
        for line in range(start, min(end, start + 50) + 1):
            if left[(page, line, rule)] > 0:
                left[(page, line, rule)] -= 1
                found[rule] += 1
                break
    mine = collections.Counter(rule for _, _, rule in ours)
    extra = collections.Counter()
    for (_, _, rule), n in left.items():
        extra[rule] += n
    print(f"  {'rule':28} {'vnu':>6} {'found':>6} {'found %':>8} {'extra':>6} {'extra %':>8}")
    for rule in sorted(set(total) | set(mine)):
        print(f"  {rule:28} {total[rule]:6} {found[rule]:6} "
              f"{100 * found[rule] / total[rule] if total[rule] else 0:7.1f}% {extra[rule]:6} "
              f"{100 * extra[rule] / mine[rule] if mine[rule] else 0:7.1f}%")


def main():
    bin_dir = sys.argv[1] if len(sys.argv) > 1 else str(ROOT / "build/release/bin")
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    batch = os.path.join(bin_dir, "folioscope-batch")
    jar = vnu_jar(bin_dir)
    work = pathlib.Path(os.environ.get("TMPDIR", "/tmp")) / "folioscope-htmlcheck-bench"
    work.mkdir(parents=True, exist_ok=True)
    pages = real_pages(count)
    print(f"load average before: {open('/proc/loadavg').read().split()[:3]}, {os.cpu_count()} cores")
    print(f"\n{len(pages)} real pages, start-up included:")
    ours_wall, ours_mb, ours_cpu = timed([batch, "check-html"] + pages, work / "ours.txt")
    vnu_wall, vnu_mb, vnu_cpu = timed(["java", "-jar", jar, "--format", "gnu"] + pages, work / "vnu.txt")
    print(f"  check-html {ours_wall:.2f} s wall, {ours_cpu:.2f} s processor, {ours_mb:.0f} MB")
    print(f"  vnu.jar    {vnu_wall:.2f} s wall, {vnu_cpu:.2f} s processor, {vnu_mb:.0f} MB")
    print(f"  {vnu_wall / max(ours_wall, 0.01):.0f} times as fast (wall), "
          f"{vnu_cpu / max(ours_cpu, 0.01):.0f} times less processor time")
    vnu, unmapped, standard, given_up = read_vnu(work / "vnu.txt")
    print(f"\nagreement per rule (page, line, rule); vnu gave up on {len(given_up)} pages "
          "(\"Cannot recover after last error\"), compared up to there:")
    agreement(vnu, read_ours(work / "ours.txt", given_up))
    print(f"\nvnu errors not compared (no rule of the check; {sum(unmapped.values())}), most common:")
    for message, n in unmapped.most_common(12):
        print(f"  {n:6}  {message}")
    print(f"\nvnu errors where the check follows the standard ({sum(standard.values())}):")
    for message, n in standard.most_common(5):
        print(f"  {n:6}  {message}")
    site = work / "s10000"
    if not (site / "START.html").exists():
        subprocess.run([sys.executable, str(ROOT / "bench/sitecheck/generate_site.py"), "10000", str(site)],
                       check=True)
    print("\n10,000 generated pages, a fresh process each:")
    for args in (["check-links"], ["check-links", "--html"], ["check-html"]):
        wall, mb, cpu = timed([batch] + args + [str(site)], work / "site.txt")
        print(f"  {' '.join(args):22} {wall:.2f} s wall, {cpu:.2f} s processor, {mb:.0f} MB peak")
    print(f"\nload average after: {open('/proc/loadavg').read().split()[:3]}")


if __name__ == "__main__":
    main()
