#pragma once

#include <QString>

// Moves and copies that never replace anything: each lands on a name only while that name is
// free, and a failure leaves the source where it was and nothing under the target name.
enum class TransferResult {
    Done,
    TargetTaken, // something (a file, a directory, a dangling link) already has the name
    Failed,
};

// True when anything at all has that name, a link to nowhere included.
bool nameTaken(const QString &path);

// A rename within one file system; a move to another one fails.
TransferResult moveWithoutReplacing(const QString &from, const QString &to);

// The copy is written under a hidden name of its own beside the target and takes the target
// name only once it is complete. It gets the source's permissions.
TransferResult copyWithoutReplacing(const QString &from, const QString &to);
