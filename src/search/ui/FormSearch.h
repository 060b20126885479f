#pragma once

#include "search/ItemMatcher.h"

#include <QDialog>

class CaptionTable;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the keyword and the two search options. Created once and kept, so
// the keyword and options stay as the user left them; Search closes it with
// Accepted, Cancel and Escape with Rejected. Not a tracked dialog: it does
// not count as the open dialog.
class TFormSearch : public QDialog {
    Q_OBJECT
public:
    explicit TFormSearch(const CaptionTable& captions, QWidget* parent = nullptr);

    QString keyword() const;
    bool wholeWords() const;
    bool fieldNames() const;
    SearchOptions options() const;

    void ApplySearchCaptions();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOutControls();
    void FormShow();
    // A label beside a check box stands for the box: releasing a mouse button
    // over it toggles the box.
    void LabelWholeMouseUp();
    void LabelFieldNamesMouseUp();
    static void toggleFromLabel(QCheckBox* box);

    const CaptionTable& m_captions;

    QLabel* m_labelKeyword = nullptr;
    QLineEdit* m_editKeyword = nullptr;
    QCheckBox* m_checkBoxWhole = nullptr;
    QLabel* m_labelWhole = nullptr;
    QCheckBox* m_checkBoxFieldNames = nullptr;
    QLabel* m_labelFieldNames = nullptr;
    QFrame* m_panelLine = nullptr;
    QPushButton* m_buttonSearch = nullptr;
    QPushButton* m_buttonCancel = nullptr;
};
