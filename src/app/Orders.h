#pragma once
// The running copy's local socket, reachable only by its own user: a second start hands over its page file (the
// operator decides whether it replaces the pages open), and automation sends pages or clears a titler. Orders never
// open a dialog; one that cannot run now is refused with its reason.

#include "app/OrderRules.h"

#include <QLocalServer>
#include <QObject>
#include <QStringList>

class QLocalSocket;
class Zelk;

class Orders : public QObject
{
public:
    explicit Orders(Zelk& z);
    ~Orders() override;

    // Starts taking orders; called once this copy holds the settings folder's lock. False when the socket could not
    // be set up (the program runs on without it).
    bool listen(const QString& settingsFolder);
    QString serverPath() const { return server_.fullServerName(); }

    // Why a send or clear cannot run now; empty when it can.
    QString refusal() const;

private:
    void accept();
    void readOrder(QLocalSocket* socket);
    QByteArray run(const orders::Order& order);
    QString sendPages(const QList<int>& pages);
    QString clearTitler(const QString& address);
    QString busyReason() const;
    void askNext();
    void bringToFront();

    Zelk& z_;
    QLocalServer server_;
    bool running_ = false;   // an order's send or clear runs
    bool asking_ = false;    // the operator is asked about a handed-over page file
    QStringList handedOver_; // page files waiting for the question
};
