#include "ScriptedMessageService.h"

#include <QStringList>

MessageService::Answer ScriptedMessageService::show(Kind kind, const QString& text, Buttons buttons)
{
    shown.append({kind, text, buttons});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return answers.isEmpty() ? Answer::Cancel : answers.dequeue();
}

int ScriptedMessageService::choose(Kind kind, const QString& text, const QStringList&, int, int escapeChoice)
{
    shown.append({kind, text, Buttons::YesNoCancel});
    return choices.isEmpty() ? escapeChoice : choices.dequeue();
}

QString ScriptedMessageService::openFileName(const QString& title, const QString&, const QString&,
                                             const QString& startPath)
{
    fileDialogTitles << title;
    fileDialogStarts << startPath;
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QString ScriptedMessageService::saveFileName(const QString& title, const QStringList& filters, int& selected,
                                             const QString& startPath, const Refusal& refusal)
{
    fileDialogTitles << title;
    fileDialogStarts << startPath;
    saveDialogs.append({filters, selected});
    if (!filterChoices.isEmpty())
        selected = filterChoices.dequeue();
    QString name = fileNames.isEmpty() ? QString() : fileNames.dequeue();
    while (!name.isEmpty() && refusal) {
        const QString why = refusal(name);
        if (why.isEmpty())
            break;
        shown.append({Kind::Error, why, Buttons::Ok});
        name = fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    selected = typeOfName(name, filters, selected);
    return name;
}

QStringList ScriptedMessageService::texts() const
{
    QStringList result;
    for (const Shown& message : shown)
        result << message.text;
    return result;
}

QStringList ScriptedMessageService::headlines() const
{
    QStringList lines;
    for (const Shown& message : shown)
        lines << message.text.section(QLatin1Char('\n'), 0, 0);
    return lines;
}
