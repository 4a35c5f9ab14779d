#include "RosterList.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace {

// Draws the selection as a tick and marks only the current row, so that the ticks read like a check list.
class TickDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const bool ticked = option->state & QStyle::State_Selected;
        option->features |= QStyleOptionViewItem::HasCheckIndicator;
        option->checkState = ticked ? Qt::Checked : Qt::Unchecked;
        const auto* view = qobject_cast<const QAbstractItemView*>(option->widget);
        option->state.setFlag(QStyle::State_Selected, view && view->currentIndex() == index);
    }
};

// Moving the current row never changes a tick, whoever moves it (QListWidget::setCurrentRow would select the row).
class TickSelection : public QItemSelectionModel
{
public:
    using QItemSelectionModel::QItemSelectionModel;

    void setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags) override
    {
        QItemSelectionModel::setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
};

} // namespace

RosterList::RosterList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::MultiSelection);
    QItemSelectionModel* own = selectionModel();
    setSelectionModel(new TickSelection(model(), this));
    delete own;
    setItemDelegate(new TickDelegate(this));
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setUniformItemSizes(true);
}

QItemSelectionModel::SelectionFlags RosterList::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    // Only the operator's click or Space toggles a tick; moving the current row, dragging, typing a letter or a
    // program setting the current row leave the ticks alone.
    if (event && index.isValid()) {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton)
            return QItemSelectionModel::Toggle;
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<const QKeyEvent*>(event)->key();
            if (key == Qt::Key_Space || key == Qt::Key_Select)
                return QItemSelectionModel::Toggle;
        }
    }
    return QItemSelectionModel::NoUpdate;
}

void RosterList::mousePressEvent(QMouseEvent* event)
{
    QListWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit rowClicked();
}

void RosterList::keyPressEvent(QKeyEvent* event)
{
    // Ticking every titler is "Enable All"'s job, with its caption; a stray Ctrl+A must not do it.
    if (event->matches(QKeySequence::SelectAll)) {
        event->accept();
        return;
    }
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    const bool toggled = event->key() == Qt::Key_Space || event->key() == Qt::Key_Select;
    if (currentRow() >= 0 && (toggled || currentRow() != before))
        emit rowClicked();
}
