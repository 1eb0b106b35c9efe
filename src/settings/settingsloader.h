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

// The file whose existence decides whether the selector offers a system. A tool file that does
// not begin with "Good" is a complete path of its own.
QString toolPathToCheck(const SystemEntry &entry, const GlobalSettings &settings);

// The selector shows a system as its key, a space and its name.
QString selectorText(const SystemEntry &entry);
// The key of a selector item: its text up to the first space, or all of it when it has none.
QString selectorKey(const QString &selectorText);

// Reads the line grammar of Tessary.ini. One loader serves every load of a window: the system
// being assembled is kept between lines and between loads, so a block missing one of its three
// lines borrows the value that an earlier line, or an earlier load, left behind.
//
// A relative directory in the file starts at `baseDirectory`, the file's own folder, and is
// resolved as it is read: every tool run changes the current directory, which must not move a
// system's ROMs or tools.
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
    void readLine(const QString &line, GlobalSettings &settings, SystemTable &table,
                  Result &result);
    bool readSystemLine(const QString &line, const QString &value, Result &result);
    void completeSystem(const GlobalSettings &settings, SystemTable &table, Result &result);

    QString m_baseDirectory;
    QString m_key;
    QString m_systemName;
    QString m_romPath; // as configured
    QString m_toolFile;
    int m_systemLines = 0;
};
