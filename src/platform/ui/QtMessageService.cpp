#include "platform/ui/QtMessageService.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace {

QMessageBox::Icon iconOf(MessageService::Kind kind)
{
    switch (kind) {
    case MessageService::Kind::Error: return QMessageBox::Critical;
    case MessageService::Kind::Information: return QMessageBox::Information;
    case MessageService::Kind::Confirm: return QMessageBox::Question;
    case MessageService::Kind::Warning: return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons standardButtonsOf(MessageService::Buttons buttons)
{
    switch (buttons) {
    case MessageService::Buttons::Ok: return QMessageBox::Ok;
    case MessageService::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageService::Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// What Escape or the close box answers: the most cautious button of the set.
QMessageBox::StandardButton escapeButtonOf(MessageService::Buttons buttons)
{
    switch (buttons) {
    case MessageService::Buttons::Ok: return QMessageBox::Ok;
    case MessageService::Buttons::YesNo: return QMessageBox::No;
    case MessageService::Buttons::YesNoCancel: return QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

MessageService::Answer answerOf(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Yes: return MessageService::Answer::Yes;
    case QMessageBox::No: return MessageService::Answer::No;
    case QMessageBox::Cancel: return MessageService::Answer::Cancel;
    default: return MessageService::Answer::Ok;
    }
}

MessageService::Answer showBox(QWidget* parent, MessageService::Kind kind, const QString& title, const QString& text,
                               MessageService::Buttons buttons)
{
    QMessageBox box(iconOf(kind), title, text, standardButtonsOf(buttons), parent);
    // Messages quote file names and user input, which must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    const QMessageBox::StandardButton escape = escapeButtonOf(buttons);
    box.setEscapeButton(escape);
    // A warning asks before something that cannot be taken back: Enter must not say yes to it.
    if (kind == MessageService::Kind::Warning)
        box.setDefaultButton(escape);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    return answerOf(clicked ? box.standardButton(clicked) : escape);
}

// A save dialog that says why it refuses a path before the dialog's own
// question about replacing the file, and stays open for another choice.
class RefusingFileDialog final : public QFileDialog {
public:
    RefusingFileDialog(QWidget* parent, const QString& title, const QString& start, MessageService::Refusal refusal,
                       QString errorTitle)
        : QFileDialog(parent, title, start)
        , m_refusal(std::move(refusal))
        , m_errorTitle(std::move(errorTitle))
    {
    }

    void accept() override
    {
        const QString chosen = selectedFiles().value(0);
        if (m_refusal && !QFileInfo(chosen).isDir()) {
            if (const QString why = m_refusal(chosen); !why.isEmpty()) {
                showBox(this, MessageService::Kind::Error, m_errorTitle, why, MessageService::Buttons::Ok);
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    MessageService::Refusal m_refusal;
    QString m_errorTitle;
};

} // namespace

void QtMessageService::setParentWidget(QWidget* parent)
{
    m_parent = parent;
}

void QtMessageService::setTitles(std::function<QString(Kind)> titles)
{
    m_titles = std::move(titles);
}

QString QtMessageService::titleOf(Kind kind) const
{
    return m_titles ? m_titles(kind) : QString();
}

MessageService::Answer QtMessageService::show(Kind kind, const QString& text, Buttons buttons)
{
    return showBox(m_parent, kind, titleOf(kind), text, buttons);
}

int QtMessageService::choose(Kind kind, const QString& text, const QStringList& buttons, int defaultChoice,
                             int escapeChoice)
{
    QMessageBox box(iconOf(kind), titleOf(kind), text, QMessageBox::NoButton, m_parent);
    box.setTextFormat(Qt::PlainText);
    QList<QAbstractButton*> made;
    for (const QString& name : buttons)
        made << box.addButton(name, QMessageBox::ActionRole);
    box.setDefaultButton(qobject_cast<QPushButton*>(made.value(defaultChoice)));
    box.setEscapeButton(made.value(escapeChoice));
    box.exec();
    const qsizetype chosen = made.indexOf(box.clickedButton());
    return chosen < 0 ? escapeChoice : int(chosen);
}

QString QtMessageService::startingPoint(const QString& startPath) const
{
    if (!startPath.isEmpty())
        return startPath;
    return m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder;
}

QString QtMessageService::openFileName(const QString& title, const QString& filter, const QString& defaultSuffix,
                                       const QString& startPath)
{
    QFileDialog dialog(m_parent, title, startingPoint(startPath));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    return chooseFile(dialog);
}

QString QtMessageService::saveFileName(const QString& title, const QStringList& filters, int& selected,
                                       const QString& startPath, const Refusal& refusal)
{
    RefusingFileDialog dialog(m_parent, title, startingPoint(startPath), refusal, titleOf(Kind::Error));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    // The extension follows the type chosen, before the name is checked for
    // an existing file.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    dialog.selectNameFilter(filters.value(selected));
    dialog.setDefaultSuffix(suffixOf(filters.value(selected)));
    QString path = chooseFile(dialog);
    if (!path.isEmpty())
        selected = typeOfName(path, filters, std::max<int>(0, filters.indexOf(dialog.selectedNameFilter())));
    return path;
}

QString QtMessageService::chooseFile(QFileDialog& dialog)
{
    // A dialog of the desktop's own could not be hidden by the automatic lock.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QString path = dialog.selectedFiles().value(0);
    m_lastFolder = QFileInfo(path).absolutePath();
    return path;
}
