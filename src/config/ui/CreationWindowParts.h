#pragma once

#include <QIcon>
#include <QList>
#include <QString>

class CaptionTable;
class QComboBox;
class QDialog;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Controls and habits that the item creation windows share.
namespace CreationWindowParts {

// A fixed frame with only a close box.
void setDialogFrame(QDialog* dialog);

// A widget of type T named objectName, a child of parent.
template <typename T>
T* createNamed(const QString& objectName, QWidget* parent)
{
    auto* widget = new T(parent);
    widget->setObjectName(objectName);
    return widget;
}

QLabel* createLabel(const QString& objectName, QWidget* parent);
QLineEdit* createEdit(const QString& objectName, QWidget* parent);
QPushButton* createButton(const QString& objectName, QWidget* parent);

// Ok is the default button; each window connects its own check to it.
// Cancel rejects, as Escape does.
QPushButton* createOkButton(QDialog* dialog);
QPushButton* createCancelButton(QDialog* dialog);
QHBoxLayout* buttonRow(QPushButton* ok, QPushButton* cancel);

// An icon drop-down showing icons[first] .. icons[first + count - 1], in that
// order, as entries without text; the entry position is the type position.
QComboBox* createIconList(const QList<QIcon>& icons, int first, int count, QWidget* parent);
// The first entry, or none when the list is empty.
void selectFirst(QComboBox* list);

// A label's text: the caption, then ":".
QString labelCaption(const CaptionTable& captions, const char* key, const char* englishDefault);
void applyButtonCaptions(const CaptionTable& captions, QPushButton* ok, QPushButton* cancel);

// Centres window over its parent window, or over its screen without one.
void centreOverParent(QWidget* window);

} // namespace CreationWindowParts
