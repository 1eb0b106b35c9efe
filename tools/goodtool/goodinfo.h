#pragma once

#include <QString>
#include <QStringList>

// Goodinfo.cfg, beside the tool, holds a section per system:
//   [NES                a header: starts with "[" and holds no ";"
//   [b;Bad dumps;n      a flag line: flag text; optional fields; last field
//   (PD);               a last field other than "n" leaves the flag's names counted
// A flag line ending in ";n" takes every database name holding its flag text out of the Miss
// list and the Miss total. A section runs from its header to the next header.
struct GoodinfoSection
{
    bool fileFound = false;
    bool sectionFound = false;
    QStringList unwantedFlags;
};

// `header` is the section's header line, e.g. "[NES".
GoodinfoSection readGoodinfoSection(const QString &path, const QString &header);

// True when `name` holds one of the flag texts.
bool isUnwanted(const QString &name, const QStringList &unwantedFlags);
