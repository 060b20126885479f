#pragma once

#include <QObject>

class CaptionTable;
class QAbstractScrollArea;
class QWidget;
class RecordEditor;
class QKeyEvent;

// The copy keys of the tree: Ctrl+C copies the shown record's first secret
// field, Ctrl+B the first field the user logs in with, Ctrl+T the current
// code of its first one-time code field. Only while the tree
// has the keyboard, its caption editor included: a user who reaches for the
// password there must not paste the record's name instead (the caption's
// text is still copied with Ctrl+Insert or the editor's menu). In a field
// of the record the keys keep their ordinary meaning.
class QuickCopyShortcuts : public QObject {
    Q_OBJECT
public:
    QuickCopyShortcuts(QAbstractScrollArea& tree, RecordEditor& editor, const CaptionTable& captions);

signals:
    // The record has no such field: says so, for the status bar.
    void nothingToCopy(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct QuickCopy;
    // The copy a key stands for, if any.
    static const QuickCopy* copyFor(const QKeyEvent& key);

    // The caption editors open on the tree's viewport.
    QWidget* m_viewport;
    RecordEditor& m_editor;
    const CaptionTable& m_captions;
};
