#include "ScreenView.h"

#include "pxtsim/Text.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

using namespace pxtsim;

namespace {

constexpr double kAspect = 4.0 / 3.0;
constexpr double kGlyphPixels = 100; // the glyphs are drawn at this size and scaled into their cells

} // namespace

ScreenView::ScreenView(QWidget* parent) : QWidget(parent)
{
    font_ = QFont(QStringLiteral("DejaVu Sans Mono"));
    font_.setStyleHint(QFont::TypeWriter);
    font_.setPixelSize(int(kGlyphPixels));
    font_.setBold(true);
    setMinimumSize(320, 240);
}

void ScreenView::setPicture(const ScreenPicture& picture)
{
    picture_ = picture;
    update();
}

QRectF ScreenView::pictureRect() const
{
    QSizeF size(width(), width() / kAspect);
    if (size.height() > height())
        size = QSizeF(height() * kAspect, height());
    return QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

void ScreenView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(24, 24, 24));
    const QRectF area = pictureRect();
    // The video under the overlay: a plain gradient on which both white and black characters read.
    QLinearGradient video(area.topLeft(), area.bottomLeft());
    video.setColorAt(0, QColor(86, 124, 158));
    video.setColorAt(1, QColor(44, 66, 86));
    p.fillRect(area, video);
    if (!picture_.displayOn)
        return;

    p.setClipRect(area);
    p.translate(area.topLeft());
    p.scale(area.width() / kUnitsAcross, area.height() / kUnitsDown);
    const QColor ink = picture_.whiteCharacters ? Qt::white : Qt::black;
    if (picture_.background) {
        QColor mat = picture_.whiteCharacters ? Qt::black : Qt::white;
        mat.setAlphaF(float(picture_.backgroundOpacity));
        for (const QRectF& r : picture_.mats)
            p.fillRect(r, mat);
    }

    p.setFont(font_);
    p.setPen(ink);
    const QFontMetricsF metrics(font_);
    const double advance = metrics.horizontalAdvance(QLatin1Char('M'));
    const double height = metrics.ascent() + metrics.descent();
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const QChar ch = picture_.rows[std::size_t(r)][c];
            if (picture_.kinds[std::size_t(r)][std::size_t(c)] == CellKind::Blank)
                continue;
            const QRectF cell = picture_.cellRect(r + 1, c + 1);
            if (ch == QChar(kBlockGlyph)) {
                p.fillRect(cell, ink);
                continue;
            }
            p.save();
            p.translate(cell.topLeft());
            p.scale(cell.width() / advance, cell.height() / height);
            p.drawText(QPointF(0, metrics.ascent()), QString(ch));
            p.restore();
        }
    }
}
