#pragma once
// Asks the titler on screen for its time ("38") or date ("43") and checks the answer: two attempts, as the titlers
// need. The status-line presence check asks and waits; the clock previews ask without waiting, so typing and sends
// go on while the titler answers, and take the answer once the line's pause for it has passed.

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class Zelk;

class TitlerClock : public QObject
{
    Q_OBJECT
public:
    enum class Question { Time, Date };
    using Answer = std::function<void(const QString&)>;

    explicit TitlerClock(Zelk& z);
    ~TitlerClock() override;

    // "hh:mm:ss", or empty when no valid answer came; shows the link online or no titler.
    QString ReadTitlerTime();
    // "mm/dd/yy", or empty when no valid answer came; the status line is left alone.
    QString ReadTitlerDate();

    // Asks without waiting; answer gets what the reader above would return, once it is known (at once when the
    // question cannot be written). False, and nothing asked, while another question is still out.
    bool ask(Question q, Answer answer);
    bool questionOut() const { return pending_.has_value(); }
    // Forgets the question that is out (its answer, when it comes, is nobody's).
    void cancel();

private:
    struct Pending
    {
        Question question;
        int attempt;
        Answer answer;
    };

    QString askAndWait(Question q);
    void attempt();
    void collect();
    // Checks the reply, hands the reading to answer (when given), shows the link state for a time, sets
    // ClockReadFailed, and returns the reading (empty when invalid).
    QString settle(Question q, const QString& reply, const Answer& answer);

    Zelk& z_;
    std::optional<Pending> pending_;
    QTimer pause_;
};
