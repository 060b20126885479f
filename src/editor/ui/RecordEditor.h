#pragma once

#include "editor/ui/FieldRow.h"

#include <QList>
#include <QScrollArea>

#include <pugixml.hpp>

#include <functional>
#include <optional>

class CaptionTable;
class DocumentEditing;
class FieldControl;
class QVBoxLayout;

// The right side of the main window: the fields of the selected record, one
// row each (the field's name, then an input control for its type). Every
// change in a control is written into its field element through the
// document's editing; typing in one field is one step to undo, until
// another field or record is chosen.
//
// The editor control list holds two entries per shown field, the label and
// then the control, in the order of the record's fields; the k-th shown field
// (from 1) has its control at entry 2k-1. Beside each control stand its
// small buttons (FieldRow); the values of secret fields show as dots.
class RecordEditor : public QScrollArea {
    Q_OBJECT
public:
    // Asks the user for a generated password; nothing when they decline.
    using PasswordSource = std::function<std::optional<QString>(QWidget* parent)>;

    static constexpr int PanelBorder = 8;
    static constexpr int GapAfterLabel = 3;
    static constexpr int GapAfterControl = 15;

    RecordEditor(const CaptionTable& captions, DocumentEditing& editing, QWidget* parent = nullptr);
    ~RecordEditor() override;

    // Frees every control, last to first.
    void ClearRecordEditor();
    // Adds a row for each field among firstNode and its following siblings;
    // firstNode is the first child of the record to show. Call on an empty
    // panel. Shows nothing for fields of none of the seven types.
    void FillRecordEditor(const pugi::xml_node& firstNode);

    const QList<QWidget*>& controlList() const { return m_controls; }
    bool isEmpty() const { return m_controls.isEmpty(); }
    // Where the next row would start inside the panel.
    int nextRowTop() const { return m_nextRowTop; }

    // Focuses and scrolls to the control of the fieldCounter-th shown field
    // (from 1); does nothing when there is no such control. A secret stays
    // hidden: the search finds it, but does not show it to onlookers.
    void FocusHitControl(int fieldCounter);
    // Focuses and scrolls to the control of the last shown field, if any.
    void focusLastField();

    // Shows every secret value as dots again.
    void hideSecrets();
    // Copies the value of the shown record's first secret field, or of its
    // first field the user logs in with; false when there is none.
    bool copyFirstSecret();
    bool copyFirstLogin();
    // Copies the current code of the shown record's first one-time code
    // field; false when there is none.
    bool copyFirstCode();
    // The clock one-time codes are shown by, from the next fill on.
    void setClock(UnixClock clock) { m_clock = std::move(clock); }
    // From the next fill on, secret Text fields get a generate button and
    // Text fields a context-menu entry that put a password from source in.
    void setPasswordSource(PasswordSource source);
    // The pictures of the buttons beside the fields, from the next fill on.
    void setFieldButtonIcons(const FieldButtonIcons& icons) { m_buttonIcons = icons; }

signals:
    // A change other than a date was written back: the record's caption may
    // have changed with it.
    void captionRefreshNeeded();
    // The keyboard focus came into the panel from outside.
    void panelEntered();
    // The user asked to copy a field's whole value.
    void copyRequested(const QString& value);

private:
    // Lays out shown and lists entry, the widget or the one inside it.
    void appendToPanel(QWidget* shown, QWidget* entry, int gapBelow);
    void appendRow(const QString& name, FieldControl* control);
    // The widget in the panel that holds entry: its row, or the label itself.
    QWidget* panelChild(QWidget* entry) const;
    QList<FieldRow*> fieldRows() const;
    bool copyFirstFieldWhere(bool (*hasRole)(const QString& name));
    void putGeneratedPassword(FieldControl* control);
    // Writes the field of control's row from it, in its place; the record's
    // other children stay exactly as they are.
    void writeField(FieldControl* control);
    void FieldValueChanged(FieldControl* sender);
    void DateValueChanged(FieldControl* sender);
    void PanelScrollEnter(QWidget* previous, QWidget* current);
    bool holds(QWidget* widget) const;

    const CaptionTable& m_captions;
    DocumentEditing& m_editing;
    PasswordSource m_passwordSource;
    FieldButtonIcons m_buttonIcons;
    UnixClock m_clock = systemUnixClock();
    QWidget* m_panel;
    QVBoxLayout* m_rows;
    QList<QWidget*> m_controls;
    int m_nextRowTop = PanelBorder;
    pugi::xml_node m_record;
    // The control last typed in, while no other field has been chosen since.
    FieldControl* m_typingIn = nullptr;
};
