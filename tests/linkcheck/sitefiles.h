#pragma once

#include "linkcheck/sitecheck.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Writes `bytes` to `path`, making the folders it needs.
void writeFile(const QString &path, const QByteArray &bytes = "x");

// The report of a fresh check of `folder`, one GNU line each, with `folder` + "/" left out.
QStringList checkFolder(const QString &folder, linkcheck::CheckOptions options = {});

QStringList gnuLines(const std::vector<linkcheck::BrokenLink> &links, const QString &folder);
