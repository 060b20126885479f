#include "config/ui/CreationWindowParts.h"

#include "config/CaptionTable.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace CreationWindowParts {

namespace {

constexpr int IconListRows = 8;

} // namespace

void setDialogFrame(QDialog* dialog)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint);
}

// Captions come from language files: shown as written, never as markup.
QLabel* createLabel(const QString& objectName, QWidget* parent)
{
    auto* label = createNamed<QLabel>(objectName, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLineEdit* createEdit(const QString& objectName, QWidget* parent)
{
    return createNamed<QLineEdit>(objectName, parent);
}

QPushButton* createButton(const QString& objectName, QWidget* parent)
{
    return createNamed<QPushButton>(objectName, parent);
}

QPushButton* createOkButton(QDialog* dialog)
{
    QPushButton* ok = createButton(QStringLiteral("JvXPButtonOk"), dialog);
    ok->setDefault(true);
    return ok;
}

QPushButton* createCancelButton(QDialog* dialog)
{
    QPushButton* cancel = createButton(QStringLiteral("JvXPButtonCancel"), dialog);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return cancel;
}

QHBoxLayout* buttonRow(QPushButton* ok, QPushButton* cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

QComboBox* createIconList(const QList<QIcon>& icons, int first, int count, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("ComboBoxExIcons"));
    list->setMaxVisibleItems(IconListRows);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (int position = 0; position < count; ++position)
        list->addItem(icons.value(first + position), QString());
    return list;
}

void selectFirst(QComboBox* list)
{
    list->setCurrentIndex(list->count() > 0 ? 0 : -1);
}

QString labelCaption(const CaptionTable& captions, const char* key, const char* englishDefault)
{
    return captions.GetCaption(QLatin1String(key), QLatin1String(englishDefault)) + QLatin1Char(':');
}

void applyButtonCaptions(const CaptionTable& captions, QPushButton* ok, QPushButton* cancel)
{
    ok->setText(captions.GetCaption(QStringLiteral("ButtonOk"), QStringLiteral("Ok")));
    cancel->setText(captions.GetCaption(QStringLiteral("ButtonCancel"), QStringLiteral("Cancel")));
}

void centreOverParent(QWidget* window)
{
    const QWidget* parent = window->parentWidget();
    QRect area;
    if (parent && parent->isVisible())
        area = parent->window()->frameGeometry();
    else if (const QScreen* screen = window->screen())
        area = screen->availableGeometry();
    if (area.isValid())
        window->move(area.center() - window->rect().center());
}

} // namespace CreationWindowParts
