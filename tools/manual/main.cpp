// zelk-manual: renders the operator's manual, Markdown with its pictures, into a PDF with Qt alone.
// Usage: zelk-manual manual.md Manual.PDF (run with the offscreen platform at build time).

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTextTable>

#include <cmath>
#include <cstdio>

namespace {

// The document is laid out in pixels of 96 dpi on A4 pages and scaled onto the PDF's pages.
constexpr double kPixelsPerMm = 96 / 25.4;
const QSizeF kPage(210 * kPixelsPerMm, 297 * kPixelsPerMm);
constexpr double kMargin = 18 * kPixelsPerMm;
constexpr double kKeepWithHeading = 90; // a heading starts a new page unless this much of what follows fits under it

// Loads the pictures; those wider than the text are scaled down to its width, keeping their shape.
void fitImages(QTextDocument& doc, const QString& baseDir, double textWidth)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            if (!image.isValid())
                continue;
            const QImage picture(baseDir + QLatin1Char('/') + image.name());
            if (picture.isNull()) {
                std::fprintf(stderr, "zelk-manual: no picture %s\n", qPrintable(image.name()));
                continue;
            }
            doc.addResource(QTextDocument::ImageResource, QUrl(image.name()), picture);
            const double width = qMin<double>(picture.width(), textWidth);
            image.setWidth(width);
            image.setHeight(width * picture.height() / picture.width());
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}

// Thin single rules, some room in the cells, the heading row shaded and repeated after a page break.
void styleTables(QTextDocument& doc)
{
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        format.setBorderCollapse(true);
        format.setBorder(0.5);
        format.setBorderBrush(QColor(150, 150, 150));
        format.setCellSpacing(0);
        format.setCellPadding(3);
        format.setHeaderRowCount(1);
        table->setFormat(format);
        for (int c = 0; c < table->columns(); ++c) {
            QTextTableCellFormat head = table->cellAt(0, c).format().toTableCellFormat();
            head.setBackground(QColor(232, 232, 232));
            table->cellAt(0, c).setFormat(head);
        }
    }
}

int pageOf(double y)
{
    return int(std::floor(y / kPage.height()));
}

// Where the first line of a block lies, after the layout moved it to the next page if it did not fit.
QRectF firstLine(const QTextBlock& block)
{
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return {};
    const QTextLine line = layout->lineAt(0);
    return QRectF(layout->position() + line.position(), QSizeF(line.width(), line.height()));
}

// A heading at the foot of a page, with what it heads on the next, goes to the next page with it.
void keepHeadingsWithText(QTextDocument& doc)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || !block.next().isValid())
            continue;
        doc.documentLayout()->blockBoundingRect(block.next()); // lays the document out as far as that
        const QRectF heading = firstLine(block);
        const QRectF next = firstLine(block.next());
        if (pageOf(heading.top()) == pageOf(next.top() + qMin(next.height(), kKeepWithHeading)))
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(block).setBlockFormat(format);
        // The layout's own update after a format change loses the blocks that follow: lay it all out again.
        doc.markContentsDirty(0, doc.characterCount());
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: zelk-manual manual.md Manual.PDF\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "zelk-manual: cannot read %s\n", argv[1]);
        return 1;
    }

    QTextDocument doc;
    QFont font(QStringLiteral("DejaVu Sans"), 10);
    // Without shaping Qt does not join "ff" or "fi" into one glyph, so the PDF's text reads and searches as typed
    // ("Effects", not a ligature).
    font.setStyleStrategy(QFont::PreferNoShaping);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(kMargin);
    doc.setMarkdown(QString::fromUtf8(source.readAll()));
    fitImages(doc, QFileInfo(source).absolutePath(), kPage.width() - 2 * kMargin);
    styleTables(doc);
    doc.setPageSize(kPage);
    keepHeadingsWithText(doc);

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(QStringLiteral("ZELK operator's manual"));
    pdf.setCreator(QStringLiteral("zelk-manual"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&pdf);
    const double scale = pdf.width() / kPage.width();
    painter.scale(scale, scale);
    QFont footer(QStringLiteral("DejaVu Sans"));
    footer.setPixelSize(12);
    painter.setFont(footer);
    for (int page = 0; page < doc.pageCount(); ++page) {
        if (page > 0)
            pdf.newPage();
        const QRectF area(0, page * kPage.height(), kPage.width(), kPage.height());
        painter.save();
        painter.translate(0, -area.top());
        doc.drawContents(&painter, area);
        painter.restore();
        painter.drawText(QRectF(0, kPage.height() - kMargin / 2, kPage.width() - kMargin, kMargin / 2),
                         Qt::AlignRight | Qt::AlignTop, QString::number(page + 1));
    }
    return painter.end() ? 0 : 1;
}
