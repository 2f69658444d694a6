#pragma once

#include "formatter/style.h"

#include <QByteArray>
#include <QString>

// Builds a style the way the program loads one: from options.ini, tag.ini and trim.ini
// texts written into a temporary program folder.
formatter::Style styleFrom(const QByteArray &tagIni, const QByteArray &optionsIni = {},
                           const QByteArray &trimIni = {});

// The style shipped in data/, as copied beside the test programs.
formatter::Style shippedStyle();

// The program folder holding the shipped data files.
QString shippedProgramFolder();
