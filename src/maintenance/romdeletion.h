#pragma once

#include "maintenance/romflagfilter.h"

#include <QStringList>

// What a deletion pass did: the paths removed and the paths that could not be removed,
// each as the directory walk gave them.
struct RomDeletionResult
{
    QStringList deleted;
    QStringList failed;
};

// The files in `directory` (and below it when `recursive`) whose file names the filter matches,
// in walk order. Only files are visited; hidden files are skipped.
QStringList flaggedRoms(const QString &directory, bool recursive, const RomFlagFilter &filter);

// Removes every path; one that cannot be removed is listed as failed and the rest go on.
RomDeletionResult deleteFiles(const QStringList &paths);

// The text for the output area, in the success form or, with any failure, the failure form.
// Both lists come out sorted.
QString romDeletionReport(RomDeletionResult result, bool recursive);
