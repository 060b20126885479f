#include "SvgArtwork.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSvgRenderer>

namespace {

constexpr int JpegQuality = 92;
constexpr int SheetColumns = 9;
constexpr QSize SheetCell(80, 144);
constexpr int Magnified = 4;

QImage opaqueOnWhite(const QImage& image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

} // namespace

namespace SvgArtwork {

QImage render(const QString& svgFile, QSize size)
{
    QSvgRenderer renderer(svgFile);
    if (!renderer.isValid())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

bool write(const QImage& image, const QString& outputFile)
{
    if (!QDir().mkpath(QFileInfo(outputFile).absolutePath()))
        return false;
    const QString suffix = QFileInfo(outputFile).suffix().toLower();
    QImageWriter writer(outputFile, suffix.toLatin1());
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
        writer.setQuality(JpegQuality);
        return writer.write(opaqueOnWhite(image));
    }
    return writer.write(image);
}

QImage contactSheet(const QStringList& svgFiles)
{
    const int rows = static_cast<int>((svgFiles.size() + SheetColumns - 1) / SheetColumns);
    QImage sheet(SheetColumns * SheetCell.width(), rows * SheetCell.height(), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int index = 0; index < svgFiles.size(); ++index) {
        const QImage small = render(svgFiles[index], QSize(16, 16));
        const QImage large = render(svgFiles[index], QSize(32, 32));
        if (small.isNull() || large.isNull())
            return {};
        const QPoint cell((index % SheetColumns) * SheetCell.width(), (index / SheetColumns) * SheetCell.height());
        const int middle = SheetCell.width() / 2;
        painter.drawImage(cell + QPoint(middle - 8, 8), small);
        painter.drawImage(cell + QPoint(middle - 16, 32), large);
        // Scaled without smoothing, so every pixel of the small icon shows.
        painter.drawImage(cell + QPoint(middle - 8 * Magnified, 72), small.scaled(small.size() * Magnified));
    }
    return sheet;
}

} // namespace SvgArtwork
