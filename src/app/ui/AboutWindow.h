#pragma once

#include <QDialog>
#include <QPixmap>

class CaptionTable;
class HelpLinks;

// The about window: a picture with a link to the maker's web site.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    TFormAbout(const CaptionTable& captions, HelpLinks& links, const QPixmap& picture,
               QWidget* parent = nullptr);
    void ApplyAboutCaptions();

private:
    const CaptionTable& m_captions;
};
