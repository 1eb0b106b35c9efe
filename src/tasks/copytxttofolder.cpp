#include "tasks/copytxttofolder.h"

#include "lists/regularfile.h"
#include "settings/systementry.h"
#include "settings/typedpath.h"
#include "tasks/threadedfunctions.h"
#include "widgets/createchild.h"
#include "widgets/toolwindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

// An existing folder named by a non-empty text: an empty one would mean the current directory.
bool isFolder(const QString &text)
{
    return !text.isEmpty() && QDir(text).exists();
}

} // namespace

void Ui::CopyTxtToFolder::setupUi(QWidget *window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QLatin1String("CopyTxtToFolder"));
    window->setFixedSize(384, 171);
    // The main window's 8-point size, and a little narrower for the box, so that "Search Sub Dirs"
    // fits its fixed 101 pixels in the wider fonts of other platforms.
    useMainWindowFont(window);
    listLabel = createChild<QLabel>(window, "label", 8, 24, 100, 16);
    listFileEdit = createChild<QLineEdit>(window, "lineEdit", 120, 16, 200, 20);
    listFileButton = createChild<QPushButton>(window, "pushButton", 336, 16, 32, 23);
    fileFolderLabel = createChild<QLabel>(window, "label_2", 8, 56, 64, 23);
    fileFolderEdit = createChild<QLineEdit>(window, "lineEdit_2", 120, 56, 200, 20);
    fileFolderButton = createChild<QPushButton>(window, "pushButton_2", 336, 56, 32, 23);
    destinationLabel = createChild<QLabel>(window, "label_3", 8, 96, 96, 23);
    destinationEdit = createChild<QLineEdit>(window, "lineEdit_3", 120, 96, 200, 20);
    destinationButton = createChild<QPushButton>(window, "pushButton_3", 336, 96, 32, 23);
    searchSubDirsBox = createChild<QCheckBox>(window, "checkBox", 120, 136, 101, 32);
    // Each label names its field, to assistive technology too.
    listLabel->setBuddy(listFileEdit);
    fileFolderLabel->setBuddy(fileFolderEdit);
    destinationLabel->setBuddy(destinationEdit);
    QFont narrow = window->font();
    narrow.setLetterSpacing(QFont::PercentageSpacing, 90);
    searchSubDirsBox->setFont(narrow);
    goButton = createChild<QPushButton>(window, "pushButton_4", 296, 136, 75, 23);
    retranslateUi(window);
    QMetaObject::connectSlotsByName(window);
}

void Ui::CopyTxtToFolder::retranslateUi(QWidget *window)
{
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("CopyTxtToFolder", text);
    };
    window->setWindowTitle(tr("Copy Files From *.txt to File Destination"));
    listLabel->setText(tr("Select *.txt"));
    listFileButton->setText(tr("...."));
    fileFolderLabel->setText(tr("File Folder"));
    fileFolderButton->setText(tr("...."));
    destinationLabel->setText(tr("File Destination"));
    destinationButton->setText(tr("...."));
    searchSubDirsBox->setText(tr("Search Sub Dirs"));
    goButton->setText(tr("Go"));
}

CopyTxtToFolder::CopyTxtToFolder(int x, int y, int width)
    : m_ui(new Ui::CopyTxtToFolder)
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    move(toolWindowPosition(this, x, y, width));
    // A window still open, or still copying, when the program ends goes first, with its thread.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            [this] { delete this; });
}

CopyTxtToFolder::~CopyTxtToFolder()
{
    if (m_worker) {
        m_worker->requestStop();
        delete m_worker; // waits for the task, which has then queued its report to this window
        m_worker = nullptr;
        // Deliver that report now, before this window goes; the close it asks for is moot.
        // A task stopped before it began sends none.
        setAttribute(Qt::WA_DeleteOnClose, false);
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        if (!m_reported) // stopped before it began: the main window still waits for word
            emit StopGifSignal(tr("Copy Files From *.txt to File Destination Stopped"), false);
    }
    delete m_ui;
}

void CopyTxtToFolder::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        m_ui->retranslateUi(this);
    QWidget::changeEvent(event);
}

void CopyTxtToFolder::on_pushButton_clicked()
{
    const QString file =
        QFileDialog::getOpenFileName(this, tr("Set Text File"), QString(), tr("Text File (*.txt)"));
    if (!file.isEmpty())
        m_ui->listFileEdit->setText(file);
}

void CopyTxtToFolder::on_pushButton_2_clicked()
{
    const QString folder = QFileDialog::getExistingDirectory(
        this, tr("Open Directory"), QDir::currentPath(), QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        m_ui->fileFolderEdit->setText(folder);
}

void CopyTxtToFolder::on_pushButton_3_clicked()
{
    const QString folder = QFileDialog::getExistingDirectory(
        this, tr("Open Directory"), QDir::currentPath(), QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        m_ui->destinationEdit->setText(folder);
}

// Checks the three fields, then hands the copy to a worker and waits hidden for its report.
void CopyTxtToFolder::on_pushButton_4_clicked()
{
    const QString txtName = resolvedTypedPath(m_ui->listFileEdit->text());
    const QString dir = resolvedTypedPath(m_ui->fileFolderEdit->text());
    const QString destDir = resolvedTypedPath(m_ui->destinationEdit->text());
    // Only a regular file is a list: a FIFO picked here would hold up the window and the copy.
    if (readRegularFile(txtName, 0).failed()) {
        QMessageBox::warning(this, tr("Warning"), tr("Problem reading txt file %1").arg(txtName));
        return;
    }
    if (!isFolder(dir)) {
        QMessageBox::warning(this, tr("Warning"), tr("File folder doesn't exist."));
        return;
    }
    if (!isFolder(destDir)) {
        QMessageBox::warning(this, tr("Warning"), tr("File destination doesn't exist."));
        return;
    }

    m_worker = new ThreadedFunctions;
    hide();
    emit StartGif();
    connect(m_worker, &ThreadedFunctions::taskCompleted, this, &CopyTxtToFolder::StopGif);
    connect(m_worker, &ThreadedFunctions::taskCompleted, this, &QWidget::close);
    m_worker->copyFromTxtInvoke(txtName, withTrailingSlash(destDir), withTrailingSlash(dir),
                                m_ui->searchSubDirsBox->isChecked());
}

void CopyTxtToFolder::StopGif(QString textEditMsg, bool deleteThreadedObject)
{
    m_reported = true;
    emit StopGifSignal(textEditMsg, deleteThreadedObject);
}
