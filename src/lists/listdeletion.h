#pragma once

#include <QString>
#include <QStringList>

// Chooses the lists and database files the tools left behind, for all systems or for one, and
// removes them. Only files directly inside a ROM directory or the tools' directory are touched.
class ListDeletion
{
public:
    struct System
    {
        QString key;      // such as "[Gen"
        QString romPath;  // as stored, normally ending in "/"
        QString toolFile; // such as GoodGen.exe
    };

    ListDeletion(const QList<System> &systems, const QString &goodExeDir, bool sameAsRomPath);

    // The files to remove, Miss lists first, then Have lists, then database files. A negative
    // `system` means every system ("Clean All"), otherwise the index into the systems.
    QStringList chooseFiles(int system, bool missLists, bool haveLists, bool databases) const;

    // Removes each listed file that still exists; returns those that could not be removed.
    static QStringList removeFiles(const QStringList &paths);

    // The names one system's files carry.
    static QString listName(const QString &toolFile, const QString &suffix);
    static QString databaseName(const System &system, bool sameAsRomPath);

private:
    void addListFiles(int system, const QString &suffix, bool anywhereInName,
                      QStringList *files) const;
    void addDatabaseFiles(int system, QStringList *files) const;

    QList<System> m_systems;
    QString m_goodExeDir;
    bool m_sameAsRomPath;
};
