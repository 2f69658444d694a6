#!/usr/bin/env python3
"""Writes src/linkcheck/htmlentities.cpp: the named character references of HTML."""
import html.entities
import pathlib

names = sorted(html.entities.html5.keys())
out = ['// The named character references of HTML, with and without their semicolon as the',
       "// standard lists them. Made by scripts/make-htmlentities.py from Python's html.entities.",
       '#include "linkcheck/htmlentities.h"', '', '#include <algorithm>', '#include <iterator>', '',
       'namespace linkcheck::html {', '', 'namespace {', '', 'constexpr std::string_view kNames[] = {']
line = '   '
for name in names:
    item = ' "%s",' % name
    if len(line) + len(item) > 100:
        out.append(line)
        line = '   '
    line += item
out.append(line)
out += ['};', '', '} // namespace', '',
        'size_t longestReference(std::string_view text)', '{',
        '    // Names are at most 32 characters; the longest that starts the text wins.',
        '    for (size_t length = std::min<size_t>(text.size(), 32); length > 0; --length) {',
        '        if (std::binary_search(std::begin(kNames), std::end(kNames), text.substr(0, length)))',
        '            return length;', '    }', '    return 0;', '}', '', '} // namespace linkcheck::html', '']
root = pathlib.Path(__file__).resolve().parent.parent
(root / 'src/linkcheck/htmlentities.cpp').write_text('\n'.join(out))
