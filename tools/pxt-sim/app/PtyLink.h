#pragma once
// The simulator's end of the line: a pseudo-terminal whose slave is reachable through a symlink at a chosen path.

#include <QByteArray>
#include <QString>

class PtyLink
{
public:
    PtyLink() = default;
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;
    ~PtyLink();

    bool open(const QString& linkPath, QString* error);
    // Removes the symlink if it still points at our slave.
    void removeLink();

    int master() const { return master_; }
    QString slaveName() const { return QString::fromLocal8Bit(slaveName_); }
    // The speed the program set on its side of the line, in baud; 0 when the line has none.
    int baud() const;

private:
    int master_ = -1;
    int slave_ = -1; // held open so that the program may close and reopen without a hang-up on the master
    QByteArray slaveName_;
    QByteArray link_;
};
