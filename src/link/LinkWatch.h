#pragma once
// Tells a long sequence (a send, a clear, an effect run) that the link was lost while it ran: it was online when the
// sequence began and is not now. A sequence that finds it so ends, and the lost link stays on the status line.

class LinkWatch
{
public:
    explicit LinkWatch(const bool& linkOnline) : online_(linkOnline), wasOnline_(linkOnline) {}
    bool lost() const { return wasOnline_ && !online_; }

private:
    const bool& online_;
    bool wasOnline_;
};
