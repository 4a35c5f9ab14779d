#pragma once
// The address box of the page on view: the titler address typed over digit by digit, checked, stored in the page,
// with the titler's name and its firmware generation shown beside it.

#include <QObject>
#include <QString>

class QKeyEvent;
class QWidget;
class Zelk;

class AddressBox : public QObject
{
public:
    explicit AddressBox(Zelk& z);

    // "Address" with its box.
    QWidget* build(QWidget* parent);
    // The name of the titler at the address.
    QWidget* buildTitlerName(QWidget* parent);

    void txtAddress_Change();
    // True when the key is dropped.
    bool txtAddress_KeyPress(QKeyEvent* key);
    void txtAddress_LostFocus();

    // Puts a page's address in the box; the change handling runs even when the box already shows it.
    void showAddress(const QString& address);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString validated(const QString& text);
    void showTitlerName(const QString& address);

    Zelk& z_;
};
