#include "help/helpcommands.h"

#include "help/helppage.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextEdit>

void showVersionReply(VersionVerdict verdict, QWidget *parent, QTextEdit *output)
{
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("MainWindow", text);
    };
    QString message;
    switch (verdict) {
    case VersionVerdict::Current:
        output->setPlainText(tr("Version reply: Your version is current."));
        return;
    case VersionVerdict::Problem:
        message = tr("Problem getting version number.");
        break;
    case VersionVerdict::Outdated:
        message = tr("Your version is not current.\nGo to Help->Website for the latest version.");
        break;
    case VersionVerdict::Higher:
        message = tr("Your version is higher than the current public release.\n"
                     "Please e-mail this message and the name of your operating system to "
                     "tessary@example.org.");
        break;
    }
    QMessageBox::warning(parent, tr("Version reply"), message);
}

bool openHelpPage(const QString &programDir)
{
    return QFileInfo(helpPagePath(programDir)).isFile() &&
           QDesktopServices::openUrl(helpPageUrl(programDir));
}

void openWebsite()
{
    QDesktopServices::openUrl(websiteUrl());
}
