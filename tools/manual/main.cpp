#include "ManualPdf.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextDocument>
#include <QTextStream>

// zantrove-manual MANUAL.md MANUAL.pdf: the build's step from the manual's
// source to the PDF shipped beside the program.
int main(int argc, char* argv[])
{
    // A build step shows nothing: it needs the fonts, never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream err(stderr);

    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 3) {
        err << "Usage: zantrove-manual MANUAL.md MANUAL.pdf\n";
        return 2;
    }
    QFile source(arguments.at(1));
    if (!source.open(QIODevice::ReadOnly)) {
        err << "zantrove-manual: cannot read " << arguments.at(1) << ": " << source.errorString() << '\n';
        return 1;
    }
    const std::unique_ptr<QTextDocument> manual =
        ManualPdf::typeset(QString::fromUtf8(source.readAll()), QFileInfo(source).absolutePath());
    if (!ManualPdf::write(*manual, arguments.at(2))) {
        err << "zantrove-manual: cannot write " << arguments.at(2) << '\n';
        return 1;
    }
    return 0;
}
