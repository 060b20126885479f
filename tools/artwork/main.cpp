#include "SvgArtwork.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: zantrove-artwork render SVG OUTPUT WIDTH HEIGHT\n"
               "       zantrove-artwork sheet OUTPUT.png SVG...\n",
               stderr);
    return 2;
}

int fail(const QString& message)
{
    std::fprintf(stderr, "zantrove-artwork: %s\n", qPrintable(message));
    return 1;
}

int renderOne(const QStringList& arguments)
{
    bool widthOk = false;
    bool heightOk = false;
    const QSize size(arguments[4].toInt(&widthOk), arguments[5].toInt(&heightOk));
    if (!widthOk || !heightOk || size.isEmpty())
        return usage();
    const QImage image = SvgArtwork::render(arguments[2], size);
    if (image.isNull())
        return fail(arguments[2] + " is no valid SVG file");
    if (!SvgArtwork::write(image, arguments[3]))
        return fail("cannot write " + arguments[3]);
    return 0;
}

int renderSheet(const QStringList& arguments)
{
    const QImage sheet = SvgArtwork::contactSheet(arguments.mid(3));
    if (sheet.isNull())
        return fail("one of the icons is no valid SVG file");
    if (!SvgArtwork::write(sheet, arguments[2]))
        return fail("cannot write " + arguments[2]);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    // Text in the pictures needs the font machinery of a GUI application, but
    // never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    const QString command = arguments.value(1);
    if (command == "render" && arguments.size() == 6)
        return renderOne(arguments);
    if (command == "sheet" && arguments.size() > 3)
        return renderSheet(arguments);
    return usage();
}
