#pragma once

#include <QDialog>
#include <QPixmap>

class CaptionTable;
class HelpLinks;
class QLabel;

// The about window: a picture with a link to the maker's web site, and the
// words about the program over it in the chosen language.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    TFormAbout(const CaptionTable& captions, HelpLinks& links, const QPixmap& picture, QWidget* parent = nullptr);
    void ApplyAboutCaptions();

private:
    const CaptionTable& m_captions;
    QLabel* m_labelTagline = nullptr;
    QLabel* m_labelDescription = nullptr;
};
