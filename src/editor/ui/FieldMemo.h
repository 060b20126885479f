#pragma once

#include "editor/ui/FieldControl.h"

#include <QPlainTextEdit>

// The multi-line box of a Long Text field. It holds plain text and takes at
// most MaxTypedLength characters (a line break counts as one), however they
// come in: typed, pasted, dropped or composed by an input method.
class FieldMemo : public QPlainTextEdit, public FieldControl {
    Q_OBJECT
public:
    static constexpr int MaxTypedLength = 5000;

    explicit FieldMemo(const QString& storedText, QWidget* parent = nullptr);

    FieldType fieldType() const override { return FieldType::LongText; }
    QString storedText() const override;
    QString shownText() const override { return toPlainText(); }
    void onValueChanged(std::function<void()> handler) override;
    QWidget* widget() override { return this; }

    int length() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // How many more characters fit when the selection is replaced.
    int room() const;

    int m_maxLength;
};
