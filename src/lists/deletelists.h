#pragma once

#include "lists/listdeletion.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QComboBox;

// The Delete Lists window: removes the Miss lists, Have lists and database files of one system
// or of all ("Clean All"). It works on the systems it was given when it opened and deletes
// itself when closed.
class DeleteLists : public QWidget
{
    Q_OBJECT

public:
    // The lists run in selector order; x, y and width are the main window's. With no system
    // to offer it warns and closes itself at once: show it only when hasSystems().
    DeleteLists(const QStringList &keys, const QStringList &romPaths, const QStringList &toolFiles,
                const QString &goodExeDir, bool sameAsRomPath, int x, int y, int width);

    bool hasSystems() const;

private slots:
    void on_pushButton_clicked();

private:
    void setupForm();

    QCheckBox *m_missListsBox;
    QCheckBox *m_haveListsBox;
    QCheckBox *m_databaseFilesBox;
    QComboBox *m_systemBox;

    ListDeletion m_deletion;
    QList<int> m_systemOfItem; // system index of each box item after "Clean All"
};
