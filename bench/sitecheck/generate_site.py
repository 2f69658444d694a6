#!/usr/bin/env python3
"""Writes a site of N pages of 50 links each into FOLDER for the link check benchmark.

Pages lie 100 to a folder; 10 % of the links carry a fragment, 10 % are pictures, a few are
broken (missing pages, missing anchors, a wrong letter case). START.html links every page, so
that a crawler starting there sees the whole site.
"""
import os
import random
import sys

LINKS = 50
PER_FOLDER = 100
ANCHORS = 10
PICTURES = 50


def page_name(n):
    return f"d{n // PER_FOLDER:03d}/p{n:05d}.html"


def link_to(rng, page, pages):
    """One of the page's 50 links, relative to its folder."""
    kind = rng.random()
    other = rng.randrange(pages)
    target = "../" + page_name(other)
    broken = rng.random() < 0.01
    if kind < 0.10:
        anchor = f"s{rng.randrange(ANCHORS)}" if not broken else "gone"
        return f'<a href="{target}#{anchor}">section</a>'
    if kind < 0.20:
        picture = f"../img/pic{rng.randrange(PICTURES):02d}.png"
        if broken:
            picture = "../img/missing.png"
        return f'<img src="{picture}" alt="picture">'
    if kind < 0.22:
        return '<a href="https://example.org/page">elsewhere</a>'
    if broken:
        target = target.replace(".html", ".htm") if rng.random() < 0.5 else target.upper()
    return f'<a href="{target}">page {other}</a>'


def write_page(rng, n, pages, folder):
    body = []
    for i in range(LINKS):
        if i % 5 == 0:
            body.append(f'<h2 id="s{i // 5}">Section {i // 5}</h2>')
        body.append("<p>Some words around the link, as pages have them: "
                    + link_to(rng, n, pages) + " and a few more words.</p>")
    text = ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
            f"<title>Page {n}</title><link rel=\"stylesheet\" href=\"../site.css\"></head>\n"
            "<body>\n" + "\n".join(body) + "\n</body></html>\n")
    path = os.path.join(folder, page_name(n))
    with open(path, "w", encoding="utf-8") as out:
        out.write(text)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: generate_site.py N FOLDER")
    pages = int(sys.argv[1])
    folder = sys.argv[2]
    rng = random.Random(pages)
    for d in range((pages + PER_FOLDER - 1) // PER_FOLDER):
        os.makedirs(os.path.join(folder, f"d{d:03d}"), exist_ok=True)
    os.makedirs(os.path.join(folder, "img"), exist_ok=True)
    for p in range(PICTURES):
        with open(os.path.join(folder, "img", f"pic{p:02d}.png"), "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n")
    with open(os.path.join(folder, "site.css"), "w") as out:
        out.write("body { background: url(img/pic00.png); }\n")
    for n in range(pages):
        write_page(rng, n, pages, folder)
    with open(os.path.join(folder, "START.html"), "w") as out:
        out.write("<!DOCTYPE html>\n<html><body>\n")
        for n in range(pages):
            out.write(f'<a href="{page_name(n)}">{n}</a>\n')
        out.write("</body></html>\n")


if __name__ == "__main__":
    main()
