#pragma once

#include <QString>

// An ordinary-looking page of at least minimumSize characters: headings, paragraphs with
// inline tags, tables with simple and text cells, lists, forms, scripts and comments.
QString benchmarkPage(qsizetype minimumSize);
