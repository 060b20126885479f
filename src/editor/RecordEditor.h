#pragma once

#include <QList>
#include <QScrollArea>

#include <pugixml.hpp>

class FieldControl;
class QVBoxLayout;

// The right side of the main window: the fields of the selected record, one
// row each (the field's name, then an input control for its type). Every
// change in a control is written straight into the record's field elements.
//
// The editor control list holds two entries per shown field, the label and
// then the control, in the order of the record's fields; the k-th shown field
// (from 1) has its control at entry 2k-1.
class RecordEditor : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int PanelBorder = 8;
    static constexpr int GapAfterLabel = 3;
    static constexpr int GapAfterControl = 15;

    explicit RecordEditor(QWidget* parent = nullptr);
    ~RecordEditor() override;

    // Frees every control, last to first.
    void ClearRecordEditor();
    // Adds a row for each field among firstNode and its following siblings;
    // firstNode is the first child of the record to show. Call on an empty
    // panel. Shows nothing for fields of none of the seven types.
    void FillRecordEditor(const pugi::xml_node& firstNode);
    // Rewrites the shown record's field elements from the controls, each in
    // its place; other children of the record stay as they are.
    void WriteBackRecord();

    const QList<QWidget*>& controlList() const { return m_controls; }
    bool isEmpty() const { return m_controls.isEmpty(); }
    // Where the next row would start inside the panel.
    int nextRowTop() const { return m_nextRowTop; }

    // Focuses and scrolls to the control of the fieldCounter-th shown field
    // (from 1); does nothing when there is no such control.
    void FocusHitControl(int fieldCounter);
    // Focuses and scrolls to the control of the last shown field, if any.
    void focusLastField();

signals:
    // A control's value changed; emitted before it is written back.
    void fieldEdited();
    // A change other than a date was written back: the record's caption may
    // have changed with it.
    void captionRefreshNeeded();
    // The keyboard focus came into the panel from outside.
    void panelEntered();

private:
    void appendToPanel(QWidget* widget, int gapBelow);
    void appendRow(const QString& name, FieldControl* control);
    void FieldValueChanged(FieldControl* sender);
    void DateValueChanged();
    void PanelScrollEnter(QWidget* previous, QWidget* current);
    bool holds(QWidget* widget) const;

    QWidget* m_panel;
    QVBoxLayout* m_rows;
    QList<QWidget*> m_controls;
    int m_nextRowTop = PanelBorder;
    pugi::xml_node m_record;
};
