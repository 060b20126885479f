#include "app/MainWindow.h"

TFormMain::TFormMain(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Zantrove 1.1"));
    resize(727, 566);
}
