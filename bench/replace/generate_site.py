#!/usr/bin/env python3
"""Writes a site of N pages of about 20 KB each (200 MB for 10,000) for the replace bench:
paragraphs, links and attributes, with the word "alpha" five times a page (in text, in an
attribute value and in a comment). Same seed, same site.

usage: generate_site.py N FOLDER
"""
import os
import random
import sys

WORDS = ("site page folder link table cell picture frame colour border margin text "
         "heading list item menu footer header author update").split()


def paragraph(rng):
    return " ".join(rng.choice(WORDS) for _ in range(rng.randint(40, 80)))


def page(rng, number, pages):
    parts = ["<!DOCTYPE html>\n<html><head><title>Page %d</title>\n" % number,
             "<meta charset=\"utf-8\"><link rel=\"stylesheet\" href=\"../style.css\">\n",
             "<script>var page = %d;</script>\n</head>\n<body class=\"alpha\">\n" % number,
             "<h1>The alpha page %d</h1>\n<!-- alpha, written by the generator -->\n" % number]
    size = sum(len(p) for p in parts)
    alphas = 3
    while size < 20000:
        if alphas < 5 and rng.random() < 0.05:
            text = "<p>Ask alpha &amp; omega: %s</p>\n" % paragraph(rng)
            alphas += 1
        else:
            target = rng.randrange(pages)
            text = "<p>%s <a href=\"../d%d/p%d.html\">%s</a></p>\n" % (
                paragraph(rng), target // 100, target, rng.choice(WORDS))
        parts.append(text)
        size += len(text)
    while alphas < 5:
        parts.append("<p>alpha</p>\n")
        alphas += 1
    parts.append("</body></html>\n")
    return "".join(parts)


def main():
    pages, folder = int(sys.argv[1]), sys.argv[2]
    rng = random.Random(36)
    for number in range(pages):
        sub = os.path.join(folder, "d%d" % (number // 100))
        os.makedirs(sub, exist_ok=True)
        with open(os.path.join(sub, "p%d.html" % number), "w", encoding="utf-8") as out:
            out.write(page(rng, number, pages))


if __name__ == "__main__":
    main()
