#include "app/ui/AboutWindow.h"

#include "app/ui/BackgroundPicture.h"
#include "app/ui/HelpLinks.h"
#include "app/ui/WebSite.h"
#include "config/CaptionTable.h"

#include <QPushButton>

TFormAbout::TFormAbout(const CaptionTable& captions, HelpLinks& links, const QPixmap& picture,
                       QWidget* parent)
    : QDialog(parent)
    , m_captions(captions)
{
    setObjectName(QStringLiteral("FormAbout"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setFixedSize(497, 299);

    BackgroundPicture::showBehind(this, picture);

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
}
