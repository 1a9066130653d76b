#include "platform/DesktopServices.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

namespace platform {

namespace {

QMessageBox::StandardButton toButton(Answer answer)
{
    switch (answer) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon toIcon(Icon icon)
{
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

Answer DesktopMessageService::show(const Message& message)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(message.title.isEmpty() ? QApplication::applicationName() : message.title);
    box.setText(message.text);
    box.setIcon(toIcon(message.icon));
    switch (message.buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    }
    box.setDefaultButton(toButton(message.defaultAnswer));
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        // Closed with Escape or the close box.
        return message.buttons == Buttons::Ok      ? Answer::Ok
               : message.buttons == Buttons::YesNo ? Answer::No
                                                   : Answer::Cancel;
    }
}

QString filterSuffix(const QString& filter)
{
    // "CSV File(*.csv)": the first pattern names one extension; "*.*" and
    // "*" name none.
    static const QRegularExpression pattern(QStringLiteral(R"(\(\s*\*\.(\w+)[\s;)])"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString DesktopFileDialogService::getSaveFileName(const SaveDialogRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    dialog.setOption(QFileDialog::DontUseNativeDialog, m_useOwnDialog);
    const QStringList filters = request.filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    dialog.setNameFilters(filters);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    // A name typed without an extension gets the one of the chosen filter
    // (".csv" while "CSV File" is chosen), before the overwrite question is
    // asked about it.
    dialog.setDefaultSuffix(filters.isEmpty() ? QString() : filterSuffix(filters.first()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(filterSuffix(filter)); });
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

bool DesktopClipboardService::setText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text, QClipboard::Clipboard);
    return true;
}

QString DesktopClipboardService::text() const
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text(QClipboard::Clipboard) : QString();
}

bool DesktopProcessLauncher::startDetached(const QString& program, const QStringList& arguments,
                                           const QString& workingDirectory)
{
    return QProcess::startDetached(program, arguments, workingDirectory);
}

bool DesktopProcessLauncher::openUrl(const QString& url)
{
    return QDesktopServices::openUrl(QUrl(url));
}

}  // namespace platform
