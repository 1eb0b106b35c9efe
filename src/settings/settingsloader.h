#pragma once

#include "settings/systementry.h"

#include <QLoggingCategory>
#include <QStringList>

class QIODevice;

// Says which settings file is read and why each system is or is not offered, for a user who
// wonders: QT_LOGGING_RULES="tessary.settings.info=true" tessary
Q_DECLARE_LOGGING_CATEGORY(lcSettings)

// Where the settings live: "Tessary.ini" beside the program, or in the user's configuration
// folder when the program is installed (see installlayout.h).
QString settingsDirectory();
QString settingsFilePath();

// Trimmed, "\" turned into "/", and a "/" appended unless empty or already there.
QString normalisedDirectory(const QString &value);

// A normalised directory taken from `base` when it is relative; an empty one stays empty.
QString resolvedDirectory(const QString &directory, const QString &base);

// The selector shows a system as its key, a space and its name.
QString selectorText(const SystemEntry &entry);
// The key of a selector item: its text up to the first space, or all of it when it has none.
QString selectorKey(const QString &selectorText);

// Reads the line grammar of Tessary.ini. A system is made from one key line, one "Rom" line and
// one "File" line of the same block, in any order. A block that cannot be completed is left out
// (and logged with its line number) rather than completed from another block: a line of a kind
// the block already has, or a key line that follows a key-less block across an empty line, begins
// the next block. The written layout puts an empty line after every block, so a key that lost its
// "[" cannot lend its "Rom" and "File" lines to the next system.
//
// A relative directory in the file starts at `baseDirectory`, the file's own folder, and is
// resolved as it is read, so that a system's ROMs and tools do not depend on the folder the
// program was started from.
class SettingsLoader
{
public:
    explicit SettingsLoader(const QString &baseDirectory = settingsDirectory());

    struct Result
    {
        QStringList sectionKeys;    // every header key in file order, repeats included
        QStringList offeredSystems; // selector texts of the systems ready to run, in file order
    };

    // Applies every line of `device`. Global settings whose line is absent keep their value;
    // completed systems go into `table`, replacing an entry with the same key.
    Result load(QIODevice *device, GlobalSettings &settings, SystemTable &table);

private:
    enum LineKind { NoSystemLine = 0, KeyLine = 1, RomLine = 2, FileLine = 4, AllLines = 7 };

    void readLine(const QString &line, GlobalSettings &settings, SystemTable &table,
                  Result &result);
    LineKind systemLineKind(const QString &line) const;
    bool beginsNextBlock(LineKind kind) const;
    void takeSystemLine(LineKind kind, const QString &line, const QString &value, Result &result);
    void completeSystem(const GlobalSettings &settings, SystemTable &table, Result &result);
    void dropBlock();

    QString m_baseDirectory;
    qsizetype m_lineNumber = 0;
    // The block being assembled: which of its lines have come, and where it began.
    int m_blockLines = 0;
    qsizetype m_blockStart = 0;
    bool m_emptyLineAfterBlock = false;
    QString m_key;
    QString m_systemName;
    QString m_romPath; // as configured
    QString m_toolFile;
};
