#pragma once

#include "platform/MessageService.h"

#include <QFileDialog>
#include <QPointer>

#include <functional>

class QWidget;

// Message boxes and file dialogs on Qt Widgets. Each is application-modal and
// centred on the parent widget when one is set.
class QtMessageService final : public MessageService {
public:
    void setParentWidget(QWidget* parent);
    // The title of each kind of box, looked up when the box is shown.
    void setTitles(std::function<QString(Kind)> titles);

    Answer show(Kind kind, const QString& text, Buttons buttons = Buttons::Ok) override;
    int choose(Kind kind, const QString& text, const QStringList& buttons, int defaultChoice,
               int escapeChoice) override;
    QString openFileName(const QString& title, const QString& filter, const QString& defaultSuffix,
                         const QString& startPath) override;
    QString saveFileName(const QString& title, const QStringList& filters, int& selected, const QString& startPath,
                         const Refusal& refusal) override;

private:
    QString chooseFile(QFileDialog& dialog);
    QString startingPoint(const QString& startPath) const;
    QString titleOf(Kind kind) const;

    QPointer<QWidget> m_parent;
    // Where the last file was chosen, for a dialog not told where to start.
    QString m_lastFolder;
    std::function<QString(Kind)> m_titles;
};
