#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Every modal message box and file dialog of the program goes through this
// service, so tests can answer them in advance.
class MessageService {
public:
    // The four kinds of message box; each is titled by its kind's name in
    // the chosen language ("Error", "Information", "Confirm", "Warning"). A
    // Warning asks before something that cannot be taken back: Enter gives
    // its most cautious answer, as Escape does.
    enum class Kind { Error, Information, Confirm, Warning };
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~MessageService() = default;

    // Why a save dialog must not take a path the user chose; empty when it may.
    using Refusal = std::function<QString(const QString& path)>;

    virtual Answer show(Kind kind, const QString& text, Buttons buttons = Buttons::Ok) = 0;
    // A question whose answers are the buttons named, in that order; Enter
    // gives defaultChoice, Escape and the close box give escapeChoice. The
    // index of the button chosen.
    virtual int choose(Kind kind, const QString& text, const QStringList& buttons, int defaultChoice,
                       int escapeChoice) = 0;

    // A file dialog's title says what the file is for ("Import"); an empty
    // title leaves the dialog's own ("Open", "Save As"). It starts at
    // startPath, a folder, or a file whose folder it shows with the file's
    // name filled in; when that is empty, in the folder last chosen from, else
    // in the home folder.
    // The chosen path, or empty when the dialog was cancelled. filter is in
    // Qt's form ("ZV Files (*.zv)"); defaultSuffix without the dot.
    virtual QString openFileName(const QString& title, const QString& filter, const QString& defaultSuffix,
                                 const QString& startPath) = 0;
    // The chosen path, or empty when cancelled. A path refusal names is
    // refused with its message, and the user chooses again; before that, no
    // question about replacing the file. Otherwise asks before overwriting an
    // existing file. filters: one type each, in Qt's form ("ZV Files (*.zv)").
    // The dialog starts on filters[selected] and gives back in selected the
    // type of the file: the one in use, whose extension a name typed without
    // one receives, unless the name was typed with another type's extension.
    virtual QString saveFileName(const QString& title, const QStringList& filters, int& selected,
                                 const QString& startPath, const Refusal& refusal) = 0;

    // The first extension of a filter in Qt's form: "zvx" of "Protected (*.zvx)".
    static QString suffixOf(const QString& filter);
    // The index of the filter whose extension path has, else chosen: a name
    // typed with an extension is never contradicted by the type in use.
    static int typeOfName(const QString& path, const QStringList& filters, int chosen);
};
