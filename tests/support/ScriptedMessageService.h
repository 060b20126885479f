#pragma once

#include "platform/MessageService.h"

#include <QList>
#include <QQueue>
#include <QString>

// Answers questions and file dialogs from a script given in advance and
// records every message that was shown. A box with only Ok is answered Ok
// without taking a scripted answer; an unscripted question is answered with
// Cancel and an unscripted file dialog is cancelled.
class ScriptedMessageService final : public MessageService {
public:
    struct Shown {
        Kind kind;
        QString text;
        Buttons buttons;
    };

    QQueue<Answer> answers;
    QQueue<QString> fileNames;
    QList<Shown> shown;
    // The title of each file dialog shown, and where it started, in order.
    QStringList fileDialogTitles;
    QStringList fileDialogStarts;
    // The types each save dialog offered, and the one it started on.
    struct SaveDialog {
        QStringList filters;
        int preselected;
    };
    QList<SaveDialog> saveDialogs;
    QQueue<int> filterChoices;
    // The buttons chosen in the questions of choose(); unscripted, Escape.
    QQueue<int> choices;

    Answer show(Kind kind, const QString& text, Buttons buttons) override;
    int choose(Kind kind, const QString& text, const QStringList& buttons, int defaultChoice,
               int escapeChoice) override;
    QString openFileName(const QString& title, const QString& filter, const QString& defaultSuffix,
                         const QString& startPath) override;
    // Keeps the type the dialog starts on unless filterChoices names one;
    // a name with one of the types' extensions is of that type, as in the
    // dialog. A refused name shows the refusal as an error, and the next
    // name is chosen instead.
    QString saveFileName(const QString& title, const QStringList& filters, int& selected, const QString& startPath,
                         const Refusal& refusal) override;

    // The texts shown so far, in order.
    QStringList texts() const;
    // Their first lines: what failed, without the why.
    QStringList headlines() const;
};
