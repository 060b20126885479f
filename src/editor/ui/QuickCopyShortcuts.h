#pragma once

#include <QObject>

class CaptionTable;
class RecordEditor;
class QKeyEvent;
class QWidget;

// The copy keys of the tree: Ctrl+C copies the shown record's first secret
// field, Ctrl+B the first field the user logs in with. Only while the tree
// has the keyboard; in a field the keys keep their ordinary meaning.
class QuickCopyShortcuts : public QObject {
    Q_OBJECT
public:
    QuickCopyShortcuts(QWidget& tree, RecordEditor& editor, const CaptionTable& captions);

signals:
    // The record has no such field: says so, for the status bar.
    void nothingToCopy(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct QuickCopy;
    // The copy a key stands for, if any.
    static const QuickCopy* copyFor(const QKeyEvent& key);

    RecordEditor& m_editor;
    const CaptionTable& m_captions;
};
