#pragma once

#include <QByteArrayView>
#include <QString>

// Writes `bytes` in text mode (each "\n" becomes the platform's line end), all or nothing: the
// old file stays whole when anything fails. Only where the folder admits no new file is a
// writable file written in place instead; should that fail, its previous bytes are written back.
// On failure `error` (if given) says why, and after a write in place what the file holds now.
bool writeFileAtomically(const QString &path, QByteArrayView bytes, QString *error = nullptr);

// Writes `text` in the local 8-bit encoding, as writeFileAtomically does.
bool writeTextFileAtomically(const QString &path, const QString &text, QString *error = nullptr);
