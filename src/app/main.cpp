#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Zantrove"));
    TFormMain window;
    window.show();
    return QApplication::exec();
}
