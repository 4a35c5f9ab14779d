#pragma once
// A list of the 99 titlers in which a row's tick is its selection: a click on a row (or Space on the current row)
// toggles it, nothing else does, and ticked rows show a ticked box instead of a highlight.

#include <QListWidget>

class RosterList : public QListWidget
{
    Q_OBJECT
public:
    explicit RosterList(QWidget* parent = nullptr);

signals:
    // The operator clicked a row or moved to one with the keyboard: the list's Click event.
    void rowClicked();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
