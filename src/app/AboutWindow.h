#pragma once

#include <QDialog>

class CaptionTable;
class DesktopLauncher;
class QLabel;

// The about window: a picture with a link to the maker's web site.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    TFormAbout(const CaptionTable& captions, DesktopLauncher& launcher, QWidget* parent = nullptr);
    void ApplyAboutCaptions();

private:
    const CaptionTable& m_captions;
};
