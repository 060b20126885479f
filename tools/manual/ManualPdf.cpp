#include "ManualPdf.h"

#include <QColor>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

namespace {

constexpr qreal BodyPointSize = 10.5;
constexpr qreal CodePointSize = 9;
const QColor HeadingColour(0x1d, 0x3f, 0x66);
const QColor RuleColour(0x9a, 0xa8, 0xb8);
const QColor HeaderGround(0xdd, 0xe9, 0xf5);
const QColor CodeGround(0xf0, 0xf2, 0xf4);

struct HeadingStyle {
    qreal pointSize;
    qreal spaceAbove;
};

HeadingStyle headingStyle(int level)
{
    switch (level) {
    case 1: return {24, 0};
    case 2: return {17, 20};
    case 3: return {13, 14};
    default: return {BodyPointSize + 0.5, 10};
    }
}

// Changes the char format of each fragment of the block on its own, so the
// inline formats (bold, code) inside it survive. The fragments are taken
// first: setting a format may merge them.
template <typename Change>
void changeFragments(QTextDocument& document, const QTextBlock& block, Change change)
{
    struct Run {
        int start;
        int end;
        QTextCharFormat format;
    };
    QList<Run> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        runs.append({fragment.position(), fragment.position() + fragment.length(), fragment.charFormat()});
    }
    for (Run& run : runs) {
        change(run.format);
        QTextCursor cursor(&document);
        cursor.setPosition(run.start);
        cursor.setPosition(run.end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(run.format);
    }
}

void styleHeading(QTextDocument& document, const QTextBlock& block)
{
    const HeadingStyle style = headingStyle(block.blockFormat().headingLevel());
    QTextBlockFormat format = block.blockFormat();
    format.setTopMargin(style.spaceAbove);
    format.setBottomMargin(style.pointSize / 2);
    QTextCursor(block).setBlockFormat(format);
    changeFragments(document, block, [&](QTextCharFormat& chars) {
        // The importer sizes headings relatively; the manual sets its own sizes.
        chars.clearProperty(QTextFormat::FontSizeAdjustment);
        chars.setFontPointSize(style.pointSize);
        chars.setForeground(HeadingColour);
    });
}

void styleCode(QTextDocument& document, const QTextBlock& block)
{
    QTextBlockFormat format = block.blockFormat();
    format.setBackground(CodeGround);
    format.setLeftMargin(format.leftMargin() + 6);
    // A line too long for the page wraps rather than running off its edge.
    format.setNonBreakableLines(false);
    QTextCursor(block).setBlockFormat(format);
    changeFragments(document, block, [](QTextCharFormat& chars) { chars.setFontPointSize(CodePointSize); });
}

void styleBody(const QTextBlock& block)
{
    QTextBlockFormat format = block.blockFormat();
    format.setLineHeight(125, QTextBlockFormat::ProportionalHeight);
    QTextCursor(block).setBlockFormat(format);
}

void styleTable(QTextTable& table)
{
    QTextTableFormat format = table.format();
    format.setBorder(0.6);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderBrush(RuleColour);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(4);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    format.setHeaderRowCount(1);
    format.setTopMargin(4);
    format.setBottomMargin(8);
    table.setFormat(format);
    // Collapsed borders are drawn from the cells' own formats.
    for (int row = 0; row < table.rows(); ++row) {
        for (int column = 0; column < table.columns(); ++column) {
            QTextTableCell cell = table.cellAt(row, column);
            QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
            cellFormat.setBorder(0.6);
            cellFormat.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            cellFormat.setBorderBrush(RuleColour);
            if (row == 0)
                cellFormat.setBackground(HeaderGround);
            cell.setFormat(cellFormat);
        }
    }
}

// A code block's lines may not be broken; that is how the importer marks them.
bool isCode(const QTextBlock& block)
{
    return block.blockFormat().nonBreakableLines();
}

void styleBlocks(QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0)
            styleHeading(document, block);
        else if (isCode(block))
            styleCode(document, block);
        else
            styleBody(block);
    }
}

void styleTables(const QTextFrame& frame)
{
    for (QTextFrame* child : frame.childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child))
            styleTable(*table);
        styleTables(*child);
    }
}

// A screenshot keeps its proportions at a width that leaves room beside it.
void narrowPictures(QTextDocument& document)
{
    constexpr qreal PictureWidth = 420;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        changeFragments(document, block, [](QTextCharFormat& format) {
            if (!format.isImageFormat())
                return;
            QTextImageFormat picture = format.toImageFormat();
            picture.setWidth(PictureWidth);
            format = picture;
        });
    }
}

} // namespace

namespace ManualPdf {

std::unique_ptr<QTextDocument> typeset(const QString& markdown, const QString& sourceFolder)
{
    auto document = std::make_unique<QTextDocument>();
    document->setMetaInformation(QTextDocument::DocumentUrl,
                                 QUrl::fromLocalFile(sourceFolder + QLatin1Char('/')).toString());
    // DejaVu covers every language the program ships, Cyrillic included.
    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPointSizeF(BodyPointSize);
    document->setDefaultFont(body);
    document->setMarkdown(markdown);
    styleBlocks(*document);
    narrowPictures(*document);
    styleTables(*document->rootFrame());
    return document;
}

bool write(const QTextDocument& document, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(document.firstBlock().text());
        writer.setCreator(QStringLiteral("zantrove-manual"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        // Printing adds margins of its own, 2 cm, inside these; the page
        // numbers stand in the bottom one.
        writer.setPageMargins(QMarginsF(4, 4, 4, 4), QPageLayout::Millimeter);
        // Without a page size of its own the document is paginated for the
        // writer's pages and printed with page numbers.
        document.print(&writer);
    }
    return file.commit();
}

} // namespace ManualPdf
