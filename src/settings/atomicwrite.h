#pragma once

#include <QString>

// Writes `text` in the local 8-bit encoding with the platform's line ends, all or nothing:
// the old file stays whole when anything fails. On failure `error` (if given) says why.
bool writeTextFileAtomically(const QString &path, const QString &text, QString *error = nullptr);
