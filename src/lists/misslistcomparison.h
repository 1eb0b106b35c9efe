#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The entries of a Miss list: every line after the two header lines, without its "\n" or
// "\r\n", untrimmed, an empty line being an empty entry. Entries stay raw bytes: lists written
// under Wine are in a Windows code page, and decoding them as UTF-8 would change their bytes.
class MissListEntries
{
public:
    // Splits `bytes` the way a text stream reads lines; the two header lines are dropped.
    static MissListEntries fromBytes(const QByteArray &bytes);

    const QList<QByteArrayView> &entries() const { return m_entries; }

private:
    QByteArray m_bytes; // the views point into it
    QList<QByteArrayView> m_entries;
};

// The entries of `entries` that `other` lacks, in order and with their duplicates, each followed
// by "\n". Whole entries are compared byte for byte, so letter case and spaces count.
QByteArray entriesMissingFrom(const QList<QByteArrayView> &entries,
                              const QList<QByteArrayView> &other);

// Compares the user's Miss list with another collector's and writes "They_Need.txt" and
// "I_Need.txt" beside the user's list, each file all or nothing.
class MissListComparison
{
public:
    enum class Outcome {
        ListNotFound, // a path names no existing file; nothing was read or written
        ReadFailed,   // a list could not be read in full; see failedList() and error()
        WriteFailed,  // an output could not be written; see failedOutput() and error()
        Complete,
    };

    MissListComparison(const QString &yourPath, const QString &theirPath);

    Outcome run();

    // Set by run(): nothing is written unless both lists were read in full.
    QString failedList() const { return m_failedList; }
    QString failedOutput() const { return m_failedOutput; }
    QString error() const { return m_error; }

    QString theyNeedPath() const;
    QString iNeedPath() const;

private:
    bool readList(const QString &path, MissListEntries *list);
    bool write(const QString &path, const QByteArray &bytes);

    QString m_yourPath;
    QString m_theirPath;
    QString m_failedList;
    QString m_failedOutput;
    QString m_error;
};
