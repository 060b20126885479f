#include "app/ui/FormAbout.h"

#include "app/ui/BackgroundPicture.h"
#include "app/ui/HelpLinks.h"
#include "app/ui/WebSite.h"
#include "config/CaptionTable.h"

#include <QLabel>
#include <QPushButton>

namespace {

// Text over the picture, in its lettering and colour, wrapped to the room
// right of the emblem.
QLabel* createPictureText(const QString& objectName, int pixelSize, const QRect& area, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: #1F4E79; background: transparent;"));
    label->setGeometry(area);
    return label;
}

} // namespace

TFormAbout::TFormAbout(const CaptionTable& captions, HelpLinks& links, const QPixmap& picture, QWidget* parent)
    : QDialog(parent)
    , m_captions(captions)
{
    setObjectName(QStringLiteral("FormAbout"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setFixedSize(497, 299);

    BackgroundPicture::showBehind(this, picture);
    m_labelTagline = createPictureText(QStringLiteral("LabelTagline"), 15, QRect(172, 116, 309, 40), this);
    m_labelDescription = createPictureText(QStringLiteral("LabelDescription"), 12, QRect(172, 158, 309, 80), this);

    // The link area over the picture's web address.
    auto* site = new QPushButton(this);
    site->setObjectName(QStringLiteral("LabelSite"));
    site->setFlat(true);
    site->setCursor(Qt::PointingHandCursor);
    site->setStyleSheet(QStringLiteral("background: transparent; border: none;"));
    site->setGeometry(152, 256, 225, 41);
    site->setToolTip(WebSite::address().toString());
    connect(site, &QPushButton::clicked, this, [&links] { links.openWebSite(); });

    ApplyAboutCaptions();
}

void TFormAbout::ApplyAboutCaptions()
{
    setWindowTitle(m_captions.GetCaption(QStringLiteral("AboutCaption"), QStringLiteral("About")));
    m_labelTagline->setText(
        m_captions.GetCaption(QStringLiteral("AboutTagline"), QStringLiteral("A password keeper for your desktop")));
    m_labelDescription->setText(
        m_captions.GetCaption(QStringLiteral("AboutDescription"),
                              QStringLiteral("Groups, records and fields in one file, locked with your password.")));
}
